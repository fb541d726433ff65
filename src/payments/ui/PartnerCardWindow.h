#pragma once

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Kartice kupaca" (all warehouses, or the active one) and "Kartice dobavljača": a partner chosen,
// his movements of the business year with the running balance, the balance under the grid.
class PartnerCardWindow : public QWidget {
    Q_OBJECT
public:
    PartnerCardWindow(zodra::ui::WindowHost& host, bool supplier, std::optional<int> warehouse,
                      const QString& objectName, QWidget* parent = nullptr);

    void Refresh();
    QComboBox* PartnerBox() const { return m_partner; }
    zodra::ui::DataGrid* Grid() const { return m_grid; }
    QLabel* BalanceLabel() const { return m_balance; }

private:
    zodra::ui::WindowHost& m_host;
    bool m_supplier;
    std::optional<int> m_warehouse;
    QComboBox* m_partner = nullptr;
    zodra::ui::DataGrid* m_grid = nullptr;
    QLabel* m_balance = nullptr;
};

}  // namespace zodra::payments::ui

#pragma once

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;

namespace zodra::ui {
class DataGrid;
class DateBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Kartice kupaca" (all warehouses, or the active one) and "Kartice dobavljača": a partner chosen,
// his movements from "Od" to "Do" (the business year unless changed; any years may be spanned)
// after what came before them carried as "Donos", with the running balance and the balance under
// the grid. "Ispis" prints the card of the chosen partner for those dates.
class PartnerCardWindow : public QWidget {
    Q_OBJECT
public:
    PartnerCardWindow(zodra::ui::WindowHost& host, bool supplier, std::optional<int> warehouse,
                      const QString& objectName, QWidget* parent = nullptr);

    void Refresh();
    void Print();
    QComboBox* PartnerBox() const { return m_partner; }
    zodra::ui::DateBox* FromBox() const { return m_from; }
    zodra::ui::DateBox* ToBox() const { return m_to; }
    zodra::ui::DataGrid* Grid() const { return m_grid; }
    QLabel* BalanceLabel() const { return m_balance; }

private:
    zodra::ui::WindowHost& m_host;
    bool m_supplier;
    std::optional<int> m_warehouse;
    QComboBox* m_partner = nullptr;
    zodra::ui::DateBox* m_from = nullptr;
    zodra::ui::DateBox* m_to = nullptr;
    zodra::ui::DataGrid* m_grid = nullptr;
    QLabel* m_balance = nullptr;
};

}  // namespace zodra::payments::ui

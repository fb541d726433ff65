#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {

// "Ambalaža": the returnable packaging that goes with one unit of the article, with its
// quantity; a packaging can be added from the register, or entered new there.
class PackagingDialog : public QDialog {
    Q_OBJECT
public:
    PackagingDialog(zodra::ui::WindowHost& host, int article,
                    const zodra::ui::CommandRegistry* registry, QWidget* parent = nullptr);
    void AddChosen();
    void DeleteSelected();
    QComboBox* PackagingBox() const { return m_packaging; }
    QLineEdit* QuantityBox() const { return m_quantity; }
    QTableWidget* Grid() const { return m_grid; }

private:
    void Fill();
    void FillChoices(int select);

    zodra::ui::WindowHost& m_host;
    int m_article;
    const zodra::ui::CommandRegistry* m_registry;
    QTableWidget* m_grid;
    QComboBox* m_packaging;
    QLineEdit* m_quantity;
};

}  // namespace zodra::registers::ui

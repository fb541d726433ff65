#pragma once

#include <QDialog>
#include <optional>

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::stockdocs::ui {

// "Izbor primke" for "Uč. primku": the posted receipts of the warehouse and year whose goods are
// still (partly) free in their lots, with date, supplier and supplier's document. Enter, a
// double click or "Prihvati" chooses the selected one.
class ReceiptChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ReceiptChoiceDialog(zodra::ui::WindowHost& host, QWidget* parent);

    // The receipt chosen (after exec() accepted), or none.
    std::optional<int> Chosen() const { return m_chosen; }
    zodra::ui::DataGrid* Receipts() const { return m_grid; }
    void Choose();

private:
    zodra::ui::WindowHost& m_host;
    zodra::ui::DataGrid* m_grid;
    std::optional<int> m_chosen;
};

}  // namespace zodra::stockdocs::ui

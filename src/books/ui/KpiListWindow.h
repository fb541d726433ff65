#pragma once

#include <QWidget>
#include <vector>

#include "books/KpiBook.h"

class QTableWidget;

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::books::ui {

// "Knjiga primitaka i izdataka": the entries of the business year by number with their date,
// voucher, description, type and the two totals. Buttons: "Upis" (the entry window, then the
// list again), "Brisanje" (asks "Želite li obrisati stavku?", No the default; the Delete key
// in the grid does the same), "Zatvori".
class KpiListWindow : public QWidget {
    Q_OBJECT
public:
    explicit KpiListWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    static QString ObjectName();  // "KPI_Upis"

    void Refresh();
    QTableWidget* Grid() const { return m_grid; }
    int SelectedNumber() const;

    void Add();             // "Upis"
    void DeleteSelected();  // "Brisanje"

private:
    zodra::ui::WindowHost& m_host;
    QTableWidget* m_grid = nullptr;
    std::vector<KpiEntry> m_rows;
};

// Binds "KPI_Upis", "KPI_Izvjestaj", "KPI_Izvjestaj_po_tipovima_upisa" and the inventory
// book's "kp1", "kp1_sum", "kp2".
void RegisterKpiCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::books::ui

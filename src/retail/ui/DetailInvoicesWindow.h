#pragma once

#include <QString>
#include <QWidget>

namespace zodra::ui {
class DataGrid;
class DateBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::retail::ui {

QString DetailInvoicesCommand();  // "Maloprodajni_racuni_detaljno"
QString DetailInvoicesCaption();  // "Detaljni maloprodajni računi"

// The register's detail invoices (posted while retail invoices are summed at day end) of a
// date range, with their amount and whether they are cancelled or summed. "Storno" cancels the
// selected one on a date typed after the question, "Brisanje" (or Delete on the list) deletes
// it after its question; a refusal of the core (already summed, already cancelled …) is shown
// as it is, before anything is asked when it already holds.
class DetailInvoicesWindow : public QWidget {
    Q_OBJECT
public:
    explicit DetailInvoicesWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    void Reload();
    void CancelCurrent();
    void DeleteCurrent();

private:
    int CurrentNumber() const;  // 0: no row

    zodra::ui::WindowHost& m_host;
    zodra::ui::DateBox* m_from = nullptr;
    zodra::ui::DateBox* m_to = nullptr;
    zodra::ui::DataGrid* m_grid = nullptr;
};

}  // namespace zodra::retail::ui

#pragma once

#include <QWidget>
#include <vector>

#include "books/VatReturn.h"

class QLabel;
class QTableWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::books::ui {

// "PDV obrasci": the stored returns of the business year by number. Selecting a row shows its
// dates; "Prihvati" prints the selected return on screen, "Brisanje" deletes it after
// "Želite li izbrisati PDV obrazac?" (No is the default), "XML" writes the filing of a stored
// current-form return.
class VatReturnListWindow : public QWidget {
    Q_OBJECT
public:
    explicit VatReturnListWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    static QString ObjectName() { return QStringLiteral("PDV_obrasci"); }
    static QString Caption() { return QStringLiteral("PDV obrasci"); }

    void Refresh();
    QTableWidget* Grid() const { return m_grid; }
    QLabel* Dates() const { return m_dates; }
    int SelectedNumber() const;

    void PrintSelected();   // "Prihvati"
    void DeleteSelected();  // "Brisanje"
    void ExportSelected();  // "XML"

private:
    void SelectionMoved();

    zodra::ui::WindowHost& m_host;
    QTableWidget* m_grid = nullptr;
    QLabel* m_dates = nullptr;
    std::vector<VatReturnListRow> m_rows;
};

}  // namespace zodra::books::ui

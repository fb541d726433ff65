#pragma once

#include <QWidget>
#include <vector>

#include "books/UraBook.h"

class QTableWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::books::ui {

// The list "Knjiga ulaznih računa" of a book's invoices in the business year, by serial number.
// "Upis" opens the entry window for a new invoice, "Izmjena" (or Enter on a row) the selected
// invoice for rewriting, "Brisanje" (or Delete) asks "Želite li izbrisati ulazni račun?" (No is
// the default) and deletes it with its payments.
class UraListWindow : public QWidget {
    Q_OBJECT
public:
    UraListWindow(zodra::ui::WindowHost& host, int book, QWidget* parent = nullptr);

    static QString ObjectName() { return QStringLiteral("URA_Upis"); }

    void Refresh();
    QTableWidget* Grid() const { return m_grid; }
    int SelectedNumber() const;
    void SelectNumber(int number);

    void Add();             // "Upis"
    void EditSelected();    // "Izmjena"
    void DeleteSelected();  // "Brisanje"

    enum Column { Number, InvoiceNumber, Date, Supplier, Type, Total, ColumnCount };

private:
    zodra::ui::WindowHost& m_host;
    int m_book;
    QTableWidget* m_grid = nullptr;
    std::vector<UraInvoice> m_rows;
};

}  // namespace zodra::books::ui

#pragma once

#include <QWidget>
#include <vector>

#include "books/UraBook.h"

class QTableWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::books::ui {

// The list "Knjiga ulaznih računa" of one book's invoices in the business year, by serial
// number; its caption names the book.
// "Upis" opens the entry window for a new invoice, "Izmjena" (or Enter on a row) the selected
// invoice for rewriting, "Brisanje" (or Delete) asks "Želite li izbrisati ulazni račun?" (No is
// the default) and deletes it with its payments.
class UraListWindow : public QWidget {
    Q_OBJECT
public:
    UraListWindow(zodra::ui::WindowHost& host, int book, QWidget* parent = nullptr);

    // One window per book.
    static QString ObjectName(int book) { return QStringLiteral("URA_Upis_%1").arg(book); }
    int Book() const { return m_book; }

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

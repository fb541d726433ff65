#pragma once

#include <QWidget>

class QLabel;
class QTableView;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::sales::ui {

class InvoiceListModel;

// The table view "Računi" of "Izbor računa" ("Tablično"): every invoice of the book with its
// sales terms and its sums, a page at a time, and the sums of all of them under the table.
class InvoiceListTable : public QWidget {
    Q_OBJECT
public:
    InvoiceListTable(zodra::ui::WindowHost& host, int book, QWidget* parent = nullptr);

    QTableView* Table() const { return m_table; }
    InvoiceListModel* Model() const { return m_model; }
    QLabel* Totals() const { return m_totals; }

    // "Izbriši" (or the Delete key) on the selected invoice: only for a user listed in
    // KORISNICI, after the deletion's question; the table and its sums are read again.
    void DeleteCurrent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Reload();

    zodra::ui::WindowHost& m_host;
    int m_book;
    QTableView* m_table;
    InvoiceListModel* m_model;
    QLabel* m_totals;
};

}  // namespace zodra::sales::ui

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

private:
    QTableView* m_table;
    InvoiceListModel* m_model;
    QLabel* m_totals;
};

}  // namespace zodra::sales::ui

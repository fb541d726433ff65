#pragma once

#include <QWidget>
#include <vector>

#include "cashbook/CashBook.h"

class QTableWidget;
class QTableWidgetItem;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::cashbook::ui {

// The list "Blagajna" of the cash receipts ("Uplatnice") or payments ("Isplatnice") of the
// active warehouse and business year, by number. The grid edits rows in place: a changed row
// is saved at once, its amount in words set again from its amount. Delete in the grid asks
// "Želite li obrisati stavku?" (No is the default). Buttons: "Upis" (the entry window, then the
// list again), "Ispis" (the selected voucher on screen), "Brisanje" (the selected voucher at
// once).
class CashVoucherListWindow : public QWidget {
    Q_OBJECT
public:
    CashVoucherListWindow(zodra::ui::WindowHost& host, cashbook::VoucherKind kind,
                          QWidget* parent = nullptr);

    static QString ObjectName(cashbook::VoucherKind kind);

    void Refresh();
    QTableWidget* Grid() const { return m_grid; }
    // The selected voucher's number, or 0.
    int SelectedNumber() const;
    void SelectNumber(int number);

    void Add();             // "Upis"
    void PrintSelected();   // "Ispis"
    void DeleteSelected();  // "Brisanje"
    void DeleteAsked();     // Delete key in the grid

    enum Column { Number, Date, Party, Purpose, Amount, Words, ColumnCount };

private:
    void CellChanged(QTableWidgetItem* item);
    void SaveRow(int row);

    zodra::ui::WindowHost& m_host;
    cashbook::VoucherKind m_kind;
    QTableWidget* m_grid = nullptr;
    std::vector<cashbook::Voucher> m_rows;
    bool m_loading = false;
};

}  // namespace zodra::cashbook::ui

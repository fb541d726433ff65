#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <optional>

#include "data/TableData.h"

namespace zodra::sales::ui {

// Rows of a list read a page at a time as the view scrolls: the first page when the list is
// (re)loaded, the next (after the last key held) when the view asks for more. The key (an
// integer, the invoice number) is column 0 of every page.
class InvoiceListModel : public QAbstractTableModel {
public:
    // Reads the page after a key (none: the first) of at most `limit` rows.
    using PageReader = std::function<TableData(std::optional<int> after, int limit)>;

    explicit InvoiceListModel(QObject* parent = nullptr, int pageSize = 100);
    // Starts again from the first page with a new reader (a reader that throws is the caller's
    // to report; the list is then empty).
    void Reset(PageReader reader);
    const TableData& Data() const { return m_data; }
    QVariant Key(int row) const;
    // The row of a key among the rows read (reading further pages until it is passed), or -1.
    int RowOf(int key);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    PageReader m_reader;
    TableData m_data;
    int m_pageSize;
    bool m_complete = true;
};

}  // namespace zodra::sales::ui

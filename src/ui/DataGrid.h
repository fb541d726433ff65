#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

#include "data/TableData.h"

namespace zodra::ui {

// A read-only grid over rows that core code hands over (TableData): headers, number and date
// formats, right-aligned numbers. Whole rows are selected; hidden columns carry keys.
class TableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetData(TableData data);
    const TableData& Data() const { return m_data; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // One column may be edited in place; the value typed goes to `commit` (row, value).
    void SetEditableColumn(int column, std::function<void(int, const QVariant&)> commit);
    int EditableColumn() const { return m_editableColumn; }

    // How a value of a column is shown ("1.234,50" for money, "01.03.2026" for a date).
    static QString Display(const TableColumn& column, const QVariant& value);

    // Orders the rows themselves (so that Data() and the row numbers stay one), numbers and
    // dates by value, text in Croatian order, empty values first; new rows keep the order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void SortRows();

    TableData m_data;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_editableColumn = -1;
    std::function<void(int, const QVariant&)> m_commit;
};

class DataGrid : public QTableView {
public:
    explicit DataGrid(QWidget* parent = nullptr);
    // Shows new rows, keeping the selected row where it can.
    void SetData(TableData data);
    const TableData& Data() const { return m_model->Data(); }
    // The selected row, or -1.
    int CurrentRow() const;
    void SelectRow(int row);
    // One column may be edited in place (double click, F2 or typing): `commit` gets the row and
    // the value typed; trying to edit any other column calls `refused` (which shows why).
    void SetEditableColumn(int column, std::function<void(int, const QVariant&)> commit,
                           std::function<void()> refused);
    // A click on a column's header orders the rows by it (again: the other way). For lists
    // whose windows find a row's data through Data(), not for lines that core code names by
    // their place.
    void SetSortable(bool sortable);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    TableModel* m_model;
    std::function<void()> m_refused;
};

}  // namespace zodra::ui

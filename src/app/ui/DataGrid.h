#pragma once

#include <QAbstractTableModel>
#include <QTableView>

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

    // How a value of a column is shown ("1.234,50" for money, "01.03.2026" for a date).
    static QString Display(const TableColumn& column, const QVariant& value);

private:
    TableData m_data;
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

private:
    TableModel* m_model;
};

}  // namespace zodra::ui

#pragma once

#include <QAbstractTableModel>
#include <QVariantMap>
#include <map>
#include <vector>

#include "registers/RegisterDescription.h"
#include "registers/RegisterStore.h"

namespace zodra {
class Prompter;
}

namespace zodra::registers {

// A register as a grid ("Partneri tablično"): one row per register row in name order, the
// entry window's boxes as columns. A cell edited in place is saved through the same checks as
// the entry window; a refusal is shown through the prompter and nothing is changed. Lookup
// columns show names and take a name or a code. For registers of a few thousand rows; the
// article register has its own paged grid.
class RegisterGridModel final : public QAbstractTableModel {
public:
    static constexpr int CodeRole = Qt::UserRole + 1;

    RegisterGridModel(Database& db, const RegisterDescription& description, Prompter& prompter,
                      QObject* parent = nullptr);

    void Reload();
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    int ColumnOf(const QString& column) const;
    int RowOfCode(int code) const;
    // The first row (by name) whose name matches typed + "*", -1 when none does.
    int RowOfSearch(const QString& typed) const;

private:
    const QVariantMap& Values(int row) const;
    QString Shown(const Field& field, const QVariant& value) const;

    Database& m_db;
    const RegisterDescription& m_description;
    Prompter& m_prompter;
    std::vector<SavedRow> m_rows;
    mutable std::map<int, QVariantMap> m_values;           // by row, read when first shown
    std::map<QString, std::map<qint64, QString>> m_names;  // lookups: table → code → name
};

}  // namespace zodra::registers

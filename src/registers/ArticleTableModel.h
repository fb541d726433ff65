#pragma once

#include <QAbstractTableModel>
#include <QVariantMap>
#include <map>
#include <vector>

#include "registers/ArticleList.h"

namespace zodra {
class Prompter;
}

namespace zodra::registers {

// "Artikli tablično": every article in the company's article order with the boxes of the entry
// window as columns, read a page at a time. A cell edited in place is saved through the same
// checks as the entry window; a refusal is shown through the prompter and nothing is changed.
// Lookup columns (group, tax group, currency) show names and take a name or a code.
class ArticleTableModel final : public QAbstractTableModel {
public:
    static constexpr int kPageSize = 100;
    static constexpr int CodeRole = Qt::UserRole + 1;

    ArticleTableModel(Database& db, QString displayExpression, Prompter& prompter,
                      QObject* parent = nullptr);

    void Reload();
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The column of a field of the article register.
    int ColumnOf(const QString& column) const;
    // The row of an article, -1 when there is none; the first article whose display text
    // matches a search ("*" wildcards), -1 when none does.
    int RowOfCode(int code);
    int RowOfSearch(const QString& typed);

private:
    struct Row {
        int code = 0;
        QVariantMap values;  // stored values by column
        QVariantMap shown;   // names of lookups
    };
    const std::vector<Row>& Page(int page) const;

    Database& m_db;
    Prompter& m_prompter;
    mutable ArticleList m_list;
    int m_count = 0;
    mutable std::map<int, std::vector<Row>> m_pages;
};

}  // namespace zodra::registers

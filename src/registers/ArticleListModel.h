#pragma once

#include <QAbstractListModel>
#include <list>
#include <map>
#include <optional>
#include <vector>

#include "registers/ArticleList.h"

namespace zodra::registers {

// The article list as an item model for list views and picker boxes. It counts the rows once
// and reads them a page at a time when a view asks for them (the next page by an index seek
// from the previous one), keeping a bounded number of pages, so a list of 50,000 articles never
// loads whole. Role Qt::DisplayRole gives the display text, CodeRole the article's code.
class ArticleListModel final : public QAbstractListModel {
public:
    static constexpr int CodeRole = Qt::UserRole + 1;
    static constexpr int kPageSize = 100;
    static constexpr int kMaxPages = 64;

    ArticleListModel(Database& db, QString displayExpression, QObject* parent = nullptr);

    ArticleList& List() { return m_list; }
    // Reads the list again (after a change, or with another group).
    void Reload();
    void SetGroup(std::optional<int> group);
    void SetStockPlace(std::optional<ArticleList::StockPlace> place);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    std::optional<ArticleRow> RowAt(int row) const;
    // The row of an article in the list, -1 when it is not in it.
    int RowOfCode(int code);
    int PagesRead() const { return m_pagesRead; }

private:
    const std::vector<ArticleRow>& Page(int page) const;

    mutable ArticleList m_list;
    int m_count = 0;
    mutable std::map<int, std::vector<ArticleRow>> m_pages;
    mutable std::list<int> m_recent;  // most recently used first
    mutable int m_pagesRead = 0;
};

}  // namespace zodra::registers

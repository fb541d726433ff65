#include "registers/ArticleListModel.h"

#include <algorithm>

namespace zodra::registers {

ArticleListModel::ArticleListModel(Database& db, QString displayExpression, QObject* parent)
    : QAbstractListModel(parent), m_list(db, std::move(displayExpression)) {
    m_count = m_list.Count();
}

void ArticleListModel::Reload() {
    beginResetModel();
    m_pages.clear();
    m_recent.clear();
    m_count = m_list.Count();
    endResetModel();
}

void ArticleListModel::SetGroup(std::optional<int> group) {
    m_list.SetGroup(group);
    Reload();
}

void ArticleListModel::SetStockPlace(std::optional<ArticleList::StockPlace> place) {
    m_list.SetStockPlace(place);
    Reload();
}

int ArticleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

const std::vector<ArticleRow>& ArticleListModel::Page(int page) const {
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        std::vector<ArticleRow> rows;
        const auto previous = m_pages.find(page - 1);
        if (page > 0 && previous != m_pages.end() &&
            static_cast<int>(previous->second.size()) == kPageSize) {
            rows = m_list.PageAfter(previous->second.back(), kPageSize);
        } else if (page == 0) {
            rows = m_list.FirstPage(kPageSize);
        } else {
            rows = m_list.PageAt(page * kPageSize, kPageSize);
        }
        ++m_pagesRead;
        it = m_pages.emplace(page, std::move(rows)).first;
        m_recent.push_front(page);
        while (static_cast<int>(m_recent.size()) > kMaxPages) {
            // Keep the neighbour of the page just read, so scrolling on still seeks.
            auto victim = std::find_if(m_recent.rbegin(), m_recent.rend(),
                                       [page](int p) { return p != page && p != page - 1; });
            m_pages.erase(*victim);
            m_recent.erase(std::next(victim).base());
        }
    } else if (m_recent.front() != page) {
        m_recent.remove(page);
        m_recent.push_front(page);
    }
    return it->second;
}

std::optional<ArticleRow> ArticleListModel::RowAt(int row) const {
    if (row < 0 || row >= m_count) {
        return std::nullopt;
    }
    const auto& page = Page(row / kPageSize);
    const size_t at = static_cast<size_t>(row % kPageSize);
    if (at >= page.size()) {
        return std::nullopt;  // the list changed under us; the next reload fixes it
    }
    return page.at(at);
}

QVariant ArticleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return QVariant();
    }
    const auto row = RowAt(index.row());
    if (!row) {
        return QVariant();
    }
    // A name longer than the list is wide shows whole in its tool tip.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return row->display;
    }
    if (role == CodeRole) {
        return row->code;
    }
    return QVariant();
}

int ArticleListModel::RowOfCode(int code) {
    const auto row = m_list.Row(code);
    if (!row || !m_list.Lists(*row)) {
        return -1;
    }
    return m_list.RowOf(*row);
}

}  // namespace zodra::registers

#include "registers/ArticleList.h"

#include "data/Database.h"
#include "data/TextSearch.h"
#include "registers/Articles.h"

namespace zodra::registers {

namespace {

// Above every character: text < prefix + kTop for every text that begins with prefix.
const QString kTop = QString::fromUcs4(U"\U0010FFFF", 1);

// The part of a typed search before its first wildcard, folded like the search key.
QString LiteralPrefix(const QString& typed) {
    const int star = typed.indexOf(QLatin1Char('*'));
    return textsearch::Fold(star < 0 ? typed : typed.left(star));
}

}  // namespace

ArticleList::ArticleList(Database& db, QString displayExpression)
    : m_db(db), m_expression(std::move(displayExpression)) {}

QString ArticleList::Select() const {
    return QStringLiteral("SELECT \"SIFRA\", ") + m_expression +
           QStringLiteral(
               ", \"NAZIV\", \"OPIS\", \"JED_M\", \"BARKOD\", \"GRUPA_A\", \"GRUPA_P\" "
               "FROM \"ARTIKLI\" WHERE 1 = 1");
}

QString ArticleList::Ordered() const {
    return QLatin1Char('(') + m_expression + QStringLiteral(") COLLATE \"HR\"");
}

QString ArticleList::GroupFilter() const {
    QString where = m_group ? QStringLiteral(" AND \"GRUPA_A\" = ?") : QString();
    if (m_stock) {
        // One probe of the lot index per article.
        where += QStringLiteral(
            " AND EXISTS (SELECT 1 FROM \"NABAVE\" n WHERE n.\"SKLADISTE\" = ? AND n.\"GODINA\" "
            "= ? AND n.\"SIFRA_ARTIKLA\" = \"ARTIKLI\".\"SIFRA\" AND n.\"KOLICINA\" <> 0)");
    }
    return where;
}

void ArticleList::BindGroup(QVariantList& params) const {
    if (m_stock) {
        params.prepend(m_stock->year);
        params.prepend(m_stock->warehouse);
    }
    if (m_group) {
        params.prepend(*m_group);
    }
}

std::vector<ArticleRow> ArticleList::Fetch(const QString& where, QVariantList params, int limit,
                                           int offset) {
    BindGroup(params);
    QString sql = Select() + GroupFilter() + where + QStringLiteral(" ORDER BY ") + Ordered() +
                  QStringLiteral(", \"SIFRA\" LIMIT ?");
    params << limit;
    if (offset > 0) {
        sql += QStringLiteral(" OFFSET ?");
        params << offset;
    }
    Statement rows = m_db.Prepare(sql);
    rows.Exec(params);
    std::vector<ArticleRow> out;
    while (rows.Next()) {
        out.push_back(ArticleRow{rows.Int(0), rows.Text(1), rows.Text(2), rows.Text(3),
                                 rows.Text(4), rows.Text(5), rows.Int(6), rows.Int(7)});
    }
    return out;
}

int ArticleList::Count() {
    // A bare COUNT(*) is answered from the table's page counts; any WHERE clause, even a
    // constant one, would make the engine step through 50,000 index entries instead.
    if (!m_group && !m_stock) {
        return m_db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")).toInt();
    }
    QVariantList params;
    BindGroup(params);
    return m_db
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE 1 = 1") + GroupFilter(),
                params)
        .toInt();
}

std::vector<ArticleRow> ArticleList::FirstPage(int size) {
    return Fetch(QString(), {}, size);
}

std::vector<ArticleRow> ArticleList::PageAfter(const ArticleRow& last, int size) {
    // Rows with the same display text as the last one come first (by code), then the rows
    // after it; each part is one index range.
    std::vector<ArticleRow> page =
        Fetch(QStringLiteral(" AND ") + Ordered() + QStringLiteral(" = ? AND \"SIFRA\" > ?"),
              {last.display, last.code}, size);
    if (static_cast<int>(page.size()) < size) {
        const auto rest = Fetch(QStringLiteral(" AND ") + Ordered() + QStringLiteral(" > ?"),
                                {last.display}, size - static_cast<int>(page.size()));
        page.insert(page.end(), rest.begin(), rest.end());
    }
    return page;
}

std::vector<ArticleRow> ArticleList::PageAt(int offset, int size) {
    return Fetch(QString(), {}, size, offset);
}

int ArticleList::RowOf(const ArticleRow& row) {
    QVariantList before{row.display};
    BindGroup(before);
    QVariantList ties{row.display, row.code};
    BindGroup(ties);
    return m_db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE 1 = 1") +
                           GroupFilter() + QStringLiteral(" AND ") + Ordered() +
                           QStringLiteral(" < ?"),
                       before)
               .toInt() +
           m_db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE 1 = 1") +
                           GroupFilter() + QStringLiteral(" AND ") + Ordered() +
                           QStringLiteral(" = ? AND \"SIFRA\" < ?"),
                       ties)
               .toInt();
}

std::optional<ArticleRow> ArticleList::Row(int code) {
    Statement row = m_db.Prepare(Select() + QStringLiteral(" AND \"SIFRA\" = ?"));
    row.Exec({code});
    if (!row.Next()) {
        return std::nullopt;
    }
    return ArticleRow{row.Int(0),  row.Text(1), row.Text(2), row.Text(3),
                      row.Text(4), row.Text(5), row.Int(6),  row.Int(7)};
}

bool ArticleList::Lists(const ArticleRow& row) {
    if (m_group && row.group != *m_group) {
        return false;
    }
    if (!m_stock) {
        return true;
    }
    return m_db
        .Scalar(
            QStringLiteral("SELECT 1 FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? "
                           "AND \"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" <> 0 LIMIT 1"),
            {m_stock->warehouse, m_stock->year, row.code})
        .isValid();
}

std::optional<ArticleRow> ArticleList::FindFrom(const QString& typed, const ArticleRow* after) {
    const QString key = textsearch::KeyExpression(m_db.Dialect(), m_expression);
    const QString prefix = LiteralPrefix(typed);
    QString where;
    QVariantList params;
    if (!prefix.isEmpty()) {
        // The literal beginning is an index range on the search key; the pattern then checks
        // what follows a wildcard.
        where += QStringLiteral(" AND ") + key + QStringLiteral(" >= ? AND ") + key +
                 QStringLiteral(" < ?");
        params << prefix << prefix + kTop;
    }
    where += QStringLiteral(" AND ") + key + QStringLiteral(" LIKE ? ESCAPE '\\'");
    params << textsearch::PrefixPattern(typed);
    if (after != nullptr) {
        where += QStringLiteral(" AND (") + Ordered() + QStringLiteral(" > ? OR (") + Ordered() +
                 QStringLiteral(" = ? AND \"SIFRA\" > ?))");
        params << after->display << after->display << after->code;
    }
    const auto found = Fetch(where, params, 1);
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

std::optional<ArticleRow> ArticleList::FindFirst(const QString& typed) {
    return FindFrom(typed, nullptr);
}

std::optional<ArticleRow> ArticleList::FindNext(const QString& typed, const ArticleRow& after) {
    return FindFrom(typed, &after);
}

ArticleList::SearchStep ArticleList::SearchAgain(const QString& typed,
                                                 const std::optional<ArticleRow>& shown) {
    if (shown) {
        if (auto next = FindNext(typed, *shown)) {
            return SearchStep{next, QString()};
        }
    }
    auto first = FindFirst(typed);
    if (!first || !shown) {
        return SearchStep{first, QString()};
    }
    return SearchStep{first, QStringLiteral("Nema više sličnih zapisa. Pretraživanje počinje "
                                            "ponovno od početka.")};
}

ArticleList::SearchStep ArticleList::BarcodeEnter(const QString& typed) {
    if (const auto code = articles::FindByBarcode(m_db, typed)) {
        return SearchStep{Row(*code), QString()};
    }
    return SearchStep{std::nullopt, QStringLiteral("Artikal sa ovim barkodom nije upisan.")};
}

std::optional<ArticleRow> ArticleList::Lookup(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (const auto code = articles::FindByBarcode(m_db, text)) {
        return Row(*code);
    }
    if (const auto code = articles::FindByCode(m_db, text)) {
        return Row(*code);
    }
    const QVariant byName =
        m_db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE ") +
                        textsearch::KeyExpression(m_db.Dialect(), QStringLiteral("\"NAZIV\"")) +
                        QStringLiteral(" = ? ORDER BY \"SIFRA\" LIMIT 1"),
                    {textsearch::Fold(text)});
    if (byName.isValid()) {
        return Row(byName.toInt());
    }
    return FindFirst(text);
}

}  // namespace zodra::registers

#pragma once

#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

namespace zodra::registers {

// One article as lists and pickers show it.
struct ArticleRow {
    int code = 0;
    QString display;  // the text of the company's article order ("name", "name - code" …)
    QString name;
    QString articleCode;  // OPIS
    QString unit;
    QString barcode;
    int group = 0;
    int taxGroup = 0;
};

// The article list every window shares: articles in the company's article order (its display
// expression, in the Croatian collation), optionally one group, read a page at a time by index
// seeks so that a list of 50,000 articles opens as fast as one of 500. Searching moves to the
// first article whose display text begins with what was typed ("*" is a wildcard anywhere),
// letter case folded; looking up takes a barcode, a code or a name.
class ArticleList {
public:
    // `displayExpression` is the session's article order expression over ARTIKLI
    // (Session::options.articleDisplayExpression).
    ArticleList(Database& db, QString displayExpression);

    void SetGroup(std::optional<int> group) { m_group = group; }
    std::optional<int> Group() const { return m_group; }
    // Only the articles with stock in a warehouse and year: a lot there whose quantity is not 0.
    struct StockPlace {
        int warehouse = 0;
        int year = 0;
    };
    void SetStockPlace(std::optional<StockPlace> place) { m_stock = place; }
    std::optional<StockPlace> StockFilter() const { return m_stock; }

    int Count();
    // Rows in list order: from the top, after a row, or at a position.
    std::vector<ArticleRow> FirstPage(int size);
    std::vector<ArticleRow> PageAfter(const ArticleRow& last, int size);
    std::vector<ArticleRow> PageAt(int offset, int size);
    // The position of a row in the list.
    int RowOf(const ArticleRow& row);
    // One article, also when it is outside the group or stock filter.
    std::optional<ArticleRow> Row(int code);
    // The article is in the list as filtered.
    bool Lists(const ArticleRow& row);

    // The first article in list order whose display text matches typed + "*"; nothing when
    // none does.
    std::optional<ArticleRow> FindFirst(const QString& typed);
    // The next match after `after` in list order; nothing after the last.
    std::optional<ArticleRow> FindNext(const QString& typed, const ArticleRow& after);

    // The search field of the list window. "Traži": the next match after the shown article;
    // after the last one the search starts again from the top and says so. A search that
    // matches nothing at all keeps the shown article and says nothing.
    struct SearchStep {
        std::optional<ArticleRow> row;
        QString message;
    };
    SearchStep SearchAgain(const QString& typed, const std::optional<ArticleRow>& shown);
    // Enter in the search field: the text is a barcode. Not found: the shown article stays and
    // the user is told.
    SearchStep BarcodeEnter(const QString& typed);

    // What a picker does with typed text: a barcode, else a code, else a name (exact, letter
    // case folded), else the first article whose display text begins with it.
    std::optional<ArticleRow> Lookup(const QString& typed);

    const QString& DisplayExpression() const { return m_expression; }

private:
    QString Select() const;
    QString Ordered() const;      // "(expr) COLLATE "HR""
    QString GroupFilter() const;  // the group and stock conditions, each " AND …"
    void BindGroup(QVariantList& params) const;
    std::vector<ArticleRow> Fetch(const QString& where, QVariantList params, int limit,
                                  int offset = 0);
    std::optional<ArticleRow> FindFrom(const QString& typed, const ArticleRow* after);

    Database& m_db;
    QString m_expression;
    std::optional<int> m_group;
    std::optional<StockPlace> m_stock;
};

}  // namespace zodra::registers

#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

namespace zodra::charts {

// What a sales chart adds up: the quantity sold, the margin (sales value less the purchase value
// of the lots sold) or the turnover (sales value without tax).
enum class Measure { Quantity, Margin, Turnover };

enum class ChartKind {
    SalesByMonth,       // the articles sold in each month of the year
    SalesByGroup,       // the articles sold per article group
    SalesByCustomer,    // everything invoiced per customer, best first
    TopArticles,        // the best articles, cut after `limit`
    TopCustomers,       // the best customers, cut after `limit`
    StockValueByMonth,  // the goods balance of the trade book at each month end
};

struct ChartRequest {
    ChartKind kind = ChartKind::SalesByMonth;
    Measure measure = Measure::Turnover;
    int warehouse = 0;
    int year = 0;
    int limit = 20;  // top charts only
};

struct Point {
    QString label;
    double value = 0;
};

struct Series {
    QString title;         // e.g. "Prodaja po mjesecima - promet (2026)"
    QString valueCaption;  // "Količina", "Zarada (EUR)" …
    std::vector<Point> points;
    bool empty = true;  // no document of the year fed it (a month chart still has 12 zeros)
};

// The caption of a chart and of a measure as the window's choosers show them.
QString KindCaption(ChartKind kind);
QString MeasureCaption(Measure measure);
// Whether the chart adds up the chosen measure (the stock value has none of its own).
bool UsesMeasure(ChartKind kind);
bool IsTopChart(ChartKind kind);
// The short month name ("sij" … "pro") of month 1…12.
QString MonthLabel(int month);

// The chart a menu command of "Grafikoni" opens, or nothing for another name.
std::optional<ChartRequest> RequestForCommand(const QString& controlName);

// Reads the chart's series for the request's warehouse and year. Sales are invoice lines dated in
// the year, less the lines of invoices cancelled in it (on their cancellation date). A year
// without documents gives an empty series; no value is ever divided.
Series BuildChart(Database& db, const ChartRequest& request);

}  // namespace zodra::charts

#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "reports/Selection.h"

namespace zodra::reports {

// An expression of a report layout: what a field element prints, a group's key, a band's or an
// element's visibility condition. Values are null, numbers (double or integer), texts, dates and
// yes/no.
//
//   references   {TABLE.FIELD}  {@FORMULA}  PageNumber  PageCount  PrintDate  RecordNumber
//   literals     12  3.5  "text"  true  false  null
//   operators    + - * /   & (joins texts)   = <> < <= > >=   and  or  not   ( )
//   functions    sum(x) count() count(x) min(x) max(x) avg(x)   — aggregates
//                if(condition, a, b)  empty(x)  format(x, "0.00")  round(x, n)  abs(x)
//
// An aggregate's scope follows the band it is printed in: a group footer sums its group, the
// page footer its page, the report footer (and a detail band, as a running total) the report.
// A sum printed at a fixed number of decimals ("Standard", "0.00" …) adds its values rounded to
// those decimals, as the lines above it print them: a total is the sum of the printed amounts.
struct Expr {
    enum class Kind { Literal, Field, Formula, Special, Unary, Binary, Call };
    Kind kind = Kind::Literal;
    QVariant value;  // Literal
    FieldRef field;  // Field
    QString name;    // Formula, Special, operator, function (lower case)
    std::vector<std::shared_ptr<Expr>> args;
    // Resolved when a report is prepared for a run: the field's column, the aggregate's slot,
    // and for an aggregate printed at a fixed number of decimals that number (else -1).
    mutable int slot = -1;
    mutable int printedDecimals = -1;

    bool IsAggregate() const;
};
using ExprPtr = std::shared_ptr<Expr>;

// Supplies the values an expression refers to during a run.
class ExprContext {
public:
    virtual ~ExprContext() = default;
    virtual QVariant FieldValue(const Expr& field) = 0;
    virtual QVariant FormulaValue(const QString& name) = 0;
    virtual QVariant SpecialValue(const QString& name) = 0;
    virtual QVariant AggregateValue(const Expr& aggregate) = 0;
    // Formats a value for format(x, f); the renderer knows the currency and the locale.
    virtual QString FormatValue(const QVariant& value, const QString& format) = 0;
};

QVariant Evaluate(const Expr& expr, ExprContext& context);
bool IsTrue(const QVariant& value);
// Equality as the "=" operator has it (numbers by value, ISO date texts as dates).
bool ValuesEqual(const QVariant& a, const QVariant& b);
bool IsEmptyValue(const QVariant& value);

// Calls fn for the expression and every expression below it.
template <typename Fn>
void ForEachNode(const Expr& expr, Fn&& fn) {
    fn(expr);
    for (const ExprPtr& arg : expr.args) {
        ForEachNode(*arg, fn);
    }
}

// The names an expression may use without braces.
bool IsSpecialName(const QString& name);

}  // namespace zodra::reports

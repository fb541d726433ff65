#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <vector>

namespace zodra::reports {

// A field as report formulas name it: {TABLE.FIELD}. The table is a table, view or query of the
// report's data; names are matched without regard to letter case. A field written without a
// table ({FIELD}) belongs to the report's only source.
struct FieldRef {
    QString table;
    QString field;

    QString Text() const;  // "{TABLE.FIELD}"
    // Parses the text between the braces: the table is everything before the first point.
    static FieldRef FromBraces(const QString& inner);
};

enum class CompareOp { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Like };

// One side of a comparison: a field, a value (number, text, date, yes/no) or, in the
// conditions of a report file, a named parameter (:NAME) whose value the program binds.
struct Operand {
    enum class Kind { Field, Value, Parameter };
    Kind kind = Kind::Value;
    FieldRef field;
    QVariant value;
    QString parameter;

    static Operand OfField(const FieldRef& f);
    static Operand OfValue(const QVariant& v);
    static Operand OfParameter(const QString& name);
};

struct Comparison {
    Operand left;
    CompareOp op = CompareOp::Equal;
    Operand right;
};

// A selection formula: comparisons joined by AND, as the program hands them to the report
// engine: {BLAGAJNA_UPLATNICE.SKLADISTE}=1 AND {PRIMKE.DATUM}>=DATE(2026,1,1) AND
// {ARTIKLI.NAZIV} like 'Kod Ane''s*'. Numbers are bare, texts in single quotes (a quote inside
// a text is doubled), dates DATE(y,m,d), and "like" takes a text where "*" is the wildcard.
//
// The formula never reaches SQL as text: it becomes a WHERE clause of quoted identifiers and
// "?" placeholders with the values bound. Programs build selections with the Where/Like
// builders (values stay values, so a partner called "Kod Ane's" needs no quoting); text
// formulas (command line, tests) are parsed and a formula that does not parse is refused with
// a Croatian message.
class Selection {
public:
    // Parses a formula. An empty or blank text is an empty selection (all rows). Throws a
    // UserError naming what is wrong and where. Parameters (:NAME) are accepted only when
    // allowParameters is set (conditions written in report files).
    static Selection Parse(const QString& text, bool allowParameters = false);

    // Builders: field is "TABLE.FIELD" (without braces).
    Selection& Where(const QString& field, CompareOp op, const QVariant& value);
    Selection& Like(const QString& field, const QString& pattern);
    Selection& Add(const Comparison& comparison);
    Selection& And(const Selection& other);

    bool IsEmpty() const { return m_comparisons.empty(); }
    const std::vector<Comparison>& Comparisons() const { return m_comparisons; }

    // The formula as text (quotes doubled, dates as DATE(y,m,d)); Parse(ToText()) gives the
    // same selection back.
    QString ToText() const;

    struct Sql {
        QString text;  // "" when the selection is empty
        QVariantList values;
    };
    // The WHERE condition: `resolve` turns a field into its SQL expression (quoted identifiers)
    // or throws; `parameter` gives the value of a named parameter or throws.
    Sql ToSql(const std::function<QString(const FieldRef&)>& resolve,
              const std::function<QVariant(const QString&)>& parameter) const;

private:
    std::vector<Comparison> m_comparisons;
};

QString ToText(CompareOp op);

}  // namespace zodra::reports

#include "reports/Expression.h"

#include <QDate>
#include <cmath>

#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"

namespace zodra::reports {

namespace {

bool IsNumber(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Double:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

double Number(const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        return 0.0;
    }
    if (v.typeId() == QMetaType::Bool) {
        return v.toBool() ? 1.0 : 0.0;
    }
    return v.toDouble();
}

// Dates may arrive as ISO text; a text of that shape compares as a date.
QDate AsDate(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate) {
        return v.toDate();
    }
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        if (s.size() >= 10 && s.at(4) == QLatin1Char('-') && s.at(7) == QLatin1Char('-')) {
            return QDate::fromString(s.left(10), Qt::ISODate);
        }
    }
    return {};
}

int Compare(const QVariant& a, const QVariant& b) {
    const bool aNull = a.isNull() || !a.isValid();
    const bool bNull = b.isNull() || !b.isValid();
    if (aNull || bNull) {
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    }
    if (IsNumber(a) || IsNumber(b) || a.typeId() == QMetaType::Bool ||
        b.typeId() == QMetaType::Bool) {
        const double x = Number(a);
        const double y = Number(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const QDate da = AsDate(a);
    const QDate db = AsDate(b);
    if (da.isValid() && db.isValid()) {
        return da < db ? -1 : (da > db ? 1 : 0);
    }
    return a.toString().compare(b.toString());
}

QVariant Arithmetic(const QString& op, const QVariant& a, const QVariant& b) {
    const double x = Number(a);
    const double y = Number(b);
    if (op == QLatin1String("+")) {
        return x + y;
    }
    if (op == QLatin1String("-")) {
        return x - y;
    }
    if (op == QLatin1String("*")) {
        return x * y;
    }
    // Division by zero prints nothing rather than "inf".
    if (y == 0.0) {
        return QVariant();
    }
    return x / y;
}

}  // namespace

bool ValuesEqual(const QVariant& a, const QVariant& b) {
    return Compare(a, b) == 0;
}

bool Expr::IsAggregate() const {
    return kind == Kind::Call && (name == QLatin1String("sum") || name == QLatin1String("count") ||
                                  name == QLatin1String("min") || name == QLatin1String("max") ||
                                  name == QLatin1String("avg"));
}

bool IsSpecialName(const QString& name) {
    return name == QLatin1String("PageNumber") || name == QLatin1String("PageCount") ||
           name == QLatin1String("PrintDate") || name == QLatin1String("RecordNumber");
}

bool IsEmptyValue(const QVariant& value) {
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

bool IsTrue(const QVariant& value) {
    if (IsEmptyValue(value)) {
        return false;
    }
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool();
    }
    if (IsNumber(value)) {
        return value.toDouble() != 0.0;
    }
    return true;
}

QVariant Evaluate(const Expr& e, ExprContext& context) {
    switch (e.kind) {
        case Expr::Kind::Literal:
            return e.value;
        case Expr::Kind::Field:
            return context.FieldValue(e);
        case Expr::Kind::Formula:
            return context.FormulaValue(e.name);
        case Expr::Kind::Special:
            return context.SpecialValue(e.name);
        case Expr::Kind::Unary: {
            const QVariant v = Evaluate(*e.args[0], context);
            if (e.name == QLatin1String("not")) {
                return !IsTrue(v);
            }
            if (v.isNull()) {
                return QVariant();
            }
            return -Number(v);
        }
        case Expr::Kind::Binary: {
            const QString& op = e.name;
            if (op == QLatin1String("and")) {
                return IsTrue(Evaluate(*e.args[0], context)) &&
                       IsTrue(Evaluate(*e.args[1], context));
            }
            if (op == QLatin1String("or")) {
                return IsTrue(Evaluate(*e.args[0], context)) ||
                       IsTrue(Evaluate(*e.args[1], context));
            }
            const QVariant a = Evaluate(*e.args[0], context);
            const QVariant b = Evaluate(*e.args[1], context);
            if (op == QLatin1String("&")) {
                return context.FormatValue(a, QString()) + context.FormatValue(b, QString());
            }
            if (op == QLatin1String("=")) {
                return Compare(a, b) == 0;
            }
            if (op == QLatin1String("<>")) {
                return Compare(a, b) != 0;
            }
            if (op == QLatin1String("<")) {
                return Compare(a, b) < 0;
            }
            if (op == QLatin1String("<=")) {
                return Compare(a, b) <= 0;
            }
            if (op == QLatin1String(">")) {
                return Compare(a, b) > 0;
            }
            if (op == QLatin1String(">=")) {
                return Compare(a, b) >= 0;
            }
            return Arithmetic(op, a, b);
        }
        case Expr::Kind::Call: {
            if (e.IsAggregate()) {
                return context.AggregateValue(e);
            }
            const QString& f = e.name;
            if (f == QLatin1String("if")) {
                return IsTrue(Evaluate(*e.args[0], context)) ? Evaluate(*e.args[1], context)
                                                             : Evaluate(*e.args[2], context);
            }
            if (f == QLatin1String("empty")) {
                return IsEmptyValue(Evaluate(*e.args[0], context));
            }
            if (f == QLatin1String("format")) {
                return context.FormatValue(Evaluate(*e.args[0], context),
                                           Evaluate(*e.args[1], context).toString());
            }
            if (f == QLatin1String("round")) {
                const QVariant v = Evaluate(*e.args[0], context);
                const int decimals =
                    e.args.size() > 1 ? static_cast<int>(Number(Evaluate(*e.args[1], context))) : 0;
                return v.isNull() ? QVariant() : QVariant(RoundDecimal(Number(v), decimals));
            }
            if (f == QLatin1String("abs")) {
                const QVariant v = Evaluate(*e.args[0], context);
                return v.isNull() ? QVariant() : QVariant(std::fabs(Number(v)));
            }
            throw UserError(QStringLiteral("Nepoznata funkcija ") + f + QStringLiteral("()."));
        }
    }
    return QVariant();
}

}  // namespace zodra::reports

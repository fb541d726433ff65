#include "data/SqlValue.h"

#include <QString>

namespace zodra::sqlvalue {

QString DateText(const QDate& date) {
    return date.toString(Qt::ISODate);
}

QVariant ToDb(const QVariant& value, SqlDialect dialect) {
    if (!value.isValid() || value.isNull()) {
        return QVariant();
    }
    if (dialect == SqlDialect::Sqlite) {
        switch (value.typeId()) {
            case QMetaType::QDate:
                return DateText(value.toDate());
            case QMetaType::QDateTime:
                return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            case QMetaType::Bool:
                return value.toBool() ? 1 : 0;
            default:
                return value;
        }
    }
    return value;
}

QDate ToDate(const QVariant& stored) {
    if (stored.isNull()) {
        return {};
    }
    if (stored.typeId() == QMetaType::QDate) {
        return stored.toDate();
    }
    if (stored.typeId() == QMetaType::QDateTime) {
        return stored.toDateTime().date();
    }
    const QString text = stored.toString();
    return QDate::fromString(text.left(10), Qt::ISODate);
}

QDateTime ToDateTime(const QVariant& stored) {
    if (stored.isNull()) {
        return {};
    }
    if (stored.typeId() == QMetaType::QDateTime) {
        return stored.toDateTime();
    }
    QString text = stored.toString();
    text.replace(QLatin1Char(' '), QLatin1Char('T'));
    QDateTime dt = QDateTime::fromString(text, Qt::ISODate);
    if (!dt.isValid()) {
        dt = QDateTime(QDate::fromString(text.left(10), Qt::ISODate), QTime(0, 0));
    }
    return dt;
}

bool ToBool(const QVariant& stored) {
    if (stored.isNull()) {
        return false;
    }
    if (stored.typeId() == QMetaType::QString) {
        const QString t = stored.toString().trimmed();
        return t == QLatin1String("1") ||
               t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    return stored.toInt() != 0 || stored.toBool();
}

double ToDouble(const QVariant& stored) {
    return stored.isNull() ? 0.0 : stored.toDouble();
}

int ToInt(const QVariant& stored) {
    return stored.isNull() ? 0 : stored.toInt();
}

QString ToText(const QVariant& stored) {
    return stored.isNull() ? QString() : stored.toString();
}

}  // namespace zodra::sqlvalue

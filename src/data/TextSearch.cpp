#include "data/TextSearch.h"

#include <QCollator>
#include <QLocale>

namespace zodra::textsearch {

QString Fold(const QString& text) {
    return text.toCaseFolded();
}

QString LikePattern(const QString& typed) {
    QString out;
    out.reserve(typed.size() + 4);
    for (const QChar c : Fold(typed)) {
        if (c == QLatin1Char('*')) {
            out += QLatin1Char('%');
        } else if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

QString PrefixPattern(const QString& typed) {
    QString pattern = LikePattern(typed);
    if (!pattern.endsWith(QLatin1Char('%')) || pattern.endsWith(QStringLiteral("\\%"))) {
        pattern += QLatin1Char('%');
    }
    return pattern;
}

int Compare(const QString& a, const QString& b) {
    // QCollator is cheap to copy but not to construct; one per thread is enough.
    thread_local QCollator collator = [] {
        QCollator c{QLocale(QLocale::Croatian, QLocale::Croatia)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    const int r = collator.compare(a, b);
    if (r != 0) {
        return r;
    }
    return a.compare(b);  // a total order: letter case decides last
}

}  // namespace zodra::textsearch

namespace zodra::textsearch {

QString KeyExpression(SqlDialect dialect, const QString& expression) {
    // The server's "C" collation is byte order, as SQLite's default collation is.
    return QStringLiteral("zfold(") + expression +
           (dialect == SqlDialect::Sqlite ? QStringLiteral(")")
                                          : QStringLiteral(") COLLATE \"C\""));
}

}  // namespace zodra::textsearch

#include "registers/DocumentFile.h"

#include <QVariant>

#include "data/Database.h"
#include "data/Errors.h"
#include "registers/Articles.h"

namespace zodra::registers {

QString DocumentFile::Where(int line) {
    return line > 0 ? QStringLiteral(" (stavka ") + QString::number(line) + QStringLiteral(")")
                    : QString();
}

void DocumentFile::Refuse(const QString& text, int line) const {
    throw UserError(m_kind + text + Where(line) + QStringLiteral("."));
}

std::optional<double> DocumentFile::Number(const QJsonObject& o, const char* key, int line) const {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    if (v.isDouble()) {
        return v.toDouble();
    }
    if (v.isString()) {
        bool ok = false;
        const double d =
            v.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (ok) {
            return d;
        }
    }
    Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije broj"), line);
}

QDate DocumentFile::Date(const QJsonObject& o, const char* key, bool required) const {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        if (required) {
            Refuse(QStringLiteral("nedostaje \"") + QLatin1String(key) + QStringLiteral("\""));
        }
        return {};
    }
    const QString text = v.toString().trimmed();
    for (const char* format : {"yyyy-MM-dd", "d.M.yyyy", "d.M.yyyy."}) {
        const QDate d = QDate::fromString(text, QString::fromLatin1(format));
        if (d.isValid()) {
            return d;
        }
    }
    Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije ispravan datum (") +
           text + QStringLiteral(")"));
}

int DocumentFile::Partner(Database& db, const QJsonValue& v, const char* key,
                          const QString& notFound) const {
    QVariant found;
    if (v.isDouble()) {
        found = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                          {v.toInt()});
    } else if (v.isObject() && v.toObject().contains(QStringLiteral("oib"))) {
        found = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"OIB\" = ? "
                                         "ORDER BY \"SIFRA\" LIMIT 1"),
                          {v.toObject().value(QStringLiteral("oib")).toString().trimmed()});
    } else if (v.isString()) {
        found = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ? "
                                         "ORDER BY \"SIFRA\" LIMIT 1"),
                          {v.toString().trimmed()});
    } else {
        Refuse(QStringLiteral("nedostaje \"") + QLatin1String(key) + QStringLiteral("\""));
    }
    if (!found.isValid()) {
        Refuse(notFound);
    }
    return found.toInt();
}

int DocumentFile::Article(Database& db, const QJsonObject& line, int lineNumber) const {
    const QJsonValue v = line.value(QStringLiteral("artikal"));
    if (v.isDouble()) {
        const QVariant found = db.Scalar(
            QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {v.toInt()});
        if (found.isValid()) {
            return found.toInt();
        }
    } else if (v.isString()) {
        if (auto code = articles::FindByCode(db, v.toString().trimmed())) {
            return *code;
        }
    }
    const QJsonValue barcode = line.value(QStringLiteral("barkod"));
    if (barcode.isString()) {
        if (auto code = articles::FindByBarcode(db, barcode.toString().trimmed())) {
            return *code;
        }
    }
    Refuse(QStringLiteral("artikal nije pronađen"), lineNumber);
}

}  // namespace zodra::registers

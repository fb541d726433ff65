#pragma once

#include <QDate>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

namespace zodra {
class Database;
}

namespace zodra::registers {

// What every document file (a receipt, an invoice, a price change in JSON) reads the same way:
// numbers, dates, a partner and an article of the company's registers. Every refusal is a
// UserError that names the file's kind (e.g. "Datoteka računa: "), what is wrong and the line
// ("(stavka 3)"), ending with a full stop.
class DocumentFile {
public:
    explicit DocumentFile(QString kind) : m_kind(std::move(kind)) {}

    [[noreturn]] void Refuse(const QString& text, int line = 0) const;
    // " (stavka n)" for a line, nothing for the header (0).
    static QString Where(int line);
    // A number or a text holding one (a decimal comma allowed); nothing when the key is missing.
    std::optional<double> Number(const QJsonObject& o, const char* key, int line = 0) const;
    // "yyyy-MM-dd", "d.M.yyyy" or "d.M.yyyy."; a missing date is refused when required, else
    // an invalid QDate.
    QDate Date(const QJsonObject& o, const char* key, bool required = true) const;
    // A partner by code, {"oib": …} or exact name; `key` names the field in the "missing"
    // refusal, `notFound` is the refusal when no partner matches.
    int Partner(Database& db, const QJsonValue& v, const char* key, const QString& notFound) const;
    // The line's article by code ("artikal": number), article code ("artikal": text) or
    // "barkod".
    int Article(Database& db, const QJsonObject& line, int lineNumber) const;

private:
    QString m_kind;
};

}  // namespace zodra::registers

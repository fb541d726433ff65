#include "stockdocs/StockCountEntry.h"

#include <QStringDecoder>
#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "registers/Articles.h"
#include "registers/Csv.h"
#include "stock/Lots.h"

namespace zodra::stockdocs {

namespace {

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

QString NegativeMessage() {
    return QStringLiteral("Količina nesmije biti negativna !");
}

struct CountLine {
    qint64 row = 0;
    double book = 0;
    double counted = 0;
};

// The quantity field of a file line: a number (decimal comma or point), finite, not negative,
// within the limits of a quantity; else why not.
std::optional<QString> QuantityProblem(const QString& text, double* value) {
    const QString t = text.trimmed();
    const std::optional<double> parsed = t.isEmpty() ? std::nullopt : inputrules::ParseNumber(t);
    if (!parsed) {
        return QStringLiteral("količina \"") + t + QStringLiteral("\" nije ispravan broj");
    }
    if (*parsed < 0) {
        return QStringLiteral("količina nesmije biti negativna");
    }
    if (const auto refusal = limits::CheckNumber(*parsed, limits::NumberKind::Quantity,
                                                 QStringLiteral("Količina"))) {
        return *refusal;
    }
    *value = *parsed;
    return std::nullopt;
}

bool IsHeaderLine(const QStringList& record) {
    return record.size() >= 2 && record.at(1).trimmed().toLower().startsWith(QStringLiteral("kol"));
}

}  // namespace

ScannedEntry ParseScannedEntry(const QString& typed) {
    ScannedEntry entry;
    QString code = typed.trimmed();
    const qsizetype star = code.indexOf(QLatin1Char('*'));
    if (star >= 0) {
        const std::optional<double> quantity =
            star == 0 ? std::nullopt : inputrules::ParseNumber(code.left(star));
        if (!quantity) {
            throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
        }
        if (*quantity < 0) {
            throw UserError(NegativeMessage());
        }
        limits::RequireNumber(*quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
        entry.quantity = *quantity;
        code = code.mid(star + 1).trimmed();
    }
    if (code.isEmpty()) {
        throw UserError(QStringLiteral("Upišite barkod ili šifru artikla."));
    }
    entry.code = code;
    return entry;
}

int FindCountedArticle(Database& db, const QString& code) {
    if (const auto byBarcode = registers::articles::FindByBarcode(db, code)) {
        return *byBarcode;
    }
    if (const auto byCode = registers::articles::FindByCode(db, code)) {
        return *byCode;
    }
    throw UserError(QStringLiteral("Artikal sa barkodom ili šifrom ") + code.trimmed() +
                    QStringLiteral(" nije pronađen."));
}

CountedAddition AddCountedQuantity(Database& db, int sessionCode, int article, double quantity) {
    if (quantity < 0) {
        throw UserError(NegativeMessage());
    }
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    // The pooled lot (0) is an article's only lot, so the order by receipt number is the lots'
    // age.
    Statement read = db.Prepare(QStringLiteral("SELECT ") + RowKey(db) +
                                QStringLiteral(", \"KNJIZNO_KOLICINA\", \"STVARNO_KOLICINA\" FROM "
                                               "\"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
                                               "\"Multiuser_sifra\" = ? AND \"SIFRA_ARTIKLA\" = ? "
                                               "ORDER BY \"BROJ_PRIMKE\", ") +
                                RowKey(db));
    read.Exec({sessionCode, article});
    std::vector<CountLine> lines;
    while (read.Next()) {
        lines.push_back({read.Value(0).toLongLong(), read.Double(1), read.Double(2)});
    }
    CountedAddition done{article, stock::ArticleName(db, article), 0, quantity};
    if (lines.empty()) {
        throw UserError(QStringLiteral("Artikal ") + done.articleName +
                        QStringLiteral(" nije na inventuri."));
    }
    std::vector<double> add(lines.size(), 0.0);
    double left = quantity;
    for (size_t i = 0; i < lines.size() && left > 0; ++i) {
        const double room = RoundQuantity(lines[i].book - lines[i].counted);
        if (room > 0) {
            add[i] = std::min(room, left);
            left = RoundQuantity(left - add[i]);
        }
    }
    if (left > 0) {
        add.back() += left;
    }
    Statement write = db.Prepare(
        QStringLiteral("UPDATE \"STAVKE_INVENTURA_PRIVREMENO\" SET \"STVARNO_KOLICINA\" = ?, "
                       "\"STVARNO_VRIJEDNOST\" = ? * \"V_CIJENA\" WHERE ") +
        RowKey(db) + QStringLiteral(" = ?"));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (add[i] == 0 && !(quantity == 0 && i == 0)) {
            continue;
        }
        const double counted = RoundQuantity(lines[i].counted + add[i]);
        limits::RequireNumber(counted, limits::NumberKind::Quantity,
                              QStringLiteral("Stvarna količina"));
        write.Exec({counted, counted, lines[i].row});
        if (done.row == 0) {
            done.row = lines[i].row;
        }
    }
    return done;
}

CountedAddition AddScannedEntry(Session& session, const QString& typed) {
    const ScannedEntry entry = ParseScannedEntry(typed);
    Database& db = session.Db();
    const int article = FindCountedArticle(db, entry.code);
    Transaction transaction(db);
    const CountedAddition done =
        AddCountedQuantity(db, session.sessionCode, article, entry.quantity);
    transaction.Commit();
    return done;
}

std::vector<OpenStockCount> OpenStockCounts(Database& db, int warehouse) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"Multiuser_sifra\", MIN(\"SKLADISTE\"), MIN(\"GODINA\"), MIN(\"BROJ_INVENTURE\"), "
        "COUNT(*) FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE ? = 0 OR \"SKLADISTE\" = ? GROUP BY "
        "\"Multiuser_sifra\" ORDER BY \"Multiuser_sifra\""));
    s.Exec({warehouse, warehouse});
    std::vector<OpenStockCount> counts;
    while (s.Next()) {
        counts.push_back({s.Int(0), s.Int(1), s.Int(2), s.Int(3), s.Int(4)});
    }
    return counts;
}

int ImportCountedQuantities(Database& db, int sessionCode, const QByteArray& file,
                            std::optional<QChar> separator) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file);
    if (decoder.hasError()) {
        throw UserError(QStringLiteral("Datoteka nije zapisana u UTF-8 kodu."));
    }
    if (!separator) {
        QString first = text;
        if (first.startsWith(QChar(0xFEFF))) {
            first.remove(0, 1);
        }
        first = first.trimmed().section(QLatin1Char('\n'), 0, 0);
        separator = first.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    }
    const csv::Table table = csv::Parse(text, separator);
    std::vector<std::pair<QStringList, int>> records;
    if (!table.header.isEmpty() && !IsHeaderLine(table.header) &&
        !(table.header.size() == 1 && table.header.front().trimmed().isEmpty())) {
        records.emplace_back(table.header, 1);
    }
    for (size_t i = 0; i < table.rows.size(); ++i) {
        records.emplace_back(table.rows[i], table.lines[i]);
    }
    if (records.empty()) {
        throw UserError(QStringLiteral("Datoteka nema niti jednog retka s količinom."));
    }

    struct Entry {
        int line = 0;
        int article = 0;
        double quantity = 0;
    };
    std::vector<Entry> entries;
    QStringList problems;
    Transaction transaction(db);
    for (const auto& [record, line] : records) {
        QStringList fields = record;
        while (fields.size() > 2 && fields.back().trimmed().isEmpty()) {
            fields.removeLast();
        }
        auto refuse = [&, line = line](const QString& why) {
            problems << QStringLiteral("Redak ") + QString::number(line) + QStringLiteral(": ") +
                            why + QLatin1Char('.');
        };
        if (fields.size() != 2) {
            refuse(QStringLiteral("očekuju se dva polja, šifra ili barkod i količina"));
            continue;
        }
        Entry entry{line, 0, 0};
        const QString code = fields.at(0).trimmed();
        if (code.isEmpty()) {
            refuse(QStringLiteral("nema šifre ni barkoda artikla"));
        } else if (const auto byBarcode = registers::articles::FindByBarcode(db, code)) {
            entry.article = *byBarcode;
        } else if (const auto byCode = registers::articles::FindByCode(db, code)) {
            entry.article = *byCode;
        } else {
            refuse(QStringLiteral("artikal \"") + code + QStringLiteral("\" nije pronađen"));
        }
        if (const auto problem = QuantityProblem(fields.at(1), &entry.quantity)) {
            refuse(*problem);
        }
        if (entry.article != 0 &&
            !db.Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
                                      "\"Multiuser_sifra\" = ? AND \"SIFRA_ARTIKLA\" = ? LIMIT 1"),
                       {sessionCode, entry.article})
                 .isValid()) {
            refuse(QStringLiteral("artikal ") + stock::ArticleName(db, entry.article) +
                   QStringLiteral(" nije na inventuri"));
        }
        entries.push_back(entry);
    }
    if (!problems.isEmpty()) {
        throw UserError(QStringLiteral("Količine nisu uvezene, ništa nije upisano.\n") +
                        problems.join(QLatin1Char('\n')));
    }
    for (const Entry& entry : entries) {
        try {
            AddCountedQuantity(db, sessionCode, entry.article, entry.quantity);
        } catch (const UserError& e) {
            // A sum of the file's lines beyond the limits of a quantity.
            throw UserError(QStringLiteral("Količine nisu uvezene, ništa nije upisano.\nRedak ") +
                            QString::number(entry.line) + QStringLiteral(": ") + e.message());
        }
    }
    transaction.Commit();
    return static_cast<int>(entries.size());
}

}  // namespace zodra::stockdocs

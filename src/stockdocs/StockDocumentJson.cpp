#include "stockdocs/StockDocumentJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "registers/DocumentFile.h"

namespace zodra::stockdocs {

namespace {

// A whole number from 1 up, or nothing when not given.
std::optional<int> WholeNumber(const registers::DocumentFile& file, const QJsonObject& o,
                               const char* key, int line) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 ||
        d > numbering::kLastNumber) {
        file.Refuse(
            QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije cijeli broj"),
            line);
    }
    return static_cast<int>(d);
}

QJsonObject Read(const registers::DocumentFile& file, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        file.Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                    QStringLiteral(", znak ") + QString::number(error.offset) +
                    QStringLiteral(")"));
    }
    return doc.object();
}

int Warehouse(Database& db, const registers::DocumentFile& file, const QJsonObject& o,
              const char* key) {
    const std::optional<int> code = WholeNumber(file, o, key, 0);
    if (!code || *code <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {*code})
             .isValid()) {
        file.Refuse(QStringLiteral("\"") + QLatin1String(key) +
                    QStringLiteral("\" nije šifra postojećeg skladišta"));
    }
    return *code;
}

QJsonArray LinesOf(const registers::DocumentFile& file, const QJsonObject& o) {
    const QJsonArray lines = o.value(QStringLiteral("stavke")).toArray();
    if (lines.isEmpty()) {
        file.Refuse(QStringLiteral("nema stavki (\"stavke\")"));
    }
    return lines;
}

double Quantity(const registers::DocumentFile& file, const QJsonObject& l, int n) {
    const std::optional<double> q = file.Number(l, "kolicina", n);
    if (!q) {
        file.Refuse(QStringLiteral("nedostaje \"kolicina\""), n);
    }
    return *q;
}

// Entry under a session code of its own, so that the working copy of the session that posts
// (or of a window open beside) is never mixed in.
template <typename Post>
auto InOwnWorkingCopy(Session& session, Post post) {
    Database& db = session.Db();
    Transaction transaction(db);
    const int code = workingcopy::AllocateSessionCode(db);
    auto result = post(code);
    workingcopy::ReleaseSessionCodes(db, {code});
    transaction.Commit();
    return result;
}

}  // namespace

QString TransferWord() {
    return QStringLiteral("meduskladisnica");
}

std::optional<DocumentKind> IssueKindOfWord(const QString& word) {
    for (const IssueDocumentTexts& t : IssueDocuments()) {
        if (t.word == word) {
            return t.kind;
        }
    }
    return std::nullopt;
}

JsonTransfer ParseTransferJson(Database& db, const QByteArray& json) {
    const registers::DocumentFile file(QStringLiteral("Datoteka međuskladišnice: "));
    const QJsonObject o = Read(file, json);
    JsonTransfer t;
    t.warehouse = Warehouse(db, file, o, "skladiste");
    t.header.destination = Warehouse(db, file, o, "odrediste");
    if (t.header.destination == t.warehouse) {
        file.Refuse(QStringLiteral("\"odrediste\" je isto skladište"));
    }
    t.header.number = WholeNumber(file, o, "broj", 0).value_or(0);
    t.header.date = file.Date(o, "datum");
    t.header.description = o.value(QStringLiteral("opis")).toString();
    int n = 0;
    for (const QJsonValue value : LinesOf(file, o)) {
        const QJsonObject l = value.toObject();
        ++n;
        TransferLineEntry line;
        line.article = file.Article(db, l, n);
        line.lot = WholeNumber(file, l, "primka", n);
        line.quantity = Quantity(file, l, n);
        line.destinationPrice = file.Number(l, "odredisna_cijena", n);
        line.destinationPriceWithTax = file.Number(l, "odredisna_cijena_s_porezom", n);
        if (line.destinationPrice && line.destinationPriceWithTax) {
            file.Refuse(
                QStringLiteral("zadana je i \"odredisna_cijena\" i \"odredisna_cijena_s_porezom\""),
                n);
        }
        line.retailMargin = file.Number(l, "marza", n);
        t.lines.push_back(line);
    }
    return t;
}

JsonIssueDocument ParseIssueDocumentJson(Database& db, const QByteArray& json) {
    const registers::DocumentFile file(QStringLiteral("Datoteka dokumenta: "));
    const QJsonObject o = Read(file, json);
    JsonIssueDocument d;
    const std::optional<DocumentKind> kind =
        IssueKindOfWord(o.value(QStringLiteral("vrsta")).toString());
    if (!kind) {
        file.Refuse(
            QStringLiteral("\"vrsta\" nije izdatnica, povratnica, rashod, odjava ni "
                           "povratnica-dobavljacu"));
    }
    d.kind = *kind;
    d.warehouse = Warehouse(db, file, o, "skladiste");
    d.header.number = WholeNumber(file, o, "broj", 0).value_or(0);
    d.header.date = file.Date(o, "datum");
    d.header.description = o.value(QStringLiteral("opis")).toString();
    if (d.kind == DocumentKind::SupplierReturn) {
        d.header.supplier = file.Partner(db, o.value(QStringLiteral("dobavljac")), "dobavljac",
                                         QStringLiteral("\"dobavljac\" nije postojeći partner"));
    }
    int n = 0;
    for (const QJsonValue value : LinesOf(file, o)) {
        const QJsonObject l = value.toObject();
        ++n;
        IssueLineEntry line;
        line.article = file.Article(db, l, n);
        line.lot = WholeNumber(file, l, "primka", n);
        line.quantity = Quantity(file, l, n);
        d.lines.push_back(line);
    }
    return d;
}

documents::PostedTransfer PostTransferFromJson(Session& session, const JsonTransfer& transfer) {
    return InOwnWorkingCopy(session, [&](int code) {
        for (const TransferLineEntry& line : transfer.lines) {
            AddTransferLine(session, code, transfer.header.destination, line);
        }
        return PostWorkingTransfer(session, transfer.header, code);
    });
}

int PostIssueDocumentFromJson(Session& session, const JsonIssueDocument& document) {
    return InOwnWorkingCopy(session, [&](int code) {
        for (const IssueLineEntry& line : document.lines) {
            AddIssueLine(session, document.kind, code, line);
        }
        return PostWorkingIssueDocument(session, document.kind, document.header, code);
    });
}

}  // namespace zodra::stockdocs

#include "stockdocs/IssueDocuments.h"

#include <set>
#include <stdexcept>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "documents/WorkingLines.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/LaterStockEvents.h"

namespace zodra::stockdocs {

namespace {

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// The guard texts of a kind: `one` names the document as an object ("izdatnicu"), `of` as a
// genitive ("izdatnice"), `this` the demonstrative ("Ovu"), `its` the possessive ("njenog").
IssueDocumentTexts Texts(DocumentKind kind, const char16_t* word, const char16_t* caption,
                         const char16_t* posted, const char16_t* one, const char16_t* of,
                         const char16_t* noSuch, const char16_t* self, const char16_t* its,
                         const char16_t* countIts) {
    IssueDocumentTexts t;
    t.kind = kind;
    t.word = S(word);
    t.caption = S(caption);
    t.printTitle = S(u"Ispis ") + S(of) + S(u" br. ");
    t.postedMessage = S(posted);
    t.deleteQuestion = S(u"Želite li izbrisati ") + S(one) + S(u"!");
    t.noSuchDocument = S(noSuch);
    const QString cannot = S(self) + QLatin1Char(' ') + S(one);
    t.priceChangeGuard = cannot + S(u" nemožete stornirati jer su na artiklima iz ") + S(of) +
                         S(u" nakon ") + S(its) + S(u" izdavanja rađene izmjene cijena.");
    t.stockCountGuard = cannot + S(u" nemožete stornirati jer su na artiklima iz ") + S(of) +
                        S(u" nakon ") + S(countIts) + S(u" izdavanja rađene inventure.");
    t.samePriceGuard = cannot + S(u" nemožete izbrisati jer neki artikal iz ") + S(of) +
                       S(u" više nema istu cijenu na skladištu.");
    return t;
}

// The list's caption and the printouts of a kind.
IssueDocumentTexts Printed(IssueDocumentTexts t, const char16_t* list, const char16_t* report,
                           const char16_t* quantities) {
    t.listCaption = S(list);
    t.report = S(report);
    t.quantityReport = S(quantities);
    return t;
}

std::vector<IssueDocumentTexts> Build() {
    return {
        Printed(Texts(DocumentKind::IssueNote, u"izdatnica", u"Izdatnica",
                      u"Izdatnica je proknjižena pod brojem ", u"izdatnicu", u"izdatnice",
                      u"Ne postoji proknjižena izdatnica broj ", u"Ovu", u"njenog", u"njenog"),
                u"Izdatnice", u"izdatnica.rpt", u"izdatnica_kolicina.rpt"),
        Printed(Texts(DocumentKind::ReturnNote, u"povratnica", u"Povratnica",
                      u"Povratnica je proknjižena pod brojem ", u"povratnicu", u"povratnice",
                      u"Ne postoji proknjižena povratnica broj ", u"Ovu", u"njenog", u"njenog"),
                u"Povratnice", u"povratnica.rpt", u"povratnica_kolicina.rpt"),
        Printed(Texts(DocumentKind::WriteOff, u"rashod", u"Rashod",
                      u"Rashod je proknjižen pod brojem ", u"rashod", u"rashoda",
                      u"Ne postoji proknjiženi rashod broj ", u"Ovaj", u"njenog", u"njegovog"),
                u"Rashodi", u"rashod.rpt", u""),
        Printed(Texts(DocumentKind::CommissionReturn, u"odjava", u"Odjava",
                      u"Odjava je proknjižena pod brojem ", u"odjavu", u"odjave",
                      u"Ne postoji proknjižena odjava broj ", u"Ovu", u"njenog", u"njenog"),
                u"Odjave", u"odjava.rpt", u""),
        Printed(
            Texts(DocumentKind::SupplierReturn, u"povratnica-dobavljacu", u"Povratnica dobavljaču",
                  u"Povratnica dobavljaču je proknjižena pod brojem ", u"povratnicu dobavljaču",
                  u"povratnice dobavljaču", u"Ne postoji proknjižena povratnica dobavljaču broj ",
                  u"Ovu", u"njenog", u"njenog"),
            u"Povratnice dobavljačima", u"pov_dob.rpt", u""),
    };
}

bool Inbound(DocumentKind kind) {
    return kind == DocumentKind::ReturnNote;
}

documents::WorkingLines Lines(Session& session, DocumentKind kind, int sessionCode) {
    return documents::WorkingLines(session.Db(), kind, sessionCode, session.activeWarehouse.code,
                                   session.businessYear);
}

void RequireAllowed(Session& session, DocumentKind kind) {
    if (kind == DocumentKind::CommissionReturn && !session.warehouseFlags.commission) {
        throw UserError(CommissionOnlyMessage());
    }
}

}  // namespace

const std::vector<IssueDocumentTexts>& IssueDocuments() {
    static const std::vector<IssueDocumentTexts> all = Build();
    return all;
}

const IssueDocumentTexts& IssueDocument(DocumentKind kind) {
    for (const IssueDocumentTexts& t : IssueDocuments()) {
        if (t.kind == kind) {
            return t;
        }
    }
    throw std::logic_error("not one of the five issue documents");
}

QString BelowZeroMessage() {
    return QStringLiteral("Količina artikla bi pala ispod nule.");
}

QString ReturnNoteBelowZeroRefusal() {
    return QStringLiteral(
        "Ovu povratnicu nemožete izbrisati jer bi količina na skladištu nekog "
        "artikla iz povratnice pala ispod nule.");
}

QString CommissionOnlyMessage() {
    return QStringLiteral("Odjava se radi samo na komisijskom skladištu.");
}

QString NoIssueLinesMessage() {
    return QStringLiteral("Dokument nema niti jedne stavke !");
}

qint64 AddIssueLine(Session& session, DocumentKind kind, int sessionCode,
                    const IssueLineEntry& entry) {
    IssueDocument(kind);
    RequireAllowed(session, kind);
    Database& db = session.Db();
    limits::RequireNumber(entry.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    const double quantity = RoundQuantity(entry.quantity);
    if (quantity == 0 || (quantity < 0 && !Inbound(kind))) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    std::optional<int> lot = entry.lot;
    if (!lot) {
        lot = stock::DefaultLot(db, w, y, entry.article, quantity);
    }
    if (!lot) {
        throw UserError(stock::InsufficientQuantityMessage(stock::ArticleName(db, entry.article)));
    }
    const std::optional<stock::Lot> found = stock::FindLot(db, {w, y, *lot, entry.article});
    if (!found) {
        throw UserError(stock::MissingLotMessage(stock::ArticleName(db, entry.article)));
    }
    // A negative return takes goods out: only what is free may go (other sessions hold the rest).
    if (Inbound(kind) && RoundQuantity(found->freeQuantity + quantity) < 0) {
        throw UserError(BelowZeroMessage());
    }
    documents::DocumentLine line;
    line.article = entry.article;
    line.lot = *lot;
    line.quantity = quantity;
    line.other = {{QStringLiteral("NABAVNA_CIJENA"), found->costPrice},
                  {QStringLiteral("NABAVNA_VRIJEDNOST"), quantity * found->costPrice},
                  {QStringLiteral("CIJENA"), found->sellingPrice},
                  {QStringLiteral("VRIJEDNOST"), quantity * found->sellingPrice}};
    const qint64 id = Lines(session, kind, sessionCode).Add(line);
    transaction.Commit();
    return id;
}

void RemoveIssueLine(Session& session, DocumentKind kind, int sessionCode, qint64 id) {
    Lines(session, kind, sessionCode).Remove(id);
}

void ClearWorkingIssueDocument(Session& session, DocumentKind kind, int sessionCode) {
    Transaction transaction(session.Db());
    documents::WorkingLines lines = Lines(session, kind, sessionCode);
    for (const documents::DocumentLine& line : lines.List()) {
        lines.Remove(line.id);
    }
    transaction.Commit();
}

int PostWorkingIssueDocument(Session& session, DocumentKind kind, const IssueHeaderData& header,
                             int sessionCode) {
    IssueDocument(kind);
    RequireAllowed(session, kind);
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    limits::RequireDocumentDate(header.date, y, QStringLiteral("Datum"));
    if (const std::optional<QString> bad =
            limits::CheckText(header.description, QStringLiteral("Opis"), true)) {
        throw UserError(*bad);
    }
    Transaction transaction(db);
    documents::WorkingLines working = Lines(session, kind, sessionCode);
    const std::vector<documents::DocumentLine> rows = working.List({QStringLiteral("CIJENA")});
    // An empty document would take a trade-book position and a number for nothing.
    if (rows.empty()) {
        throw UserError(NoIssueLinesMessage());
    }
    documents::Columns more{{QStringLiteral("OPIS"), header.description}};
    if (kind == DocumentKind::SupplierReturn) {
        if (!header.supplier ||
            !db.Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"SIFRA\" = ? AND "
                                      "\"Dobavljac\" = TRUE"),
                       {*header.supplier})
                 .isValid()) {
            throw UserError(QStringLiteral("Nije izabran dobavljač !"));
        }
        more.emplace_back(QStringLiteral("SIFRA_DOBAVLJACA"), *header.supplier);
    }
    documents::DocumentKey key{kind, w, std::nullopt, y, header.number};
    if (header.number <= 0 || numbering::DocumentExists(db, kind, w, y, header.number)) {
        key = documents::NewDocumentKey(db, kind, w, y);
    }
    documents::IssuePosting posting(session, key);
    posting.WriteHeader(header.date, more);
    for (const documents::DocumentLine& row : rows) {
        const QVariant entered = documents::ValueOf(row.other, QStringLiteral("CIJENA"));
        limits::RequireNumber(row.quantity, limits::NumberKind::Quantity,
                              QStringLiteral("Količina"));
        const documents::TakenLine taken = posting.Take(
            {row.article, row.quantity, row.lot},
            entered.isNull() ? std::nullopt : std::optional<double>(entered.toDouble()));
        if (Inbound(kind)) {
            // A return puts goods back, so the lot's own quantity is what may not fall below 0.
            const std::optional<stock::Lot> lot =
                stock::FindLot(db, {w, y, taken.lot, taken.article});
            if (!lot || RoundQuantity(lot->quantity) < 0 || RoundQuantity(lot->freeQuantity) < 0) {
                throw UserError(
                    stock::InsufficientQuantityMessage(stock::ArticleName(db, taken.article)));
            }
            if (!QuantitiesEqual(lot->sellingPrice, entered.toDouble())) {
                throw UserError(stock::ChangedPriceMessage(stock::ArticleName(db, taken.article)));
            }
        }
        posting.WriteLine(taken);
    }
    // The reservations of the working lines became the take: the rows go without releasing.
    db.Exec(QStringLiteral("DELETE FROM ") + Q(working.Table()) +
                QStringLiteral(" WHERE \"Multiuser_sifra\" = ?"),
            {sessionCode});
    workingcopy::FillMissingTaxGroups(db, Info(kind).lines.front());
    posting.Finish(posting.StockEntry(header.date));
    transaction.Commit();
    return key.number;
}

namespace {

struct PostedLine {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;
};

struct PostedDocument {
    int position = 0;
    std::vector<PostedLine> lines;
};

PostedDocument Read(Session& session, DocumentKind kind, int number) {
    Database& db = session.Db();
    const stock::CostFamily& family = documents::CostFamilyOf(kind);
    const documents::DocumentKey key{kind, session.activeWarehouse.code, std::nullopt,
                                     session.businessYear, number};
    const QVariant position = db.Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM ") +
                                            Q(family.headerTable) + key.Where(family.headerNumber),
                                        key.WhereValues());
    if (!position.isValid()) {
        throw UserError(IssueDocument(kind).noSuchDocument + QString::number(number));
    }
    PostedDocument d;
    d.position = position.toInt();
    Statement rows = db.Prepare(QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
                                               "\"KOLICINA\", \"NABAVNA_CIJENA\", \"CIJENA\" "
                                               "FROM ") +
                                Q(family.lineTable) + key.Where(family.lineNumber));
    rows.Exec(key.WhereValues());
    while (rows.Next()) {
        d.lines.push_back(
            {rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3), rows.Double(4)});
    }
    return d;
}

void Guard(Session& session, DocumentKind kind, const PostedDocument& d) {
    Database& db = session.Db();
    const IssueDocumentTexts& texts = IssueDocument(kind);
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    for (const PostedLine& line : d.lines) {
        if (LaterPriceChange(db, w, y, line.article, line.lot, d.position)) {
            throw UserError(texts.priceChangeGuard);
        }
    }
    for (const PostedLine& line : d.lines) {
        if (LaterStockCount(db, w, y, line.article, line.lot, d.position)) {
            throw UserError(texts.stockCountGuard);
        }
    }
    for (const PostedLine& line : d.lines) {
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, line.lot, line.article});
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        // A pooled lot's cost moves with every receipt and is recomputed after the deletion; a
        // FIFO lot's must still be the line's.
        const bool costMoved = line.lot != stock::kPooledLot &&
                               RoundQuantity(lot->costPrice) != RoundQuantity(line.cost);
        if (RoundQuantity(lot->sellingPrice) != RoundQuantity(line.price) || costMoved) {
            throw UserError(texts.samePriceGuard);
        }
        // The goods a return note brought may have gone out again (or be held by a working
        // copy): only the free quantity may come out.
        if (Inbound(kind) && RoundQuantity(lot->freeQuantity - line.quantity) < 0) {
            throw UserError(ReturnNoteBelowZeroRefusal());
        }
    }
}

}  // namespace

void CheckIssueDocumentCanBeDeleted(Session& session, DocumentKind kind, int number) {
    Guard(session, kind, Read(session, kind, number));
}

void DeleteIssueDocument(Session& session, DocumentKind kind, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const PostedDocument d = Read(session, kind, number);
    Guard(session, kind, d);
    std::set<int> pooled;
    for (const PostedLine& line : d.lines) {
        const stock::LotKey key{w, y, line.lot, line.article};
        if (Inbound(kind)) {
            stock::ReserveFromLot(db, key, line.quantity);
            stock::TakeFromLot(db, key, line.quantity);
        } else {
            stock::ReturnToLot(db, key, line.quantity);
        }
        if (line.lot == stock::kPooledLot) {
            pooled.insert(line.article);
        }
    }
    const stock::CostFamily& family = documents::CostFamilyOf(kind);
    const documents::DocumentKey key{kind, w, std::nullopt, y, number};
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, family.tradeBookType, y,
                                   number);
    db.Exec(QStringLiteral("DELETE FROM ") + Q(family.lineTable) + key.Where(family.lineNumber),
            key.WhereValues());
    db.Exec(QStringLiteral("DELETE FROM ") + Q(family.headerTable) + key.Where(family.headerNumber),
            key.WhereValues());
    for (int article : pooled) {
        stock::RecomputeAverageCost(db, w, y, article, d.position);
    }
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

bool DeleteIssueDocument(Session& session, Prompter& prompter, DocumentKind kind, int number) {
    CheckIssueDocumentCanBeDeleted(session, kind, number);
    if (!prompter.AskYesNo(IssueDocument(kind).deleteQuestion, QStringLiteral("Brisanje"), false)) {
        return false;
    }
    DeleteIssueDocument(session, kind, number);
    return true;
}

}  // namespace zodra::stockdocs

#include "sales/OutgoingRemoval.h"

#include <optional>
#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "sales/OutgoingPostingSteps.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/PriceChangeWriter.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

struct PostedNote {
    std::optional<int> position;  // RBR_TK
    std::optional<int> priceChange;
    bool billed = false;
};

struct NoteArticle {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double leftAt = 0;
};

const QString kNoteKey =
    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_OTPREMNICE\" = ?");

std::optional<PostedNote> ReadNote(Database& db, int w, int y, int number) {
    Statement row =
        db.Prepare(QStringLiteral("SELECT \"RBR_TK\", \"IZMJENA_CIJENA\", \"BROJ_RACUNA\" FROM "
                                  "\"OTPREMNICE\"") +
                   kNoteKey);
    row.Exec({w, y, number});
    if (!row.Next()) {
        return std::nullopt;
    }
    PostedNote note;
    if (!row.IsNull(0)) {
        note.position = row.Int(0);
    }
    if (!row.IsNull(1)) {
        note.priceChange = row.Int(1);
    }
    note.billed = !row.IsNull(2);
    return note;
}

std::vector<NoteArticle> NoteArticles(Database& db, int w, int y, int number) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                       "COALESCE(\"CIJENA_SKLADISTA\", \"CIJENA_\") FROM \"STAVKE_OTPREMNICA\"") +
        kNoteKey + QStringLiteral(" AND \"TIP_STAVKE\" = 'ART' ORDER BY \"RBR_STAVKE\""));
    rows.Exec({w, y, number});
    std::vector<NoteArticle> lines;
    while (rows.Next()) {
        lines.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3)});
    }
    return lines;
}

PostedNote RequireNote(Database& db, int w, int y, int number) {
    const std::optional<PostedNote> note = ReadNote(db, w, y, number);
    if (!note) {
        throw UserError(NoSuchOutgoingMessage(DeliveryNoteDocument(), number));
    }
    if (note->billed) {
        throw UserError(BilledDeliveryNoteMessage());
    }
    return *note;
}

void CheckNoteLots(Database& db, int w, int y, const PostedNote& note,
                   const std::vector<NoteArticle>& lines) {
    std::set<std::pair<int, int>> repriced;
    if (note.priceChange) {
        for (const steps::OldPrice& p : steps::PriceChangeOldPrices(db, w, y, *note.priceChange)) {
            repriced.insert({p.lot.lot, p.lot.article});
        }
    }
    for (const NoteArticle& line : lines) {
        const QString name = stock::ArticleName(db, line.article);
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, line.lot, line.article});
        if (!lot) {
            throw UserError(stock::MissingLotMessage(name));
        }
        if (!QuantitiesEqual(lot->sellingPrice, line.leftAt)) {
            throw UserError(QStringLiteral("Ovu otpremnicu nemožete izbrisati jer artikal '") +
                            name + QStringLiteral("' više nema istu cijenu na skladištu."));
        }
        if (repriced.count({line.lot, line.article}) > 0 && note.position &&
            !QuantitiesEqual(
                lot->quantity,
                sqlvalue::ToDouble(db.Scalar(
                    QStringLiteral("SELECT SUM(\"KOLIČINA ULAZ\" - \"KOLIČINA IZLAZ\") FROM "
                                   "\"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
                                   "? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = ? AND \"RBR\" <= "
                                   "?"),
                    {w, y, line.article, line.lot, *note.position})))) {
            throw UserError(
                QStringLiteral("Ovu otpremnicu nemožete izbrisati jer su na artiklu '") + name +
                QStringLiteral("' nakon otpremnice rađeni drugi dokumenti."));
        }
    }
}

void RequireQuotation(Database& db, const OutgoingDocument& document, int w, int book, int y,
                      int number) {
    if (!numbering::DocumentExists(db, document.documentKind, w, y, number, book)) {
        throw UserError(NoSuchOutgoingMessage(document, number));
    }
}

void DeleteNote(Session& session, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const PostedNote note = RequireNote(db, w, y, number);
    const std::vector<NoteArticle> lines = NoteArticles(db, w, y, number);
    CheckNoteLots(db, w, y, note, lines);
    std::set<int> pooled;
    std::optional<int> from = note.position;
    for (const NoteArticle& line : lines) {
        stock::ReturnToLot(db, {w, y, line.lot, line.article}, line.quantity);
        if (line.lot == stock::kPooledLot) {
            pooled.insert(line.article);
        }
    }
    if (note.priceChange) {
        if (const std::optional<int> changed =
                steps::DeleteGeneratedPriceChange(db, w, y, *note.priceChange)) {
            from = *changed;
        }
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, QStringLiteral("OTPREMNICA"),
                                   y, number, false);
    tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, w, y);
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_OTPREMNICA\"") + kNoteKey, {w, y, number});
    db.Exec(QStringLiteral("DELETE FROM \"OTPREMNICE\"") + kNoteKey, {w, y, number});
    for (int article : pooled) {
        stock::RecomputeAverageCost(db, w, y, article, from.value_or(0));
    }
    stock::CheckStockAgainstCard(session);
}

}  // namespace

QString OutgoingDeleteQuestion(const OutgoingDocument& document) {
    switch (document.kind) {
        case OutgoingKind::Offer:
            return QStringLiteral("Želite li izbrisati ponudu!");
        case OutgoingKind::ProForma:
            return QStringLiteral("Želite li izbrisati predračun!");
        case OutgoingKind::DeliveryNote:
            return QStringLiteral("Želite li izbrisati otpremnicu!");
        case OutgoingKind::Invoice:
            break;
    }
    return QStringLiteral("Želite li izbrisati račun!");
}

QString OutgoingDeleteTitle(const OutgoingDocument& document) {
    switch (document.kind) {
        case OutgoingKind::DeliveryNote:
            return QStringLiteral("Brisanje otpremnice");
        case OutgoingKind::Invoice:
            return QStringLiteral("Brisanje računa");
        default:
            break;
    }
    return QStringLiteral("Brisanje");
}

QString NoSuchOutgoingMessage(const OutgoingDocument& document, int number) {
    QString text;
    switch (document.kind) {
        case OutgoingKind::Offer:
            text = QStringLiteral("Ne postoji proknjižena ponuda broj ");
            break;
        case OutgoingKind::ProForma:
            text = QStringLiteral("Ne postoji proknjiženi predračun broj ");
            break;
        case OutgoingKind::DeliveryNote:
            text = QStringLiteral("Ne postoji proknjižena otpremnica broj ");
            break;
        case OutgoingKind::Invoice:
            text = QStringLiteral("Ne postoji proknjiženi račun broj ");
            break;
    }
    return text + QString::number(number);
}

QString BilledDeliveryNoteMessage() {
    return QStringLiteral("Ovu otpremnicu nemožete izbrisati jer iz nje već napravljen račun.");
}

void CheckOutgoingCanBeDeleted(Session& session, const OutgoingDocument& document, int book,
                               int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (document.kind == OutgoingKind::DeliveryNote) {
        const PostedNote note = RequireNote(db, w, y, number);
        CheckNoteLots(db, w, y, note, NoteArticles(db, w, y, number));
        return;
    }
    RequireQuotation(db, document, w, book, y, number);
}

void DeleteOutgoing(Session& session, const OutgoingDocument& document, int book, int number) {
    Q_ASSERT(document.kind != OutgoingKind::Invoice);  // invoices: DeleteInvoice
    Database& db = session.Db();
    Transaction transaction(db);
    if (document.kind == OutgoingKind::DeliveryNote) {
        DeleteNote(session, number);
    } else {
        const int w = session.activeWarehouse.code;
        const int y = session.businessYear;
        RequireQuotation(db, document, w, book, y, number);
        const DocumentKindInfo& info = Info(document.documentKind);
        db.Exec(QStringLiteral("DELETE FROM \"") + info.lines.front().lineTable +
                    QStringLiteral("\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = "
                                   "? AND \"BROJ_RACUNA\" = ?"),
                {w, book, y, number});
        db.Exec(QStringLiteral("DELETE FROM \"") + info.headerTable +
                    QStringLiteral("\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = "
                                   "? AND \"BROJ RACUNA\" = ?"),
                {w, book, y, number});
    }
    transaction.Commit();
}

bool DeleteOutgoing(Session& session, Prompter& prompter, const OutgoingDocument& document,
                    int book, int number) {
    CheckOutgoingCanBeDeleted(session, document, book, number);
    if (!prompter.AskYesNo(OutgoingDeleteQuestion(document), OutgoingDeleteTitle(document),
                           false)) {
        return false;
    }
    DeleteOutgoing(session, document, book, number);
    return true;
}

}  // namespace zodra::sales

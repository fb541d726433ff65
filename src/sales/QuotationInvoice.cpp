#include "sales/QuotationInvoice.h"

#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "sales/OutgoingRemoval.h"
#include "stock/Lots.h"

namespace zodra::sales {

namespace {

const QString kKey = QStringLiteral(
    " WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ?");

const QStringList& CopiedColumns() {
    static const QStringList columns = {QStringLiteral("TIP_STAVKE"),
                                        QStringLiteral("SIFRA"),
                                        QStringLiteral("BROJ_PRIMKE"),
                                        QStringLiteral("KOLICINA"),
                                        QStringLiteral("NABAVNA_CIJENA"),
                                        QStringLiteral("NABAVNA_VRIJEDNOST"),
                                        QStringLiteral("RUC_%"),
                                        QStringLiteral("RUC_IZNOS"),
                                        QStringLiteral("CIJENA_BEZ_RABATA"),
                                        QStringLiteral("VRIJEDNOST_BEZ_RABATA"),
                                        QStringLiteral("RABAT_%"),
                                        QStringLiteral("RABAT_IZNOS"),
                                        QStringLiteral("CIJENA_"),
                                        QStringLiteral("VRIJEDNOST_"),
                                        QStringLiteral("GRUPA_POREZA"),
                                        QStringLiteral("POREZ_%"),
                                        QStringLiteral("POREZ_IZNOS"),
                                        QStringLiteral("UKUPNO_"),
                                        QStringLiteral("TIP_OPOREZIVANJA"),
                                        QStringLiteral("OPIS"),
                                        QStringLiteral("RBR_STAVKE")};
    return columns;
}

QString Quoted(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names) {
        quoted << QLatin1Char('"') + n + QLatin1Char('"');
    }
    return quoted.join(QStringLiteral(", "));
}

void Copy(Session& session, const OutgoingDocument& document, int book, int number,
          InvoiceDraft& draft) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const DocumentKindInfo& info = Info(document.documentKind);
    Statement head = db.Prepare(
        QStringLiteral("SELECT \"SIFRA PARTNERA\", \"UVJET PRODAJE\" FROM \"") + info.headerTable +
        QStringLiteral("\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                       "\"GODINA\" = ? AND \"BROJ RACUNA\" = ?"));
    head.Exec({w, book, y, number});
    if (!head.Next()) {
        throw UserError(NoSuchOutgoingMessage(document, number));
    }
    draft.customer = head.Int(0);
    draft.salesTerms = head.Int(1);
    draft.book = book;
    head.Finish();
    if (sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM "
                                                 "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                 "\"Multiuser_sifra\" = ?"),
                                  {draft.sessionCode})) > 0) {
        throw UserError(QStringLiteral("Račun već ima upisanih stavki."));
    }
    const QStringList& columns = CopiedColumns();
    Statement lines =
        db.Prepare(QStringLiteral("SELECT ") + Quoted(columns) + QStringLiteral(" FROM \"") +
                   info.lines.front().lineTable + QStringLiteral("\"") + kKey +
                   QStringLiteral(" ORDER BY \"RBR_STAVKE\""));
    lines.Exec({w, book, y, number});
    std::vector<QVariantList> rows;
    while (lines.Next()) {
        QVariantList row;
        for (int i = 0; i < columns.size(); ++i) {
            row << lines.Value(i);
        }
        rows.push_back(row);
    }
    lines.Finish();
    QStringList marks;
    for (int i = 0; i < columns.size() + 4; ++i) {
        marks << QStringLiteral("?");
    }
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", "
                       "\"GODINA\", \"Multiuser_sifra\", ") +
        Quoted(columns) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
        QStringLiteral(")"));
    const int kind = 0, code = 1, lotColumn = 2, quantity = 3, cost = 4, costValue = 5,
              marginPercent = 6, margin = 7, value = 13;
    for (QVariantList& row : rows) {
        if (row[kind].toString() == QLatin1String("ART")) {
            const int article = row[code].toInt();
            std::optional<int> lot;
            if (!row[lotColumn].isNull() && stock::FindLot(db, {draft.warehouse, draft.year,
                                                                row[lotColumn].toInt(), article})) {
                lot = row[lotColumn].toInt();
            } else {
                lot = stock::DefaultLot(db, draft.warehouse, draft.year, article,
                                        row[quantity].toDouble());
            }
            if (lot) {
                const std::optional<stock::Lot> found =
                    stock::FindLot(db, {draft.warehouse, draft.year, *lot, article});
                const double q = row[quantity].toDouble();
                const double c = found->costPrice;
                const double cv = q * c;
                const double v = row[value].toDouble();
                row[lotColumn] = *lot;
                row[cost] = c;
                row[costValue] = cv;
                row[margin] = v - cv;
                row[marginPercent] = cv != 0 ? (v / cv - 1) * 100 : 0.0;
                stock::ReserveFromLot(db, {draft.warehouse, draft.year, *lot, article}, q);
            }
        }
        QVariantList values{draft.warehouse, book, draft.year, draft.sessionCode};
        values += row;
        insert.Exec(values);
    }
}

}  // namespace

QString RealizeOfferQuestion() {
    return QStringLiteral("Želite li ponudu označiti kao realiziranu!");
}
QString RealizeOfferTitle() {
    return QStringLiteral("Realizacija ponude");
}
QString RealizedText() {
    return QStringLiteral("Realizirano");
}

void MarkOfferRealized(Session& session, int book, int number) {
    Database& db = session.Db();
    Transaction transaction(db);
    const int changed =
        db.Exec(QStringLiteral("UPDATE \"PONUDE\" SET \"STORNO\" = TRUE WHERE \"SKLADISTE\" = ? "
                               "AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
                {session.activeWarehouse.code, book, session.businessYear, number});
    if (changed == 0) {
        throw UserError(NoSuchOutgoingMessage(OfferDocument(), number));
    }
    transaction.Commit();
}

void CopyIntoInvoice(Session& session, const OutgoingDocument& document, int book, int number,
                     InvoiceDraft& draft) {
    Transaction transaction(session.Db());
    InvoiceDraft copy = draft;
    Copy(session, document, book, number, copy);
    transaction.Commit();
    draft = copy;
}

void MakeInvoiceFrom(Session& session, Prompter& prompter, const OutgoingDocument& document,
                     int book, int number, InvoiceDraft& draft) {
    if (!numbering::DocumentExists(session.Db(), document.documentKind,
                                   session.activeWarehouse.code, session.businessYear, number,
                                   book)) {
        throw UserError(NoSuchOutgoingMessage(document, number));
    }
    const bool realize = document.kind == OutgoingKind::Offer &&
                         prompter.AskYesNo(RealizeOfferQuestion(), RealizeOfferTitle(), false);
    Transaction transaction(session.Db());
    InvoiceDraft copy = draft;
    Copy(session, document, book, number, copy);
    if (realize) {
        session.Db().Exec(
            QStringLiteral("UPDATE \"PONUDE\" SET \"STORNO\" = TRUE WHERE \"SKLADISTE\" = ? AND "
                           "\"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            {session.activeWarehouse.code, book, session.businessYear, number});
    }
    transaction.Commit();
    draft = copy;
}

}  // namespace zodra::sales

#include "purchasing/ReceiptRemoval.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptRow.h"
#include "stock/ReceiptGuards.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"

namespace zodra::purchasing {

QString DeleteQuestion() {
    return QStringLiteral("Želite li izbrisati primku!");
}

QString DeleteTitle() {
    return QStringLiteral("Brisanje primke");
}

QString CancelQuestion() {
    return QStringLiteral("Želite li stornirati primku!");
}

QString KeepPricesQuestion() {
    return QStringLiteral("Želite li zadržati trenutne prodajne cijene!");
}

QString CancelledMessage(int number) {
    return QStringLiteral("Storno primke je proknjižen pod brojem ") + QString::number(number);
}

namespace {

PostedReceipt Require(Session& session, int number) {
    std::optional<PostedReceipt> r =
        ReadPostedReceipt(session.Db(), session.activeWarehouse.code, session.businessYear, number);
    if (!r) {
        throw UserError(NoSuchReceiptMessage(number));
    }
    return *r;
}

QString AlreadyCancelled(int number, int by) {
    return QStringLiteral("Primka broj ") + QString::number(number) +
           QStringLiteral(" je već stornirana storno primkom broj ") + QString::number(by) +
           QStringLiteral(" !");
}

}  // namespace

void DeleteReceipt(Session& session, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const PostedReceipt receipt = Require(session, number);
    if (receipt.cancelledBy) {
        throw UserError(stock::CancelledReceiptRefusal(*receipt.cancelledBy));
    }
    stock::DeletePostedReceipt(db, {w, y, number});
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

void CheckCanBeCancelled(Session& session, int number) {
    const PostedReceipt receipt = Require(session, number);
    if (receipt.cancels) {
        throw UserError(QStringLiteral("Primka broj ") + QString::number(number) +
                        QStringLiteral(" je storno primke broj ") +
                        QString::number(*receipt.cancels) +
                        QStringLiteral(" i ne može se stornirati !"));
    }
    if (receipt.cancelledBy) {
        throw UserError(AlreadyCancelled(number, *receipt.cancelledBy));
    }
}

int CancelReceipt(Session& session, Prompter& prompter, int number, const QDate& date) {
    CheckCanBeCancelled(session, number);
    const PostedReceipt before = Require(session, number);
    const bool keepPrices =
        before.method == StockMethod::LastPrice &&
        prompter.AskYesNo(KeepPricesQuestion(), QStringLiteral("Storno primke"), false);

    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    // Read again inside the transaction: another workstation may have cancelled it meanwhile.
    CheckCanBeCancelled(session, number);
    const PostedReceipt receipt = Require(session, number);
    const ReceiptSummary summary = PostedSummary(db, w, y, number);

    // The negated lines go through a working copy of their own, so that a receipt the user
    // has open in the receipt window is never mixed into the cancellation.
    const int code = workingcopy::AllocateSessionCode(db);
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", "
                           "\"GODINA\", \"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", ") +
                ReceiptRow::Columns() +
                QStringLiteral(", \"Multiuser_sifra\") SELECT \"SKLADISTE\", \"GODINA\", 0, "
                               "\"TIP_STAVKE\", \"SIFRA\", ") +
                ReceiptRow::Columns() +
                QStringLiteral(", ? FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
            {code, w, y, number});
    db.Exec(QStringLiteral(
                "UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"KOLICINA\" = -\"KOLICINA\", "
                "\"FAKTURNA_VRIJEDNOST\" = -\"FAKTURNA_VRIJEDNOST\", \"RABAT_IZNOS\" = "
                "-\"RABAT_IZNOS\", \"NETTO_FAKTURNA_VRIJEDNOST\" = -\"NETTO_FAKTURNA_VRIJEDNOST\", "
                "\"CARINA_IZNOS\" = -\"CARINA_IZNOS\", \"SPEDICIJA_IZNOS\" = -\"SPEDICIJA_IZNOS\", "
                "\"ZTR_IZNOS\" = -\"ZTR_IZNOS\", \"NABAVNA_VRIJEDNOST\" = -\"NABAVNA_VRIJEDNOST\", "
                "\"RUC_IZNOS\" = -\"RUC_IZNOS\", \"VRIJEDNOST\" = -\"VRIJEDNOST\" WHERE "
                "\"Multiuser_sifra\" = ?"),
            {code});
    if (keepPrices) {
        db.Exec(
            QStringLiteral(
                "UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"CIJENA\" = (SELECT "
                "n.\"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" n WHERE n.\"SKLADISTE\" = "
                "\"STAVKE_PRIMKE_PRIVREMENO\".\"SKLADISTE\" AND n.\"GODINA\" = "
                "\"STAVKE_PRIMKE_PRIVREMENO\".\"GODINA\" AND n.\"BROJ_PRIMKE\" = 0 AND "
                "n.\"SIFRA_ARTIKLA\" = \"STAVKE_PRIMKE_PRIVREMENO\".\"SIFRA\") WHERE "
                "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'ART' AND EXISTS (SELECT 1 FROM "
                "\"NABAVE\" n WHERE n.\"SKLADISTE\" = \"STAVKE_PRIMKE_PRIVREMENO\".\"SKLADISTE\" "
                "AND n.\"GODINA\" = \"STAVKE_PRIMKE_PRIVREMENO\".\"GODINA\" AND "
                "n.\"BROJ_PRIMKE\" = 0 AND n.\"SIFRA_ARTIKLA\" = "
                "\"STAVKE_PRIMKE_PRIVREMENO\".\"SIFRA\")"),
            {code});
        db.Exec(QStringLiteral(
                    "UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"VRIJEDNOST\" = \"KOLICINA\" * "
                    "\"CIJENA\", \"RUC_IZNOS\" = \"KOLICINA\" * \"CIJENA\" - "
                    "\"NABAVNA_VRIJEDNOST\", \"RUC_%\" = CASE WHEN ROUND(\"NABAVNA_VRIJEDNOST\", "
                    "10) <> 0 THEN ((\"KOLICINA\" * \"CIJENA\" - \"NABAVNA_VRIJEDNOST\") / "
                    "\"NABAVNA_VRIJEDNOST\") * 100 ELSE 0 END WHERE \"Multiuser_sifra\" = ? AND "
                    "\"TIP_STAVKE\" = 'ART'"),
                {code});
    }
    ReceiptHeaderData header;
    header.number = 0;  // the next number of the receipt's type
    header.date = date.isValid() ? date : QDate::currentDate();
    header.supplier = receipt.header.supplier;
    header.supplierDocument = QStringLiteral("Storno primke ") + QString::number(number) +
                              QLatin1Char('-') + receipt.header.supplierDocument;
    header.supplierDocumentDate = receipt.header.supplierDocumentDate;
    header.type = receipt.header.type;
    PostingExtras extras;
    extras.currency = summary.currency;
    extras.rateDate = summary.IsForeign() ? summary.rateDate : QDate();
    extras.cancels = number;
    const int cancellation = PostWorkingReceipt(session, header, receipt.method, code, extras);
    workingcopy::ReleaseSessionCodes(db, {code});
    transaction.Commit();
    return cancellation;
}

}  // namespace zodra::purchasing

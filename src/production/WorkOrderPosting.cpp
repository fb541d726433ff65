#include "production/WorkOrderPosting.h"

#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/StockMethod.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "documents/TransferPosting.h"
#include "documents/WorkingLines.h"
#include "production/WorkOrderParts.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/NumberText.h"
#include "stock/ReceiptGuards.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/LaterStockEvents.h"

namespace zodra::production {

namespace {

// The receipt's line columns, the same in the working copy and in STAVKE_PRIMKI.
const QString kReceiptColumns = QStringLiteral(
    "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", \"FAKTURNA_VRIJEDNOST\", "
    "\"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", \"NETTO_FAKTURNA_VRIJEDNOST\", "
    "\"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", \"SPEDICIJA_IZNOS\", \"ZTR_%\", "
    "\"ZTR_IZNOS\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
    "\"CIJENA\", \"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\"");

QString WarehouseName(Database& db, int warehouse) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                {warehouse})
        .toString();
}

void CheckHeader(Session& session, const WorkOrderHeader& header) {
    limits::RequireDocumentDate(header.date, session.businessYear, QStringLiteral("Datum"));
    if (const std::optional<QString> bad =
            limits::CheckText(header.description, QStringLiteral("Opis"), true)) {
        throw UserError(*bad);
    }
    if (header.destination <= 0 ||
        !session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                     {header.destination})
             .isValid()) {
        throw UserError(documents::NoDestinationMessage());
    }
}

// The generated receipt of the products in the destination warehouse; returns its number.
int WriteReceipt(Session& session, const WorkOrderCodes& codes, const WorkOrderHeader& header,
                 int number) {
    Database& db = session.Db();
    const int y = session.businessYear;
    const int destination = header.destination;
    const int receipt = numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, destination,
                                                      y, numbering::kReceiptProduction);
    const int position = tradebook::NextBookNumber(db, tradebook::Book::Wholesale, destination, y);
    db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"DOKUMENT DOBAVLJACA\", \"DATUM DOKUMENTA DOBAVLJACA\", "
                           "\"RBR_TK\", \"SkladisnaMetoda\", \"VALUTA\", \"DATUM_VALUTE\", "
                           "\"TIP_PRIMKE\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?)"),
            {destination, y, receipt, header.date,
             QStringLiteral("Radni nalog br. ") + QString::number(number) +
                 QStringLiteral("/Skladište:") + WarehouseName(db, session.activeWarehouse.code),
             header.date, position, StockMethodText(session.stockMethod), header.date,
             numbering::kReceiptProduction});
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_PRIMKE\", ") +
                kReceiptColumns + QStringLiteral(") SELECT ?, ?, ?, ") + kReceiptColumns +
                QStringLiteral(" FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? "
                               "ORDER BY \"RBR_STAVKE\""),
            {destination, y, receipt, codes.products});
    const double value =
        db.Scalar(QStringLiteral("SELECT SUM(\"VRIJEDNOST\") FROM \"STAVKE_PRIMKI\" WHERE "
                                 "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
                  {destination, y, receipt})
            .toDouble();
    db.Exec(
        QStringLiteral("DELETE FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
        {codes.products});
    tradebook::Entry entry;
    entry.warehouse = destination;
    entry.year = y;
    entry.type = QStringLiteral("PRIMKA");
    entry.documentNumber = receipt;
    entry.date = header.date;
    entry.description = QStringLiteral("PRIMKA-RAD.NALOG ") + QString::number(number);
    entry.purchaseValue = RoundMoney(value);
    tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry, position);
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::GoodsReceipt).lines.front());
    stock::PostReceiptIntoLots(db, {destination, y, receipt});
    return receipt;
}

}  // namespace

QString PostedMessage(int number) {
    return QStringLiteral("Radni nalog je proknjižen pod brojem ") + QString::number(number);
}

PostedWorkOrder PostWorkOrderInTransaction(Session& session, const WorkOrderCodes& codes,
                                           const WorkOrderHeader& header) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    CheckHeader(session, header);
    // A work order without products would take parts for nothing, one without parts would make
    // products out of nothing.
    if (documents::WorkingLines(db, DocumentKind::WorkOrder, codes.parts, w, y).List().empty() ||
        ProductLines(session, codes).empty()) {
        throw UserError(NoLinesMessage());
    }
    documents::DocumentKey key{DocumentKind::WorkOrder, w, std::nullopt, y, header.number};
    if (header.number <= 0 ||
        numbering::DocumentExists(db, DocumentKind::WorkOrder, w, y, header.number)) {
        key = documents::NewDocumentKey(db, DocumentKind::WorkOrder, w, y);
    }
    // The receipt goes first: in the same warehouse its entry comes before the work order's.
    const int receipt = WriteReceipt(session, codes, header, key.number);
    documents::IssuePosting posting(session, key);
    const TakenParts taken =
        TakeWorkingParts(session, posting, DocumentKind::WorkOrder, codes.parts);
    posting.WriteHeader(header.date, {{QStringLiteral("OPIS"), header.description},
                                      {QStringLiteral("ODREDISNO_SKLADISTE"), header.destination},
                                      {QStringLiteral("BROJ_PRIMKE"), receipt},
                                      {QStringLiteral("NABAVNA_VRIJEDNOST"), taken.costValue},
                                      {QStringLiteral("PRODAJNA_VRIJEDNOST"), taken.sellingValue}});
    WriteTakenParts(session, posting, DocumentKind::WorkOrder, codes.parts, taken);
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RADNIH_NALOGA_TROSKOVI\" (\"SKLADISTE\", "
                           "\"GODINA\", \"BROJ_RADNOG_NALOGA\", \"OPIS\", \"KOLICINA\", "
                           "\"CIJENA\", \"VRIJEDNOST\", \"GOT_PR_SIFRA\") SELECT ?, ?, ?, "
                           "\"OPIS\", \"KOLICINA\", \"CIJENA\", \"VRIJEDNOST\", \"GOT_PR_SIFRA\" "
                           "FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ?"),
            {w, y, key.number, codes.parts});
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ?"),
            {codes.parts});
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::WorkOrder).lines.front());
    posting.Finish(posting.StockEntry(header.date), {header.destination});
    return {key.number, receipt};
}

PostedWorkOrder PostWorkOrder(Session& session, const WorkOrderCodes& codes,
                              const WorkOrderHeader& header) {
    Transaction transaction(session.Db());
    const PostedWorkOrder posted = PostWorkOrderInTransaction(session, codes, header);
    transaction.Commit();
    return posted;
}

stock::LotKey ProduceForSale(Session& session, int product, double quantity, double sellingPrice,
                             const QDate& date) {
    Database& db = session.Db();
    Transaction step(db);  // a savepoint inside the sale's transaction
    const WorkOrderCodes codes{workingcopy::AllocateSessionCode(db),
                               workingcopy::AllocateSessionCode(db)};
    AddProductAtPartsCost(session, codes, product, quantity, sellingPrice);
    WorkOrderHeader header;
    header.date = date;
    header.destination = session.activeWarehouse.code;
    const PostedWorkOrder posted = PostWorkOrderInTransaction(session, codes, header);
    workingcopy::ReleaseSessionCodes(db, {codes.parts, codes.products});
    step.Commit();
    return {session.activeWarehouse.code, session.businessYear,
            session.stockMethod == StockMethod::Fifo ? posted.receipt : stock::kPooledLot, product};
}

QString DeleteQuestion() {
    return QStringLiteral("Želite li izbrisati radni nalog!");
}

QString NoSuchWorkOrderMessage(int number) {
    return QStringLiteral("Ne postoji proknjiženi radni nalog broj ") + QString::number(number);
}

QString ReceiptGoneQuestion() {
    return QStringLiteral(
        "Odredišna primka je već stornirana. Želite li nastaviti sa stornom radnog naloga!");
}

QString ReceiptRefusedMessage() {
    return QStringLiteral("Zbog nemogućnosti storniranja primke storno radnog naloga je prekinut");
}

QString StockCountRefusal() {
    return QStringLiteral(
        "Ovaj radni nalog nemožete stornirati jer su na artiklima iz radnog naloga nakon njegovog "
        "knjiženja rađene inventure.");
}

namespace {

// The parts a posted work order took, and where its products went.
struct Posted : PostedParts {
    int destination = 0;
    int receipt = 0;
    bool receiptStands = false;  // there, and not cancelled by a cancelling receipt
};

Posted Read(Session& session, int number) {
    Database& db = session.Db();
    const int y = session.businessYear;
    Posted p;
    static_cast<PostedParts&>(p) = ReadPostedParts(session, OrdinaryTables(), number);
    Statement header = db.Prepare(QStringLiteral(
        "SELECT \"ODREDISNO_SKLADISTE\", \"BROJ_PRIMKE\" FROM \"RADNI_NALOZI\" "
        "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_RADNOG_NALOGA\" = ?"));
    header.Exec({session.activeWarehouse.code, y, number});
    header.Next();
    p.destination = header.Int(0);
    p.receipt = header.IsNull(1) ? 0 : header.Int(1);
    header.Finish();
    if (p.receipt != 0 && stock::ReadReceiptHeader(db, {p.destination, y, p.receipt})) {
        p.receiptStands = !stock::CancellingReceipt(db, {p.destination, y, p.receipt});
    }
    return p;
}

}  // namespace

bool CheckWorkOrderCanBeDeleted(Session& session, int number) {
    const Posted p = Read(session, number);
    GuardPostedParts(session, p);
    return p.receiptStands;
}

void DeleteWorkOrder(Session& session, int number, bool withoutReceipt) {
    Database& db = session.Db();
    const int y = session.businessYear;
    Transaction transaction(db);
    const Posted p = Read(session, number);
    GuardPostedParts(session, p);
    if (p.receiptStands) {
        try {
            stock::DeletePostedReceipt(db, {p.destination, y, p.receipt});
        } catch (const UserError& refused) {
            throw UserError(refused.message() + QLatin1Char('\n') + ReceiptRefusedMessage());
        }
    } else if (!withoutReceipt) {
        // The receipt went after the user was asked (another workstation deleted it).
        throw UserError(ReceiptRefusedMessage());
    }
    RemovePostedOrder(session, OrdinaryTables(), number, p);
    stock::CheckStockAgainstCard(session, {p.destination});
    transaction.Commit();
}

bool DeleteWorkOrder(Session& session, Prompter& prompter, int number) {
    const bool receiptStands = CheckWorkOrderCanBeDeleted(session, number);
    if (!prompter.AskYesNo(DeleteQuestion(), QStringLiteral("Brisanje"), false)) {
        return false;
    }
    if (!receiptStands &&
        !prompter.AskYesNo(ReceiptGoneQuestion(), QStringLiteral("Brisanje"), false)) {
        return false;
    }
    DeleteWorkOrder(session, number, !receiptStands);
    return true;
}

}  // namespace zodra::production

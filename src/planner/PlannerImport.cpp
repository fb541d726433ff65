#include "planner/PlannerImport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Paths.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkstationSettings.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "retail/RetailPayment.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "sales/InvoiceLines.h"

namespace zodra::planner {

namespace {

constexpr int kPendingDetailRetries = 5;
// A bill is a few kilobytes; anything this large is not one.
constexpr qint64 kMaxBillBytes = 1024 * 1024;

// Thrown inside the import when detail-file changes of an earlier posting wait to be applied:
// the import is rolled back, they are applied outside any transaction, and it runs again.
struct PendingDetail {};

// The partner of the client's exact name, else a new customer from the bill (paid at once: no
// payment delay).
int ClientPartner(Database& db, const PlannerBill& bill, bool* added) {
    const QVariant found =
        db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                  {bill.clientName});
    if (!found.isNull() && found.isValid()) {
        return sqlvalue::ToInt(found);
    }
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\", \"MJESTO\", \"TELEFON\", "
                       "\"RABAT\", \"ODGODA\", \"Kupac\", \"Dobavljac\", \"CJENIK\") VALUES (?, ?, "
                       "?, ?, 0, 0, TRUE, FALSE, 0)"));
    insert.Exec({bill.clientName, bill.address, bill.place, bill.phone});
    *added = true;
    return insert.LastInsertId().toInt();
}

// The service of that name, else a new one at the bill's price in the tax group "PDV".
int ServiceOf(Database& db, const PerformedService& s, int* added) {
    const QVariant found = db.Scalar(
        QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"USLUGE\" WHERE \"NAZIV\" = ?"), {s.name});
    if (!found.isNull() && found.isValid()) {
        return sqlvalue::ToInt(found);
    }
    const QVariant group =
        db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = ?"),
                  {QStringLiteral("PDV")});
    if (group.isNull() || !group.isValid()) {
        throw UserError(
            BillRefusal(QStringLiteral("nije upisana grupa poreza \"PDV\" za nove "
                                       "usluge")));
    }
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"GRUPA_P\", \"CIJENA\", "
                       "\"TRAJANJE_MINUTA\") VALUES (?, ?, ?, ?, 0)"));
    insert.Exec({s.name, QStringLiteral("kom"), group, s.price});
    ++*added;
    return insert.LastInsertId().toInt();
}

std::optional<int> CardTypeOf(Database& db, const PlannerBill& bill) {
    if (bill.payment != PaymentKind::Card) {
        return std::nullopt;
    }
    const QVariant found = db.Scalar(
        QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"TIPOVI_KARTICA\" WHERE \"NAZIV\" = ?"),
        {bill.cardType});
    if (found.isNull() || !found.isValid()) {
        throw UserError(BillRefusal(QStringLiteral("tip kartice \"") + bill.cardType +
                                    QStringLiteral("\" nije upisan")));
    }
    return sqlvalue::ToInt(found);
}

ImportedBill ImportOnce(Session& session, const PlannerBill& bill, const QString& identity) {
    Database& db = session.Db();
    ImportedBill result;
    Transaction transaction(db);
    // Read under the write lock: a second signal for the same bill, from any workstation, finds
    // the first one's record once it has committed.
    const QVariant earlier = db.Scalar(
        QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"PLANER_RACUNI\" WHERE \"OZNAKA\" = ?"),
        {identity});
    if (earlier.isValid() && !earlier.isNull()) {
        result.number = sqlvalue::ToInt(earlier);
        result.alreadyImported = true;
        return result;
    }
    if (session.company.sumRetailInvoices &&
        db.Scalar(QStringLiteral("SELECT 1 FROM \"DET_ODGODENO\" LIMIT 1")).isValid()) {
        throw PendingDetail{};
    }
    const int customer = ClientPartner(db, bill, &result.partnerAdded);
    const std::optional<int> cardType = CardTypeOf(db, bill);

    retail::TillSale sale = retail::OpenTillSale(session, bill.date);
    sale.draft.customer = customer;
    ScriptedPrompter merging;  // the same service again adds to its line (the default Yes)
    for (const PerformedService& s : bill.services) {
        if (s.name == sales::CashDiscountName()) {
            throw UserError(BillRefusal(QStringLiteral("usluga \"") + s.name +
                                        QStringLiteral("\" se ne zaračunava iz planera")));
        }
        sales::ServiceLineInput line;
        line.service = ServiceOf(db, s, &result.servicesAdded);
        line.quantity = 1;
        line.price = s.price;
        line.discount = s.discount;
        line.description = s.note;
        sales::AddServiceLine(session, merging, sale.draft, line);
    }
    const std::optional<retail::PostedRetailSale> posted =
        retail::PostRetailSale(session, sale, retail::ProposedRetailNumber(session, sale));
    if (!posted) {
        throw UserError(BillRefusal(QStringLiteral("nema obavljenih usluga")));
    }
    retail::RetailPaymentInput payment;
    payment.warehouse = sale.draft.warehouse;
    payment.book = retail::kRetailBook;
    payment.year = sale.draft.year;
    payment.number = posted->number;
    payment.date = bill.date;
    payment.customer = customer;
    payment.total = posted->total;
    payment.cardType = cardType;
    payment.detailed = posted->detailed;
    (bill.payment == PaymentKind::Cash     ? payment.cash
     : bill.payment == PaymentKind::Cheque ? payment.cheques
                                           : payment.card) = posted->total;
    retail::WriteRetailPayment(db, payment);
    retail::CloseTillSale(session, sale);
    db.Exec(QStringLiteral("INSERT INTO \"PLANER_RACUNI\" (\"OZNAKA\", \"SKLADISTE\", \"IRA\", "
                           "\"GODINA\", \"BROJ_RACUNA\", \"DATUM_UVOZA\") VALUES (?, ?, ?, ?, ?, "
                           "?)"),
            {identity, sale.draft.warehouse, retail::kRetailBook, sale.draft.year, posted->number,
             QDateTime::currentDateTime()});
    transaction.Commit();
    result.number = posted->number;
    result.total = posted->total;
    return result;
}

}  // namespace

QString ServerName() {
    return QStringLiteral("Zodra-MessageServer");
}

QString SignalMessage() {
    return QStringLiteral("MCL_RASPOREDIX_TO_ZODRA");
}

QString BillPath(const WorkstationSettings& settings) {
    const QString set = settings.plannerBillPath.trimmed();
    return set.isEmpty() ? paths::UserDataFolder() + QStringLiteral("/zodra_racun.xml") : set;
}

QString AlreadyImportedMessage(int number) {
    return QStringLiteral("Račun planera je već uvezen kao račun broj %1.").arg(number);
}

ImportedBill ImportPlannerBill(Session& session, const PlannerBill& bill) {
    limits::RequireDocumentDate(bill.date, session.businessYear, QStringLiteral("Datum"));
    const QString identity = BillIdentity(bill);
    for (int attempt = 0;; ++attempt) {
        try {
            const ImportedBill imported = ImportOnce(session, bill, identity);
            if (!imported.alreadyImported) {
                session.RetailCollectionsChanged(bill.date);
            }
            return imported;
        } catch (const PendingDetail&) {
            if (attempt >= kPendingDetailRetries) {
                throw UserError(
                    QStringLiteral("Detaljni računi još nisu upisani. Pokušajte ponovo."));
            }
            session.Db().ApplyPendingDetail();
        }
    }
}

ImportedBill ImportPlannerFile(Session& session, const QString& path) {
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        throw UserError(
            BillRefusal(QStringLiteral("datoteka ") + path + QStringLiteral(" ne postoji")));
    }
    if (file.size() > kMaxBillBytes || !file.open(QIODevice::ReadOnly)) {
        throw UserError(
            BillRefusal(QStringLiteral("datoteka ") + path + QStringLiteral(" nije čitljiva")));
    }
    return ImportPlannerBill(session, ParsePlannerBill(file.readAll()));
}

QString PrintPlannerReceipt(Session& session, int number) {
    const pos::InvoiceKey key{session.activeWarehouse.code, retail::kRetailBook,
                              session.businessYear, number};
    return pos::PrintReceipt(session, key, false);
}

}  // namespace zodra::planner

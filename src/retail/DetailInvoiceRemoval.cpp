#include "retail/DetailInvoiceRemoval.h"

#include <functional>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "retail/TillSale.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::retail {

namespace {

constexpr int kPendingRetries = 5;

struct Pending {};

struct DetailInvoice {
    QDate date;
    bool cancelled = false;
    bool summed = false;
};

// The invoice as the detail file holds it now, with the guards both undoings share.
DetailInvoice Require(Database& db, int w, int y, int number, const QString& summedRefusal) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"STORNO\", \"SUMARNI\" FROM \"RACUNI_DETALJNO\" WHERE \"SKLADISTE\" "
        "= ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"));
    row.Exec({w, kRetailBook, y, number});
    if (!row.Next()) {
        throw UserError(QStringLiteral("Ne postoji proknjiženi račun broj ") +
                        QString::number(number));
    }
    DetailInvoice invoice;
    invoice.date = sqlvalue::ToDate(row.Value(0));
    invoice.cancelled = row.Int(1) != 0;
    invoice.summed = row.Int(2) != 0;
    row.Finish();
    if (invoice.cancelled) {
        throw UserError(QStringLiteral("Ovaj račun je već storniran."));
    }
    if (invoice.summed) {
        throw UserError(summedRefusal);
    }
    return invoice;
}

// Runs `undo` in a company-file transaction once no detail change of another posting is
// waiting: those are applied first, and while one is pending the detail file may not show a
// summing or cancellation that already committed.
Session::RetailSaleEvent CancellationEvent(const Session& session, int number) {
    Session::RetailSaleEvent event;
    event.warehouse = session.activeWarehouse.code;
    event.book = kRetailBook;
    event.year = session.businessYear;
    event.number = number;
    event.detailed = true;
    event.cashier = session.userName;
    return event;
}

void WithDetailSettled(Database& db, const std::function<void(Transaction&)>& undo) {
    for (int attempt = 0;; ++attempt) {
        db.ApplyPendingDetail();
        try {
            Transaction transaction(db);
            if (db.Scalar(QStringLiteral("SELECT 1 FROM \"DET_ODGODENO\" LIMIT 1")).isValid()) {
                throw Pending{};
            }
            undo(transaction);
            transaction.Commit();
            return;
        } catch (const Pending&) {
        }
        if (attempt >= kPendingRetries) {
            throw UserError(QStringLiteral("Detaljni računi još nisu upisani. Pokušajte ponovo."));
        }
    }
}

}  // namespace

QString SummedCancelRefusal() {
    return QStringLiteral("Ovaj račun je već sumiran pa se ne može stornirati.");
}

QString SummedDeleteRefusal() {
    return QStringLiteral("Ovaj račun je već sumiran pa se ne može izbrisati.");
}

TableData DetailInvoiceList(Session& session, const QDate& from, const QDate& to) {
    Database& db = session.Db();
    db.ApplyPendingDetail();
    using F = TableColumn::Format;
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT R.\"BROJ RACUNA\", R.\"DATUM\", (SELECT COALESCE(SUM(S.\"UKUPNO_\"), 0) "
            "FROM \"STAVKE_RACUNA_DETALJNO\" S WHERE S.\"SKLADISTE\" = R.\"SKLADISTE\" AND "
            "S.\"IRA\" = R.\"IRA\" AND S.\"GODINA\" = R.\"GODINA\" AND S.\"BROJ_RACUNA\" = "
            "R.\"BROJ RACUNA\"), R.\"STORNO\", R.\"SUMARNI\" FROM \"RACUNI_DETALJNO\" R WHERE "
            "R.\"SKLADISTE\" = ? AND R.\"IRA\" = ? AND R.\"GODINA\" = ? AND R.\"DATUM\" "
            "BETWEEN ? AND ? ORDER BY R.\"BROJ RACUNA\""),
        {session.activeWarehouse.code, kRetailBook, session.businessYear, from, to},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Iznos"), F::Money},
         {QStringLiteral("Storniran"), F::Boolean},
         {QStringLiteral("Sumiran"), F::Boolean}});
}

void CheckDetailCanBeCancelled(Session& session, int number) {
    Require(session.Db(), session.activeWarehouse.code, session.businessYear, number,
            SummedCancelRefusal());
    sales::RefuseUnrecordedCancellation(session, kRetailBook, number, true);
}

void CheckDetailCanBeDeleted(Session& session, int number) {
    Require(session.Db(), session.activeWarehouse.code, session.businessYear, number,
            SummedDeleteRefusal());
}

QDate CheckDetailCancellationDate(Session& session, int number, const QString& typed) {
    const std::optional<QDate> date = inputrules::ParseDate(typed, QDate::currentDate());
    if (!date || limits::CheckDate(*date, QStringLiteral("Datum storna"))) {
        throw UserError(QStringLiteral("Datum storna nije ispravno upisan. Pokušajte ponovo."));
    }
    const DetailInvoice invoice = Require(session.Db(), session.activeWarehouse.code,
                                          session.businessYear, number, SummedCancelRefusal());
    if (*date < invoice.date) {
        throw UserError(
            QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
    }
    return *date;
}

void CancelDetailInvoice(Session& session, int number, const QDate& date) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    WithDetailSettled(db, [&](Transaction& transaction) {
        const DetailInvoice invoice = Require(db, w, y, number, SummedCancelRefusal());
        sales::RefuseUnrecordedCancellation(session, kRetailBook, number, true);
        if (!date.isValid() || date < invoice.date) {
            throw UserError(
                QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
        }
        const QVariantList key{w, kRetailBook, y, number};
        transaction.DeferDetail(
            QStringLiteral("INSERT INTO \"NAPLATA_DETALJNO\" (\"Skladište\", \"IRA\", \"Godina\", "
                           "\"Broj računa\", \"Tip\", \"Datum\", \"Opis dokumenta\", \"Iznos\", "
                           "\"Tip kartice\") SELECT \"Skladište\", \"IRA\", \"Godina\", \"Broj "
                           "računa\", \"Tip\", ?, 'Storno', 0 - \"Iznos\", \"Tip kartice\" FROM "
                           "\"NAPLATA_DETALJNO\" WHERE \"Skladište\" = ? AND \"IRA\" = ? AND "
                           "\"Godina\" = ? AND \"Broj računa\" = ?"),
            QVariantList{date} + key);
        transaction.DeferDetail(
            QStringLiteral(
                "UPDATE \"RACUNI_DETALJNO\" SET \"STORNO\" = TRUE, \"DATUM_STORNA\" = ?, "
                "\"RBR_STORNO_DOKUMENTA\" = ? WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? "
                "AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            QVariantList{date, numbering::NextCancellationNumber(db, w, y)} + key);
        if (session.duringRetailCancellation) {
            session.duringRetailCancellation(session, CancellationEvent(session, number));
        }
    });
    if (session.afterRetailCancellation) {
        session.afterRetailCancellation(session, CancellationEvent(session, number));
    }
    // The counter-rows are collections of the cancellation date.
    session.RetailCollectionsChanged(date);
}

void DeleteDetailInvoice(Session& session, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    std::set<QDate> collected;
    WithDetailSettled(db, [&](Transaction& transaction) {
        Require(db, w, y, number, SummedDeleteRefusal());
        sales::RefuseIfFiscalized(db, w, kRetailBook, y, number, true);
        const QVariantList key{w, kRetailBook, y, number};
        collected.clear();
        Statement dates = db.Prepare(QStringLiteral(
            "SELECT DISTINCT \"Datum\" FROM \"NAPLATA_DETALJNO\" WHERE \"Skladište\" = ? AND "
            "\"IRA\" = ? AND \"Godina\" = ? AND \"Broj računa\" = ?"));
        dates.Exec(key);
        while (dates.Next()) {
            collected.insert(sqlvalue::ToDate(dates.Value(0)));
        }
        dates.Finish();
        transaction.DeferDetail(
            QStringLiteral("DELETE FROM \"NAPLATA_DETALJNO\" WHERE \"Skladište\" = ? AND \"IRA\" "
                           "= ? AND \"Godina\" = ? AND \"Broj računa\" = ?"),
            key);
        transaction.DeferDetail(
            QStringLiteral("DELETE FROM \"STAVKE_RACUNA_DETALJNO\" WHERE \"SKLADISTE\" = ? AND "
                           "\"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ?"),
            key);
        transaction.DeferDetail(
            QStringLiteral("DELETE FROM \"RACUNI_DETALJNO\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = "
                           "? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            key);
    });
    for (const QDate& date : collected) {
        session.RetailCollectionsChanged(date);
    }
}

}  // namespace zodra::retail

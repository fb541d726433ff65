#include "sales/InvoiceRemoval.h"

#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "sales/OutgoingPostingSteps.h"
#include "sales/ServiceConsumption.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/PriceChangeWriter.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

struct Posted {
    QDate date;
    std::optional<int> position;  // RBR_TK
    bool takesStock = false;
    bool cancelled = false;
    std::optional<int> priceChange;
};

struct PostedArticle {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double cost = 0;
    double leftAt = 0;  // CIJENA_SKLADISTA
};

const QString kKey = QStringLiteral(
    " WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ?");

std::optional<Posted> Read(Database& db, int w, int book, int y, int number) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"RBR_TK\", \"SKIDA\", \"STORNO\", \"IZMJENA_CIJENA\" FROM \"RACUNI\" "
        "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"));
    row.Exec({w, book, y, number});
    if (!row.Next()) {
        return std::nullopt;
    }
    Posted p;
    p.date = row.Value(0).toDate();
    if (!row.IsNull(1)) {
        p.position = row.Int(1);
    }
    p.takesStock = row.Int(2) != 0;
    p.cancelled = row.Int(3) != 0;
    if (!row.IsNull(4)) {
        p.priceChange = row.Int(4);
    }
    return p;
}

Posted Require(Database& db, int w, int book, int y, int number) {
    const std::optional<Posted> p = Read(db, w, book, y, number);
    if (!p) {
        throw UserError(QStringLiteral("Ne postoji proknjiženi račun broj ") +
                        QString::number(number));
    }
    if (p->cancelled) {
        throw UserError(QStringLiteral("Ovaj račun je već storniran."));
    }
    return *p;
}

std::vector<PostedArticle> Articles(Database& db, int w, int book, int y, int number) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                       "\"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\"") +
        kKey + QStringLiteral(" AND \"TIP_STAVKE\" = 'ART' ORDER BY \"RBR_STAVKE\""));
    rows.Exec({w, book, y, number});
    std::vector<PostedArticle> lines;
    while (rows.Next()) {
        lines.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3), rows.Double(4)});
    }
    return lines;
}

int BoundDeliveryNotes(Database& db, int w, int book, int y, int number) {
    return sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE_RACUNA\" = ? AND "
                       "\"IRA_RACUNA\" = ? AND \"GODINA_RACUNA\" = ? AND \"BROJ_RACUNA\" = ?"),
        {w, book, y, number}));
}

// The lots of the invoice must still be as the goods left them (see CheckCanBeCancelled).
void CheckLots(Database& db, int w, int book, int y, int number, const Posted& invoice,
               const std::vector<PostedArticle>& lines) {
    if (!invoice.takesStock) {
        return;
    }
    std::set<std::pair<int, int>> repriced;
    if (invoice.priceChange) {
        for (const steps::OldPrice& l :
             steps::PriceChangeOldPrices(db, w, y, *invoice.priceChange)) {
            repriced.insert({l.lot.lot, l.lot.article});
        }
    }
    for (const PostedArticle& line : lines) {
        const QString name = stock::ArticleName(db, line.article);
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, line.lot, line.article});
        if (!lot) {
            throw UserError(stock::MissingLotMessage(name));
        }
        const bool wasRepriced = repriced.count({line.lot, line.article}) > 0;
        if (!QuantitiesEqual(lot->sellingPrice, line.leftAt)) {
            if (wasRepriced) {
                throw UserError(QStringLiteral("Ovaj račun nemožete stornirati jer je artikal '") +
                                name +
                                QStringLiteral("' u trenutku izrade imao cijenu bez poreza ") +
                                MoneyText(line.leftAt) + QStringLiteral(" a sada ima cijenu ") +
                                MoneyText(lot->sellingPrice) + QStringLiteral("."));
            }
            throw UserError(QStringLiteral("Ovaj račun nemožete stornirati jer artikal '") + name +
                            QStringLiteral("' više nema istu cijenu na skladištu."));
        }
        // The price change is undone for the quantities it repriced, which holds only while the
        // lot holds what it held right after the invoice.
        if (wasRepriced && invoice.position &&
            !QuantitiesEqual(
                lot->quantity +
                    BoundConsumptionQuantity(db, w, book, y, number, line.lot, line.article),
                sqlvalue::ToDouble(
                    db.Scalar(QStringLiteral("SELECT SUM(\"KOLIČINA ULAZ\" - \"KOLIČINA IZLAZ\") "
                                             "FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" = ? "
                                             "AND \"GODINA\" = ? AND \"ARTIKAL\" = ? AND "
                                             "\"BROJ_PRIMKE\" = ? AND \"RBR\" <= ?"),
                              {w, y, line.article, line.lot, *invoice.position})))) {
            throw UserError(QStringLiteral("Ovaj račun nemožete stornirati jer su na artiklu '") +
                            name + QStringLiteral("' nakon računa rađeni drugi dokumenti."));
        }
    }
}

void CheckBoundConsumptions(Database& db, int w, int book, int y, int number) {
    for (int consumption : BoundServiceConsumptions(db, w, book, y, number)) {
        CheckServiceConsumptionCanBeUndone(db, w, y, consumption);
    }
}

void CheckAll(Database& db, int w, int book, int y, int number) {
    const Posted invoice = Require(db, w, book, y, number);
    const int notes = BoundDeliveryNotes(db, w, book, y, number);
    if (notes > 0) {
        throw UserError(QStringLiteral("Ovaj račun nemožete stornirati jer su na njega vezane (") +
                        QString::number(notes) + QStringLiteral(") otpremnice."));
    }
    CheckLots(db, w, book, y, number, invoice, Articles(db, w, book, y, number));
    CheckBoundConsumptions(db, w, book, y, number);
}

QString InvoiceType(int book) {
    return QString::number(book) + QStringLiteral("RAČUN");
}

// The values of a document's own trade-book entry, negated into a counter-entry.
std::optional<int> CounterEntry(Database& db, int w, int y, const QString& ownType, int number,
                                const QString& type, const QString& description,
                                const QDate& date) {
    Statement own = db.Prepare(QStringLiteral(
        "SELECT \"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\" FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ_DOKUMENTA\" = ? ORDER BY \"RBR\" DESC"));
    own.Exec({w, ownType, y, number});
    if (!own.Next()) {
        return std::nullopt;
    }
    tradebook::Entry entry;
    entry.warehouse = w;
    entry.year = y;
    entry.type = type;
    entry.documentNumber = number;
    entry.date = date;
    entry.description = description;
    entry.purchaseValue = -own.Double(0);
    entry.salesValue = -own.Double(1);
    entry.salesTax = -own.Double(2);
    own.Finish();
    return tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry);
}

// Every payment of the invoice gets its counter-payment on the cancellation date.
void CounterPayments(Database& db, int w, int book, int y, int number, const QDate& date) {
    struct Payment {
        QVariant type;
        QVariant cardType;
        QVariant partner;
        double amount = 0;
    };
    std::vector<Payment> payments;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT n.\"Tip\", n.\"Tip kartice\", u.\"Partner\", n.\"Iznos\" FROM \"NAPLATA\" n "
            "LEFT JOIN \"UPLATE\" u ON u.\"Sifra\" = n.\"Sifra uplate\" WHERE n.\"Skladište\" = ? "
            "AND n.\"Godina\" = ? AND n.\"Broj računa\" = ? AND n.\"IRA\" = ?"));
        rows.Exec({w, y, number, book});
        while (rows.Next()) {
            payments.push_back({rows.Value(0), rows.Value(1), rows.Value(2), rows.Double(3)});
        }
    }
    for (const Payment& p : payments) {
        Statement insert = db.Prepare(QStringLiteral(
            "INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", \"Datum\", \"Tip\", "
            "\"Opis\", \"Iznos\", \"Tip kartice\") VALUES (?, ?, ?, ?, ?, 'Storno', ?, ?)"));
        insert.Exec({w, y, p.partner, date, p.type, 0 - p.amount, p.cardType});
        const QVariant id = insert.LastInsertId();
        db.Exec(QStringLiteral(
                    "INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj računa\", "
                    "\"Tip\", \"Datum\", \"Opis dokumenta\", \"Iznos\", \"Tip kartice\", \"Sifra "
                    "uplate\") VALUES (?, ?, ?, ?, ?, ?, 'Storno', ?, ?, ?)"),
                {w, book, y, number, p.type, date, 0 - p.amount, p.cardType, id});
    }
}

}  // namespace

QString CancelQuestion() {
    return QStringLiteral("Želite li stornirati račun!");
}
QString CancelTitle() {
    return QStringLiteral("Storno");
}
QString CancelDatePrompt() {
    return QStringLiteral("Upišite datum storniranja računa.");
}
QString DeleteQuestion() {
    return QStringLiteral("Želite li izbrisati račun!");
}
QString DeleteTitle() {
    return QStringLiteral("Brisanje računa");
}

QString UnlistedUserMessage(const QString& name) {
    return QStringLiteral("Korisnik ") + name + QStringLiteral(" nije upisan u listu korisnika.");
}

void CheckUserMayDeleteFromTable(Session& session) {
    if (!session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"KORISNICI\" WHERE \"Username\" = ?"),
                     {session.userName})
             .isValid()) {
        throw UserError(UnlistedUserMessage(session.userName));
    }
}

QDate CheckCancellationDate(Session& session, int book, int number, const QString& typed) {
    QDate date;
    for (const char* format : {"d.M.yyyy", "d.M.yyyy.", "yyyy-MM-dd"}) {
        date = QDate::fromString(typed.trimmed(), QString::fromLatin1(format));
        if (date.isValid()) {
            break;
        }
    }
    if (!date.isValid() || limits::CheckDate(date, QStringLiteral("Datum storna"))) {
        throw UserError(QStringLiteral("Datum storna nije ispravno upisan. Pokušajte ponovo."));
    }
    const Posted invoice =
        Require(session.Db(), session.activeWarehouse.code, book, session.businessYear, number);
    if (date < invoice.date) {
        throw UserError(
            QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
    }
    return date;
}

void CheckCanBeCancelled(Session& session, int book, int number) {
    CheckAll(session.Db(), session.activeWarehouse.code, book, session.businessYear, number);
    RefuseUnrecordedCancellation(session, book, number, false);
}

void CancelInvoice(Session& session, int book, int number, const QDate& date) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    // Again inside the transaction: another workstation may have changed it meanwhile.
    CheckAll(db, w, book, y, number);
    RefuseUnrecordedCancellation(session, book, number, false);
    const Posted invoice = Require(db, w, book, y, number);
    if (!date.isValid() || date < invoice.date) {
        throw UserError(
            QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
    }
    if (invoice.takesStock) {
        for (const PostedArticle& line : Articles(db, w, book, y, number)) {
            stock::ReturnToLotAtCost(db, {w, y, line.lot, line.article}, line.quantity, line.cost);
        }
    }
    if (invoice.priceChange) {
        steps::RestorePrices(db, steps::PriceChangeOldPrices(db, w, y, *invoice.priceChange));
        const std::optional<int> position = CounterEntry(
            db, w, y, stock::PriceChangeType(), *invoice.priceChange,
            stock::PriceChangeCancellationType(),
            QStringLiteral("Storno izmjene cijena ") + QString::number(*invoice.priceChange), date);
        db.Exec(QStringLiteral("UPDATE \"IZMJENE_CIJENA\" SET \"STORNO\" = TRUE, "
                               "\"STORNO_RBR_TK\" = ?, \"DATUM_STORNA\" = ?, "
                               "\"RBR_STORNO_DOKUMENTA\" = ? WHERE \"SKLADISTE\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
                {position ? QVariant(*position) : QVariant(), date,
                 numbering::NextCancellationNumber(db, w, y), w, y, *invoice.priceChange});
    }
    std::optional<int> position;
    if (invoice.position) {
        position =
            CounterEntry(db, w, y, InvoiceType(book), number, QStringLiteral("STORNO RAČUNA"),
                         QStringLiteral("Storno računa ") + QString::number(number), date);
    }
    CounterPayments(db, w, book, y, number, date);
    db.Exec(QStringLiteral("UPDATE \"RACUNI\" SET \"STORNO\" = TRUE, \"STORNO_RBR_TK\" = ?, "
                           "\"DATUM_STORNA\" = ?, \"RBR_STORNO_DOKUMENTA\" = ? WHERE "
                           "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                           "\"BROJ RACUNA\" = ?"),
            {position ? QVariant(*position) : QVariant(), date,
             numbering::NextCancellationNumber(db, w, y), w, book, y, number});
    for (int consumption : BoundServiceConsumptions(db, w, book, y, number)) {
        CancelServiceConsumption(db, w, y, consumption, date);
    }
    stock::CheckStockAgainstCard(session);
    Session::RetailSaleEvent cancelled;
    cancelled.warehouse = w;
    cancelled.book = book;
    cancelled.year = y;
    cancelled.number = number;
    cancelled.cashier = session.userName;
    // A fiscalized receipt gets its negative receipt with the cancellation, or neither is kept.
    if (session.duringRetailCancellation) {
        session.duringRetailCancellation(session, cancelled);
    }
    transaction.Commit();
    if (session.afterRetailCancellation) {
        session.afterRetailCancellation(session, cancelled);
    }
    // The counter-payments are collections of the cancellation date.
    session.RetailCollectionsChanged(date);
}

bool CancelInvoice(Session& session, Prompter& prompter, int book, int number, const QDate& date) {
    if (!BoundServiceConsumptions(session.Db(), session.activeWarehouse.code, book,
                                  session.businessYear, number)
             .empty() &&
        !prompter.AskYesNo(BoundConsumptionQuestion(), CancelTitle(), false)) {
        return false;
    }
    CancelInvoice(session, book, number, date);
    return true;
}

QString FiscalizedDeleteRefusal() {
    return QStringLiteral("Račun je fiskaliziran i ne može se brisati. Stornirajte ga.");
}

namespace {

// A record of the invoice went to the tax administration or waits to go.
bool IsFiscalized(Database& db, int warehouse, int book, int year, int number, bool detailed) {
    const QVariant found = db.Scalar(
        QStringLiteral("SELECT 1 FROM \"FISKAL_RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? "
                       "AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ? AND \"DETALJNO\" = ?"),
        {warehouse, book, year, number, detailed});
    return found.isValid() && !found.isNull();
}

}  // namespace

QString ReportedEInvoiceDeleteRefusal() {
    return QStringLiteral(
        "Račun je izdan kao eRačun i prijavljen Poreznoj upravi pa se ne može brisati. "
        "Stornirajte ga.");
}

void RefuseIfFiscalized(Database& db, int warehouse, int book, int year, int number,
                        bool detailed) {
    if (IsFiscalized(db, warehouse, book, year, number, detailed)) {
        throw UserError(FiscalizedDeleteRefusal());
    }
    // Its report (and its collections' reports) would be left pointing at nothing.
    const QVariant reported =
        detailed ? QVariant()
                 : db.Scalar(QStringLiteral("SELECT 1 FROM \"FISKAL_IZVJESTAJI\" WHERE \"VRSTA\" = "
                                            "'ERACUN' AND \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                                            "\"GODINA\" = ? AND \"BROJ_RACUNA\" = ?"),
                             {warehouse, book, year, number});
    if (reported.isValid() && !reported.isNull()) {
        throw UserError(ReportedEInvoiceDeleteRefusal());
    }
}

QString FiscalizedCancelRefusal() {
    return QStringLiteral(
        "Račun je fiskaliziran pa se i njegov storno mora fiskalizirati, a na ovom računalu "
        "fiskalizacija nije postavljena.");
}

void RefuseUnrecordedCancellation(Session& session, int book, int number, bool detailed) {
    if (!session.duringRetailCancellation &&
        IsFiscalized(session.Db(), session.activeWarehouse.code, book, session.businessYear, number,
                     detailed)) {
        throw UserError(FiscalizedCancelRefusal());
    }
}

bool DeleteInvoice(Session& session, Prompter& prompter, int book, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    {
        const Posted invoice = Require(db, w, book, y, number);
        RefuseIfFiscalized(db, w, book, y, number, false);
        CheckLots(db, w, book, y, number, invoice, Articles(db, w, book, y, number));
        CheckBoundConsumptions(db, w, book, y, number);
    }
    const int notes = BoundDeliveryNotes(db, w, book, y, number);
    if (notes > 0 &&
        !prompter.AskYesNo(QStringLiteral("Na ovaj račun su vezane (") + QString::number(notes) +
                               QStringLiteral(") otpremnice. Želite li ga obrisati?"),
                           DeleteTitle(), false)) {
        return false;
    }
    Transaction transaction(db);
    const Posted invoice = Require(db, w, book, y, number);
    RefuseIfFiscalized(db, w, book, y, number, false);
    const std::vector<PostedArticle> lines = Articles(db, w, book, y, number);
    CheckLots(db, w, book, y, number, invoice, lines);
    std::set<int> pooled;
    std::optional<int> from = invoice.position;
    if (invoice.takesStock) {
        for (const PostedArticle& line : lines) {
            stock::ReturnToLot(db, {w, y, line.lot, line.article}, line.quantity);
            if (line.lot == stock::kPooledLot) {
                pooled.insert(line.article);
            }
        }
    }
    if (invoice.priceChange) {
        if (const std::optional<int> changed =
                steps::DeleteGeneratedPriceChange(db, w, y, *invoice.priceChange)) {
            from = *changed;
        }
    }
    for (int consumption : BoundServiceConsumptions(db, w, book, y, number)) {
        DeleteServiceConsumption(db, w, y, consumption, pooled);
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, InvoiceType(book), y, number,
                                   false);
    tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, w, y);
    // Its payments go with it; a payment that closed nothing else goes too.
    std::vector<QVariant> payments;
    std::set<QDate> collected;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"Sifra uplate\", \"Datum\" FROM \"NAPLATA\" WHERE \"Skladište\" = ? AND "
            "\"Godina\" = ? AND \"Broj računa\" = ? AND \"IRA\" = ?"));
        rows.Exec({w, y, number, book});
        while (rows.Next()) {
            payments.push_back(rows.Value(0));
            collected.insert(sqlvalue::ToDate(rows.Value(1)));
        }
    }
    db.Exec(QStringLiteral("DELETE FROM \"NAPLATA\" WHERE \"Skladište\" = ? AND \"Godina\" = ? AND "
                           "\"Broj računa\" = ? AND \"IRA\" = ?"),
            {w, y, number, book});
    for (const QVariant& payment : payments) {
        db.Exec(QStringLiteral("DELETE FROM \"UPLATE\" WHERE \"Sifra\" = ? AND NOT EXISTS (SELECT "
                               "1 FROM \"NAPLATA\" WHERE \"Sifra uplate\" = ?)"),
                {payment, payment});
    }
    for (const char* table :
         {"STAVKE_RACUNA", "STAVKE_RACUNA_DJELATNICI", "STAVKE_RACUNA_DODATNI_PODACI"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\"") + kKey,
                {w, book, y, number});
    }
    db.Exec(QStringLiteral("DELETE FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
            {w, book, y, number});
    db.Exec(
        QStringLiteral("UPDATE \"OTPREMNICE\" SET \"SKLADISTE_RACUNA\" = NULL, \"IRA_RACUNA\" = "
                       "NULL, \"GODINA_RACUNA\" = NULL, \"BROJ_RACUNA\" = NULL WHERE "
                       "\"SKLADISTE_RACUNA\" = ? AND \"IRA_RACUNA\" = ? AND \"GODINA_RACUNA\" "
                       "= ? AND \"BROJ_RACUNA\" = ?"),
        {w, book, y, number});
    for (int article : pooled) {
        stock::RecomputeAverageCost(db, w, y, article, from.value_or(0));
    }
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    // The days it was collected on have lost its collections.
    for (const QDate& date : collected) {
        session.RetailCollectionsChanged(date);
    }
    return true;
}

}  // namespace zodra::sales

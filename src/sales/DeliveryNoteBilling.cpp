#include "sales/DeliveryNoteBilling.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <map>
#include <tuple>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "sales/InvoiceLines.h"
#include "stock/StockCheck.h"

namespace zodra::sales {

namespace {

constexpr int kBillingBook = 1;

std::optional<QDate> TypedDate(const QString& typed) {
    for (const char* format : {"d.M.yyyy", "d.M.yyyy.", "yyyy-MM-dd"}) {
        const QDate date = QDate::fromString(typed.trimmed(), QString::fromLatin1(format));
        if (date.isValid()) {
            return date;
        }
    }
    return std::nullopt;
}

struct NoteHead {
    int number = 0;
    int customer = 0;
    int terms = 0;
};

// The chosen notes still open, read inside the billing transaction, by customer and number.
std::vector<NoteHead> StillOpen(Database& db, int w, int y, const std::vector<int>& chosen) {
    std::vector<NoteHead> open;
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA_PARTNERA\", \"UVJET PRODAJE\" FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = ? "
        "AND \"GODINA\" = ? AND \"BROJ_OTPREMNICE\" = ? AND \"BROJ_RACUNA\" IS NULL"));
    for (int number : chosen) {
        row.Exec({w, y, number});
        if (row.Next()) {
            open.push_back({number, row.Int(0), row.Int(1)});
        }
        row.Finish();
    }
    std::sort(open.begin(), open.end(), [](const NoteHead& a, const NoteHead& b) {
        return std::tie(a.customer, a.number) < std::tie(b.customer, b.number);
    });
    open.erase(std::unique(open.begin(), open.end(),
                           [](const NoteHead& a, const NoteHead& b) {
                               return a.customer == b.customer && a.number == b.number;
                           }),
               open.end());
    return open;
}

// Sums the lines of the notes into the invoice's lines.
void WriteSummedLines(Database& db, int w, int y, int number, const std::vector<int>& notes) {
    QStringList marks;
    QVariantList params{w, y};
    for (int note : notes) {
        marks << QStringLiteral("?");
        params << note;
    }
    Statement sums = db.Prepare(
        QStringLiteral(
            "SELECT \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"GRUPA_POREZA\", \"POREZ_%\", "
            "\"TIP_OPOREZIVANJA\", SUM(\"KOLICINA\"), SUM(\"NABAVNA_VRIJEDNOST\"), "
            "SUM(\"RUC_IZNOS\"), SUM(\"VRIJEDNOST_BEZ_RABATA\"), SUM(\"RABAT_IZNOS\"), "
            "SUM(\"VRIJEDNOST_\"), SUM(\"POREZ_IZNOS\"), SUM(\"UKUPNO_\"), "
            "MIN(\"BROJ_OTPREMNICE\" * 100000 + \"RBR_STAVKE\") AS \"PRVA\" FROM "
            "\"STAVKE_OTPREMNICA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
            "\"BROJ_OTPREMNICE\" IN (") +
        marks.join(QStringLiteral(", ")) +
        QStringLiteral(") GROUP BY \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"GRUPA_POREZA\", "
                       "\"POREZ_%\", \"TIP_OPOREZIVANJA\" ORDER BY \"PRVA\""));
    sums.Exec(params);
    Statement insert = db.Prepare(QStringLiteral(
        "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
        "\"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
        "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA_BEZ_RABATA\", "
        "\"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", \"CIJENA_\", \"VRIJEDNOST_\", "
        "\"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\", "
        "\"RBR_STAVKE\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)"));
    std::vector<QVariantList> rows;
    int line = 0;
    while (sums.Next()) {
        const double quantity = sums.Double(6);
        const double cost = sums.Double(7);
        const double margin = sums.Double(8);
        const double before = sums.Double(9);
        const double discount = sums.Double(10);
        const double value = sums.Double(11);
        auto per = [quantity](double v) { return quantity != 0 ? v / quantity : 0.0; };
        rows.push_back({w,
                        kBillingBook,
                        y,
                        number,
                        sums.Value(0),
                        sums.Value(1),
                        sums.Value(2),
                        quantity,
                        per(cost),
                        cost,
                        cost != 0 ? margin / cost * 100 : 0.0,
                        margin,
                        per(before),
                        before,
                        before != 0 ? discount / before * 100 : 0.0,
                        discount,
                        per(value),
                        value,
                        sums.Value(3),
                        sums.Value(4),
                        sums.Double(12),
                        sums.Double(13),
                        sums.Value(5),
                        ++line});
    }
    sums.Finish();
    for (const QVariantList& values : rows) {
        insert.Exec(values);
    }
}

int InvoiceNumber(Database& db, int w, int y, int terms) {
    return terms == kRetailTerms ? numbering::NextRetailInvoiceNumber(db, w, kBillingBook, y)
                                 : numbering::NextInvoiceNumber(db, w, kBillingBook, y, terms);
}

}  // namespace

std::vector<OpenDeliveryNote> OpenDeliveryNotes(Database& db, int warehouse, int year,
                                                std::optional<int> customer, const QDate& from,
                                                const QDate& to) {
    QString sql = QStringLiteral(
        "SELECT o.\"SKLADISTE\", o.\"GODINA\", o.\"BROJ_OTPREMNICE\", o.\"DATUM\", "
        "o.\"SIFRA_PARTNERA\", p.\"NAZIV\" FROM \"OTPREMNICE\" o LEFT JOIN \"PARTNERI\" p ON "
        "p.\"SIFRA\" = o.\"SIFRA_PARTNERA\" WHERE o.\"SKLADISTE\" = ? AND o.\"GODINA\" = ? AND "
        "o.\"BROJ_RACUNA\" IS NULL AND o.\"DATUM\" >= ? AND o.\"DATUM\" <= ?");
    QVariantList params{warehouse, year, from, to};
    if (customer) {
        sql += QStringLiteral(" AND o.\"SIFRA_PARTNERA\" = ?");
        params << *customer;
    }
    sql += QStringLiteral(" ORDER BY o.\"SIFRA_PARTNERA\", o.\"BROJ_OTPREMNICE\"");
    Statement rows = db.Prepare(sql);
    rows.Exec(params);
    std::vector<OpenDeliveryNote> notes;
    while (rows.Next()) {
        notes.push_back({rows.Int(0), rows.Int(1), rows.Int(2), rows.Value(3).toDate(), rows.Int(4),
                         rows.Text(5)});
    }
    return notes;
}

BillingRange CheckBillingRange(const QString& from, const QString& to) {
    const std::optional<QDate> f = TypedDate(from);
    const std::optional<QDate> t = TypedDate(to);
    if (!f || !t) {
        throw UserError(
            QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    }
    if (*f > *t) {
        throw UserError(QStringLiteral("Ograničenja nisu ispravno upisana."));
    }
    return {*f, *t};
}

QString AllCustomersQuestion() {
    return QStringLiteral("Želite li napraviti račune za otvorene otpremnice svih kupaca ?");
}
QString NoOpenNotesMessage() {
    return QStringLiteral(
        "Za zadani vremenski interval nema otpremnica za koje treba napraviti račune.");
}
QString PrintBilledQuestion() {
    return QStringLiteral("Želite li isprintati napravljene račune?");
}
QString BillingTitle() {
    return QStringLiteral("Računi iz otpremnica");
}

std::vector<BilledInvoice> BillDeliveryNotes(Session& session, const std::vector<int>& notes,
                                             const QDate& date) {
    limits::RequireDocumentDate(date, session.businessYear, QStringLiteral("Datum"));
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const std::vector<NoteHead> open = StillOpen(db, w, y, notes);
    if (open.empty()) {
        throw UserError(NoOpenNotesMessage());
    }
    std::map<int, std::vector<NoteHead>> byCustomer;
    for (const NoteHead& note : open) {
        byCustomer[note.customer].push_back(note);
    }
    std::vector<BilledInvoice> billed;
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (const auto& [customer, own] : byCustomer) {
        BilledInvoice invoice;
        invoice.customer = customer;
        const int terms = own.front().terms;
        invoice.number = InvoiceNumber(db, w, y, terms);
        QStringList numbers;
        for (const NoteHead& note : own) {
            invoice.notes.push_back(note.number);
            numbers << QString::number(note.number);
        }
        QString name, address, place;
        int delay = 0;
        {
            Statement partner = db.Prepare(
                QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"ODGODA\" FROM "
                               "\"PARTNERI\" WHERE \"SIFRA\" = ?"));
            partner.Exec({customer});
            if (partner.Next()) {
                name = partner.Text(0);
                address = partner.Text(1);
                place = partner.Text(2);
                delay = partner.IsNull(3) ? 0 : partner.Int(3);
            }
        }
        db.Exec(
            QStringLiteral(
                "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
                "\"PLACENO\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                "\"ISPORUKA NAZIV\", \"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", "
                "\"OTPREMNICA\", \"ROK PLACANJA\", \"DOSPIJECE RACUNA\", \"NACIN PLACANJA\", "
                "\"VEC PLACENO\", \"ZIRO_RACUN\", \"KORISNIK\", "
                "\"DATUM_I_VRIJEME_KNJIZENJA\", \"SKIDA\") VALUES (?, ?, ?, ?, FALSE, ?, ?, "
                "?, ?, ?, ?, ?, ?, ?, 'virmanom', 0, (SELECT \"ZIRO_RACUN\" FROM "
                "\"PODACI_FIRME\" LIMIT 1), ?, ?, FALSE)"),
            {w, kBillingBook, y, invoice.number, date, customer, terms, name, address, place,
             numbers.join(QLatin1Char(',')), delay, date.addDays(delay), session.userName, now});
        WriteSummedLines(db, w, y, invoice.number, invoice.notes);
        Statement bind = db.Prepare(QStringLiteral(
            "UPDATE \"OTPREMNICE\" SET \"SKLADISTE_RACUNA\" = ?, \"IRA_RACUNA\" = ?, "
            "\"GODINA_RACUNA\" = ?, \"BROJ_RACUNA\" = ? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
            "? AND \"BROJ_OTPREMNICE\" = ? AND \"BROJ_RACUNA\" IS NULL"));
        for (int note : invoice.notes) {
            bind.Exec({w, kBillingBook, y, invoice.number, w, y, note});
        }
        billed.push_back(invoice);
    }
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return billed;
}

std::vector<BilledInvoice> BillDeliveryNotes(Session& session, Prompter& prompter,
                                             std::optional<int> customer,
                                             const BillingRange& range) {
    if (!customer && !prompter.AskYesNo(AllCustomersQuestion(), BillingTitle(), false)) {
        return {};
    }
    std::vector<int> numbers;
    for (const OpenDeliveryNote& note :
         OpenDeliveryNotes(session.Db(), session.activeWarehouse.code, session.businessYear,
                           customer, range.from, range.to)) {
        numbers.push_back(note.number);
    }
    if (numbers.empty()) {
        throw UserError(NoOpenNotesMessage());
    }
    return BillDeliveryNotes(session, numbers, range.to);
}

}  // namespace zodra::sales

#include "yearend/YearTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "data/Compaction.h"
#include "data/CompanyCopy.h"
#include "data/CompanyLock.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/StockMethod.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "payments/PaymentModels.h"
#include "purchasing/ReceiptRow.h"
#include "stock/ReceiptLots.h"
#include "stock/TradeBook.h"

namespace zodra::yearend {

QString StartQuestion() {
    return QStringLiteral("Želite li napraviti prijenos u novu godinu?");
}
QString DatePrompt() {
    return QStringLiteral("Upišite datum na koji će se knjižiti prijenos.");
}
QString SeveralYearsQuestion() {
    return QStringLiteral("Želite li u bazi imati podatke od više godina?");
}
QString SameYearMessage() {
    return QStringLiteral(
        "Nova i stara godina nesmiju biti iste. Pokušajte ponovno sa drugim datumom.");
}
QString SameFileMessage() {
    return QStringLiteral("Za novu datoteku morate izabrati novo ime !");
}
QString ExistingFileMessage() {
    return QStringLiteral("Datoteka sa ovim imenom već postoji! Izaberite drugo ime.");
}
QString DoneMessage() {
    return QStringLiteral("Prijenos napravljen uspješno.");
}
QString NewFileDialogTitle() {
    return QStringLiteral("Nova datoteka");
}
QString NewFileFilter() {
    return QStringLiteral("Zodra datoteke|*.mdb");
}
QString AlreadyDoneMessage(int year) {
    return QStringLiteral("Prijenos u godinu %1 je već napravljen.").arg(year);
}
QString EarlierYearMessage() {
    return QStringLiteral("Nova godina ne može biti prije godine koja se knjiži.");
}
QString FifoYearHasDocumentsMessage(int year) {
    return QStringLiteral(
               "U godini %1 već postoje dokumenti zaliha. Kod FIFO metode početno stanje mora "
               "biti prvi dokument godine: prijenos u istu datoteku nije moguć. Napravite "
               "prijenos u novu datoteku ili ga napravite prije prvog dokumenta nove godine.")
        .arg(year);
}
QString TransferPartnerName() {
    return QStringLiteral("Prijenos iz prošle godine");
}
QString OpeningDocument() {
    return QStringLiteral("Prijenos");
}
QString OpeningDescription() {
    return QStringLiteral("Početno stanje");
}

namespace {

// Everything a company keeps that is not a document of a year: the registers, the company
// record, its configuration and its users. A new year's file receives these whole, keys
// included, so that every code the opening stock and balances name means the same there.
const QStringList& CarriedTables() {
    static const QStringList tables = {
        QStringLiteral("Konfiguracija"),
        QStringLiteral("KORISNICI"),
        QStringLiteral("PODACI_FIRME"),
        QStringLiteral("ARTIKLI"),
        QStringLiteral("USLUGE"),
        QStringLiteral("AMBALAZA"),
        QStringLiteral("ARTIKLI_AMBALAZA"),
        QStringLiteral("PARTNERI"),
        QStringLiteral("SKLADISTA"),
        QStringLiteral("GRUPE_A"),
        QStringLiteral("GRUPE_POREZA"),
        QStringLiteral("PDV_VRSTE"),
        QStringLiteral("UVJETI_PRODAJE"),
        QStringLiteral("NACINI_ISPORUKE"),
        QStringLiteral("NACINI_PLACANJA"),
        QStringLiteral("TIPOVI_KARTICA"),
        QStringLiteral("DJELATNICI"),
        QStringLiteral("ZIRO_RACUNI"),
        QStringLiteral("KNJIGE_IRA"),
        QStringLiteral("KNJIGE_URA"),
        QStringLiteral("VALUTE"),
        QStringLiteral("VALUTE_TECAJ"),
        QStringLiteral("CJENICI"),
        QStringLiteral("CJENICI_STAVKE_CIJENA"),
        QStringLiteral("CJENICI_STAVKE_RABATA"),
        QStringLiteral("SASTAVNICE"),
        QStringLiteral("STAVKE_SASTAVNICA"),
        QStringLiteral("STAVKE_SASTAVNICA_TROSKOVI"),
        QStringLiteral("ARTIKLI_VOZILA"),
        QStringLiteral("ARTIKLI_KONFIGURACIJA_DODATNI_PODACI"),
        QStringLiteral("USLUGE_SPECIFIKACIJA_ARTIKALA"),
        QStringLiteral("DEKLARACIJE"),
        QStringLiteral("DODATNI_TEKSTOVI_ZA_RACUNE"),
        QStringLiteral("KPI_TIPOVI_UPISA"),
        QStringLiteral("KONTAKTI_TIPOVI_UPISA"),
        QStringLiteral("KONTAKTI"),
        QStringLiteral("PLANER"),
        QStringLiteral("FISKAL_OPERATERI"),
    };
    return tables;
}

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString ConfigValue(Database& db, const QString& name) {
    return db
        .Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                {name})
        .toString();
}

void SetConfigValue(Database& db, const QString& name, const QString& value) {
    if (db.Exec(
            QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
            {value, name}) == 0) {
        db.Exec(QStringLiteral(
                    "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
                {name, value});
    }
}

struct Years {
    int oldYear = 0;
    int newYear = 0;
    StockMethod method = StockMethod::Fifo;
};

Years ReadYears(Database& db, const QDate& date) {
    if (!date.isValid()) {
        throw UserError(QStringLiteral("Nije ispravno upisan datum."));
    }
    Years y;
    bool ok = false;
    y.oldYear = ConfigValue(db, QStringLiteral("Godina koja se knjiži")).trimmed().toInt(&ok);
    if (!ok || y.oldYear <= 0) {
        throw UserError(QStringLiteral("Nije određena godina koja se knjiži."));
    }
    limits::RequireDocumentDate(date, y.oldYear, QStringLiteral("Datum prijenosa"));
    y.newYear = date.year();
    if (y.newYear == y.oldYear) {
        throw UserError(SameYearMessage());
    }
    if (y.newYear < y.oldYear) {
        throw UserError(EarlierYearMessage());
    }
    // An unreadable method is set to FIFO when a session starts; the transfer does the same.
    y.method = ParseStockMethod(ConfigValue(db, QStringLiteral("Vođenje skladišta")))
                   .value_or(StockMethod::Fifo);
    return y;
}

// ---- the closing stock ------------------------------------------------------------------

struct OpeningLine {
    int article = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;
    std::optional<double> margin;
};

// The opening receipts of each warehouse, each a list of lines.
using OpeningStock = std::map<int, std::vector<std::vector<OpeningLine>>>;

struct LotRow {
    int warehouse = 0;
    int article = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;
    std::optional<double> margin;
};

void RequireFinite(const LotRow& lot) {
    const QString what = QStringLiteral("Nabava artikla ") + QString::number(lot.article) +
                         QStringLiteral(" (skladište ") + QString::number(lot.warehouse) +
                         QStringLiteral("): ");
    limits::RequireNumber(lot.quantity, limits::NumberKind::Quantity,
                          what + QStringLiteral("količina"));
    limits::RequireNumber(lot.cost, limits::NumberKind::Price,
                          what + QStringLiteral("nabavna cijena"));
    limits::RequireNumber(lot.price, limits::NumberKind::Price,
                          what + QStringLiteral("veleprodajna cijena"));
}

OpeningStock ReadOpeningStock(Database& db, int year, StockMethod method) {
    // Lots in lot order per warehouse and article: under FIFO the oldest first.
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"SKLADISTE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", \"NABAVNA CIJENA\", "
        "\"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\" FROM \"NABAVE\" WHERE \"GODINA\" = ? "
        "ORDER BY \"SKLADISTE\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\""));
    rows.Exec({year});
    std::vector<LotRow> lots;
    while (rows.Next()) {
        LotRow lot;
        lot.warehouse = rows.Int(0);
        lot.article = rows.Int(1);
        lot.quantity = rows.Double(2);
        lot.cost = rows.Double(3);
        lot.price = rows.Double(4);
        if (!rows.IsNull(5)) {
            lot.margin = rows.Double(5);
        }
        RequireFinite(lot);
        lots.push_back(lot);
    }
    OpeningStock stock;
    size_t i = 0;
    while (i < lots.size()) {
        size_t end = i;
        while (end < lots.size() && lots[end].warehouse == lots[i].warehouse &&
               lots[end].article == lots[i].article) {
            ++end;
        }
        auto& receipts = stock[lots[i].warehouse];
        if (method == StockMethod::Fifo) {
            // Every lot that still holds stock stays a lot: the k-th of an article goes into
            // the k-th opening receipt.
            size_t layer = 0;
            for (size_t k = i; k < end; ++k) {
                if (QuantityIsZero(lots[k].quantity)) {
                    continue;
                }
                if (receipts.size() <= layer) {
                    receipts.resize(layer + 1);
                }
                receipts[layer].push_back({lots[k].article, RoundQuantity(lots[k].quantity),
                                           lots[k].cost, lots[k].price, lots[k].margin});
                ++layer;
            }
        } else {
            // One pooled lot per article: the quantity summed, prices weighted by quantity; an
            // article without stock keeps its (highest) prices at quantity 0.
            double quantity = 0;
            double costValue = 0;
            double priceValue = 0;
            double maxCost = lots[i].cost;
            double maxPrice = lots[i].price;
            std::optional<double> margin;
            for (size_t k = i; k < end; ++k) {
                quantity += lots[k].quantity;
                costValue += lots[k].quantity * lots[k].cost;
                priceValue += lots[k].quantity * lots[k].price;
                maxCost = std::max(maxCost, lots[k].cost);
                maxPrice = std::max(maxPrice, lots[k].price);
                if (lots[k].margin && (!margin || *lots[k].margin > *margin)) {
                    margin = lots[k].margin;
                }
            }
            OpeningLine line{lots[i].article, RoundQuantity(quantity), maxCost, maxPrice, margin};
            if (!QuantityIsZero(quantity)) {
                line.cost = costValue / quantity;
                line.price = priceValue / quantity;
            }
            if (receipts.empty()) {
                receipts.resize(1);
            }
            receipts.front().push_back(line);
        }
        i = end;
    }
    return stock;
}

// The partner the opening receipts come from: the one of that name, made when it is missing.
int TransferPartner(Database& db) {
    const QVariant code =
        db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                  {TransferPartnerName()});
    if (!code.isNull()) {
        return code.toInt();
    }
    const int next =
        sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\""))) + 1;
    db.Exec(
        QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"MJESTO\", "
                       "\"RABAT\", \"ODGODA\", \"Kupac\", \"Dobavljac\", \"CJENIK\") VALUES "
                       "(?, ?, '', '', 0, 0, FALSE, TRUE, 0)"),
        {next, TransferPartnerName()});
    return next;
}

int PostOpeningReceipt(Database& db, int warehouse, const Years& years, const QDate& date,
                       int partner, const std::vector<OpeningLine>& lines) {
    const int y = years.newYear;
    const int number = numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, warehouse, y,
                                                     numbering::kReceiptEntered);
    const int position = tradebook::NextBookNumber(db, tradebook::Book::Wholesale, warehouse, y);
    db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT DOBAVLJACA\", "
                           "\"DATUM DOKUMENTA DOBAVLJACA\", \"RBR_TK\", \"SkladisnaMetoda\", "
                           "\"VALUTA\", \"TIP_PRIMKE\", \"OPIS\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, 1, ?, ?)"),
            {warehouse, y, number, date, partner, OpeningDocument(), date, position,
             StockMethodText(years.method), numbering::kReceiptEntered, OpeningDescription()});
    Statement insert =
        db.Prepare(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                                  "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", ") +
                   purchasing::ReceiptRow::Columns() + QStringLiteral(") VALUES (") +
                   QStringList(purchasing::ReceiptRow::ColumnCount() + 5, QStringLiteral("?"))
                       .join(QStringLiteral(", ")) +
                   QLatin1Char(')'));
    MoneyTotal value;
    int lineNumber = 0;
    for (const OpeningLine& l : lines) {
        // Bought at the lot's cost: invoice, net and cost price alike, no discount or costs.
        purchasing::ReceiptRow row =
            purchasing::ReceiptRow::Plain(l.article, l.quantity, l.cost, l.quantity * l.cost,
                                          l.price, l.quantity * l.price, l.margin);
        row.lineNumber = ++lineNumber;
        value += row.value;
        insert.Exec(QVariantList{warehouse, y, number, row.kind, row.code} + row.Values());
    }
    tradebook::Entry entry;
    entry.warehouse = warehouse;
    entry.year = y;
    entry.type = QStringLiteral("PRIMKA");
    entry.documentNumber = number;
    entry.date = date;
    entry.description =
        QStringLiteral("PRIMKA ") + QString::number(number) + QLatin1Char(' ') + OpeningDocument();
    entry.purchaseValue = value.Value();
    tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry, position);
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::GoodsReceipt).lines.front());
    stock::PostReceiptIntoLots(db, {warehouse, y, number});
    return number;
}

// ---- the closing balances ---------------------------------------------------------------

// What a partner owes (positive) or is owed (negative) at the end of the year, in cents, per
// warehouse for customers (none for suppliers), as the partner's card adds it up.
struct Balance {
    QVariant warehouse;
    int partner = 0;
    qint64 cents = 0;
};

using BalanceKey = std::pair<qint64, int>;  // warehouse (or -1 for none), partner

void AddRows(Database& db, const QString& sql, int year, std::map<BalanceKey, qint64>& out,
             int sign, bool twoAmounts) {
    Statement s = db.Prepare(sql);
    s.Exec({year});
    while (s.Next()) {
        const BalanceKey key{s.IsNull(0) ? -1 : s.Value(0).toLongLong(), s.Int(1)};
        const double a = s.IsNull(2) ? 0 : s.Double(2);
        const double b = twoAmounts && !s.IsNull(3) ? s.Double(3) : 0;
        limits::RequireNumber(a, limits::NumberKind::Amount, QStringLiteral("Iznos"));
        limits::RequireNumber(b, limits::NumberKind::Amount, QStringLiteral("Iznos"));
        out[key] += sign * (payments::Cents(a) - payments::Cents(b));
    }
}

std::vector<Balance> ToBalances(const std::map<BalanceKey, qint64>& sums) {
    std::vector<Balance> out;
    for (const auto& [key, cents] : sums) {
        if (cents != 0) {
            out.push_back({key.first < 0 ? QVariant() : QVariant(key.first), key.second, cents});
        }
    }
    return out;
}

std::vector<Balance> CustomerBalances(Database& db, int year) {
    std::map<BalanceKey, qint64> sums;
    AddRows(db,
            QStringLiteral("SELECT \"Skladiste\", \"Partner\", \"Duguje\", \"Potražuje\" FROM "
                           "\"PARTNERI POCETNO STANJE\" WHERE \"Godina\" = ?"),
            year, sums, 1, true);
    // Each invoice's total as printed: its lines at the cent, added.
    {
        Statement s = db.Prepare(QStringLiteral(
            "SELECT r.\"SKLADISTE\", r.\"IRA\", r.\"BROJ RACUNA\", r.\"SIFRA PARTNERA\", "
            "l.\"UKUPNO_\" FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" l ON l.\"SKLADISTE\" = "
            "r.\"SKLADISTE\" AND l.\"IRA\" = r.\"IRA\" AND l.\"GODINA\" = r.\"GODINA\" AND "
            "l.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" WHERE r.\"GODINA\" = ? AND r.\"STORNO\" = "
            "FALSE AND r.\"SIFRA PARTNERA\" IS NOT NULL"));
        s.Exec({year});
        std::map<std::tuple<int, int, int>, std::pair<int, MoneyTotal>> invoices;
        while (s.Next()) {
            auto& invoice = invoices[{s.Int(0), s.Int(1), s.Int(2)}];
            invoice.first = s.Int(3);
            if (!s.IsNull(4)) {
                limits::RequireNumber(s.Double(4), limits::NumberKind::Amount,
                                      QStringLiteral("Iznos računa"));
                invoice.second.Add(s.Double(4));
            }
        }
        for (const auto& [key, invoice] : invoices) {
            sums[{std::get<0>(key), invoice.first}] += payments::Cents(invoice.second.Value());
        }
    }
    AddRows(db,
            QStringLiteral("SELECT \"Skladiste\", \"Partner\", \"Iznos\" FROM \"UPLATE\" WHERE "
                           "\"Godina\" = ? AND \"Partner\" IS NOT NULL"),
            year, sums, -1, false);
    return ToBalances(sums);
}

std::vector<Balance> SupplierBalances(Database& db, int year) {
    std::map<BalanceKey, qint64> sums;
    AddRows(db,
            QStringLiteral("SELECT NULL, \"Partner\", \"Duguje\", \"Potražuje\" FROM "
                           "\"DOBAVLJACI POCETNO STANJE\" WHERE \"Godina\" = ?"),
            year, sums, 1, true);
    AddRows(db,
            QStringLiteral("SELECT NULL, \"Šifra dobavljača\", \"Iznos računa sa porezom\" FROM "
                           "\"KNJIGE_ULAZNIH_RACUNA\" WHERE \"GODINA\" = ? AND \"Šifra "
                           "dobavljača\" IS NOT NULL"),
            year, sums, -1, false);
    AddRows(db,
            QStringLiteral("SELECT NULL, \"Partner\", \"Iznos\" FROM \"UPLATE_URA\" WHERE "
                           "\"Godina\" = ? AND \"Partner\" IS NOT NULL"),
            year, sums, 1, false);
    return ToBalances(sums);
}

int WriteBalances(Database& db, const QString& table, const std::vector<Balance>& balances,
                  int year, const QDate& date) {
    Statement insert = db.Prepare(QStringLiteral("INSERT INTO ") + Quoted(table) +
                                  QStringLiteral(" (\"Skladiste\", \"Godina\", \"Partner\", "
                                                 "\"Datum\", \"Opis\", \"Duguje\", \"Potražuje\") "
                                                 "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const Balance& b : balances) {
        const double amount = static_cast<double>(std::llabs(b.cents)) / 100.0;
        insert.Exec({b.warehouse, year, b.partner, date, OpeningDescription(),
                     b.cents > 0 ? amount : 0.0, b.cents < 0 ? amount : 0.0});
    }
    return static_cast<int>(balances.size());
}

// ---- the new year -----------------------------------------------------------------------

struct Closing {
    OpeningStock stock;
    std::vector<Balance> customers;
    std::vector<Balance> suppliers;
};

Closing ReadClosing(Database& db, const Years& years) {
    return {ReadOpeningStock(db, years.oldYear, years.method), CustomerBalances(db, years.oldYear),
            SupplierBalances(db, years.oldYear)};
}

void RefuseWhenDone(Database& db, int year) {
    const bool receipts =
        db.Scalar(QStringLiteral("SELECT 1 FROM \"PRIMKE\" p JOIN \"PARTNERI\" d ON d.\"SIFRA\" = "
                                 "p.\"SIFRA DOBAVLJACA\" WHERE p.\"GODINA\" = ? AND "
                                 "p.\"DOKUMENT DOBAVLJACA\" = ? AND d.\"NAZIV\" = ? LIMIT 1"),
                  {year, OpeningDocument(), TransferPartnerName()})
            .isValid();
    const bool balances = db.Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI POCETNO STANJE\" "
                                                   "WHERE \"Godina\" = ? UNION ALL SELECT 1 FROM "
                                                   "\"DOBAVLJACI POCETNO STANJE\" WHERE "
                                                   "\"Godina\" = ? LIMIT 1"),
                                    {year, year})
                              .isValid();
    if (receipts || balances) {
        throw UserError(AlreadyDoneMessage(year));
    }
}

// Under FIFO the lots are issued in receipt-number order. Opening receipts posted after the new
// year's own receipts would get the higher numbers, so the old stock would be issued after the
// new; and documents that already took stock of the new year did so without the opening lots.
// The pooled methods keep one lot per article, which the opening quantity simply joins.
void RefuseFifoYearWithDocuments(Database& db, const Years& years) {
    if (years.method != StockMethod::Fifo) {
        return;
    }
    const bool documents =
        db.Scalar(QStringLiteral("SELECT 1 FROM \"PRIMKE\" WHERE \"GODINA\" = ? UNION ALL SELECT "
                                 "1 FROM \"NABAVE\" WHERE \"GODINA\" = ? UNION ALL SELECT 1 FROM "
                                 "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"GODINA\" = ? LIMIT 1"),
                  {years.newYear, years.newYear, years.newYear})
            .isValid();
    if (documents) {
        throw UserError(FifoYearHasDocumentsMessage(years.newYear));
    }
}

void Report(const Steps& steps, const QString& step, int done, int total) {
    if (steps) {
        steps(step, done, total);
    }
}

Closing ReadClosingReported(Database& db, const Years& years, const Steps& steps) {
    Report(steps, QStringLiteral("Zaključno stanje godine ") + QString::number(years.oldYear), 0,
           0);
    return ReadClosing(db, years);
}

Outcome OpenYear(Database& db, const Years& years, const QDate& date, const Closing& closing,
                 bool severalYears, const Checkpoint& checkpoint, const Steps& steps) {
    Outcome out;
    out.oldYear = years.oldYear;
    out.newYear = years.newYear;
    const int partner = TransferPartner(db);
    int total = 0;
    for (const auto& [warehouse, receipts] : closing.stock) {
        total += static_cast<int>(receipts.size());
    }
    for (const auto& [warehouse, receipts] : closing.stock) {
        const QString step =
            QStringLiteral("Početno stanje zaliha, skladište ") + QString::number(warehouse);
        for (const auto& lines : receipts) {
            PostOpeningReceipt(db, warehouse, years, date, partner, lines);
            ++out.receipts;
            out.lots += static_cast<int>(lines.size());
            Report(steps, step, out.receipts, total);
        }
    }
    if (checkpoint) {
        checkpoint("stock-posted");
    }
    const QString balances = QStringLiteral("Početna stanja kupaca i dobavljača");
    Report(steps, balances, 0, 2);
    out.customers = WriteBalances(db, QStringLiteral("PARTNERI POCETNO STANJE"), closing.customers,
                                  years.newYear, date);
    Report(steps, balances, 1, 2);
    out.suppliers = WriteBalances(db, QStringLiteral("DOBAVLJACI POCETNO STANJE"),
                                  closing.suppliers, years.newYear, date);
    Report(steps, balances, 2, 2);
    SetConfigValue(db, QStringLiteral("Godina koja se knjiži"), QString::number(years.newYear));
    SetConfigValue(db, QStringLiteral("Baza sa više godina"),
                   severalYears ? QStringLiteral("DA") : QStringLiteral("NE"));
    db.Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"AktualnaGodina\" = ?"), {years.newYear});
    return out;
}

// Copies every row of a table into the same table of another company, as a company copy copies
// it; the target's own rows go first. A table one of the two lacks is left alone.
void CopyRows(Database& source, Database& target, const QString& table) {
    if (source.TableExists(table) && target.TableExists(table)) {
        companycopy::CopyTableRows(source, target, table);
    }
}

void RemoveWithSidecars(const QString& path) {
    compaction::RemoveFileWithJournals(path);
    QFile::remove(CompanyLock::LockPath(path));
}

// The new file and its detail file under their temporary names until the transfer is done.
class Unfinished {
public:
    explicit Unfinished(QString path) : m_path(std::move(path)) { Remove(); }
    ~Unfinished() {
        if (!m_done) {
            Remove();
        }
    }
    Unfinished(const Unfinished&) = delete;
    Unfinished& operator=(const Unfinished&) = delete;
    void Done() { m_done = true; }

private:
    void Remove() {
        RemoveWithSidecars(m_path);
        RemoveWithSidecars(CompanySchema::DefaultDetailPath(m_path));
    }
    QString m_path;
    bool m_done = false;
};

bool SamePath(const QString& a, const QString& b) {
    const QFileInfo x(a);
    const QFileInfo y(b);
    const QString cx = x.canonicalFilePath();
    return (!cx.isEmpty() && cx == y.canonicalFilePath()) ||
           x.absoluteFilePath() == y.absoluteFilePath();
}

}  // namespace

void CheckNewFile(Database& source, const QString& target) {
    if (target.trimmed().isEmpty()) {
        throw UserError(QStringLiteral("Nije upisano ime nove datoteke."));
    }
    if (SamePath(source.Path(), target)) {
        throw UserError(SameFileMessage());
    }
    if (QFileInfo::exists(target) || QFileInfo::exists(CompanySchema::DefaultDetailPath(target))) {
        throw UserError(ExistingFileMessage());
    }
}

Outcome IntoNewFile(Database& source, const QDate& date, const QString& target,
                    const Checkpoint& checkpoint, const Steps& steps) {
    CheckNewFile(source, target);
    // The old year is read under the company's write lock, so it is one consistent state; the
    // source is not written (its guard rolls back).
    Transaction reading(source);
    const Years years = ReadYears(source, date);
    const Closing closing = ReadClosingReported(source, years, steps);

    const QString file = target + QStringLiteral(".prijenos.db");
    Unfinished unfinished(file);
    CompanySchema::CreateCompany(file, years.newYear);
    Outcome out;
    {
        auto opened = Database::Open(file, QString());
        if (opened.status != Database::OpenStatus::Ok) {
            throw DbError(file,
                          QStringLiteral("Nova datoteka se ne može otvoriti: ") + opened.detail);
        }
        Database& db = *opened.db;
        Transaction tx(db);
        const QStringList& tables = CarriedTables();
        for (int i = 0; i < tables.size(); ++i) {
            CopyRows(source, db, tables.at(i));
            Report(steps, QStringLiteral("Prepisivanje šifarnika"), i + 1,
                   static_cast<int>(tables.size()));
        }
        // The company's password goes with it.
        db.SetMeta(QStringLiteral("LOZINKA"), source.Meta(QStringLiteral("LOZINKA")));
        if (checkpoint) {
            checkpoint("registers-copied");
        }
        out = OpenYear(db, years, date, closing, false, checkpoint, steps);
        tx.Commit();
    }
    const QString detail = CompanySchema::DefaultDetailPath(target);
    if (QFileInfo::exists(target) || QFileInfo::exists(detail)) {
        // Made meanwhile by someone else: never overwritten.
        throw UserError(ExistingFileMessage());
    }
    if (!QFile::rename(CompanySchema::DefaultDetailPath(file), detail)) {
        throw DbError(target, QStringLiteral("Datoteka se ne može zapisati: ") + detail);
    }
    if (!QFile::rename(file, target)) {
        QFile::remove(detail);
        throw DbError(target, QStringLiteral("Datoteka se ne može zapisati: ") + target);
    }
    QFile::remove(CompanyLock::LockPath(file));
    unfinished.Done();
    return out;
}

Outcome IntoSameFile(Database& db, const QDate& date, const Checkpoint& checkpoint,
                     const Steps& steps) {
    Transaction tx(db);
    const Years years = ReadYears(db, date);
    RefuseWhenDone(db, years.newYear);
    RefuseFifoYearWithDocuments(db, years);
    const Closing closing = ReadClosingReported(db, years, steps);
    Outcome out = OpenYear(db, years, date, closing, true, checkpoint, steps);
    tx.Commit();
    return out;
}

std::optional<Outcome> RunTransfer(Session& session, Prompter& prompter, const QString& folder,
                                   const std::function<void(bool)>& busy, const Steps& steps) {
    const QString title = QStringLiteral("Prijenos u novu godinu");
    if (!prompter.AskYesNo(StartQuestion(), title, false)) {
        return std::nullopt;
    }
    Database& db = session.Db();
    const QDate today = QDate::currentDate();
    QDate date;
    QString preset = QDate(session.businessYear + 1, 1, 1).toString(QStringLiteral("dd.MM.yyyy"));
    for (;;) {
        const std::optional<QString> typed = prompter.AskText(DatePrompt(), title, preset);
        if (!typed) {
            return std::nullopt;
        }
        preset = *typed;
        const std::optional<QDate> parsed = inputrules::ParseDate(*typed, today);
        if (!parsed) {
            prompter.Inform(QStringLiteral("Nije ispravno upisan datum."), title);
            continue;
        }
        try {
            ReadYears(db, *parsed);
        } catch (const UserError& e) {
            prompter.Inform(e.message(), title);
            continue;
        }
        date = *parsed;
        break;
    }
    const bool severalYears = prompter.AskYesNo(SeveralYearsQuestion(), title, false);
    QString target;
    if (!severalYears) {
        for (;;) {
            target = prompter.ChooseFileToSave(NewFileDialogTitle(), NewFileFilter(), folder,
                                               QStringLiteral("mdb"));
            if (target.isEmpty()) {
                return std::nullopt;
            }
            try {
                CheckNewFile(db, target);
                break;
            } catch (const UserError& e) {
                prompter.Inform(e.message(), title);
            }
        }
    }
    Outcome out;
    QString refusal;
    if (busy) {
        busy(true);
    }
    try {
        out = severalYears ? IntoSameFile(db, date, {}, steps)
                           : IntoNewFile(db, date, target, {}, steps);
    } catch (const UserError& e) {
        refusal = e.message();
    } catch (const DbError& e) {
        refusal = DbError::DescribedText(e.kind(), e.driverText());
    }
    if (busy) {
        busy(false);
    }
    if (!refusal.isEmpty()) {
        prompter.Inform(refusal, title);
        return std::nullopt;
    }
    if (severalYears) {
        session.businessYear = out.newYear;
        session.company.businessYear = out.newYear;
        session.company.multiYearDatabase = true;
    }
    prompter.Inform(DoneMessage(), title);
    return out;
}

}  // namespace zodra::yearend

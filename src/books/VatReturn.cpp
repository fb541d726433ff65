#include "books/VatReturn.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <map>
#include <tuple>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "reports/AmountInWords.h"
#include "reports/ValueFormat.h"

namespace zodra::books {

namespace {

// Where output invoices are read from. Posted invoices live in RACUNI; in summing mode the
// register's sales wait in the detail tables until the day end sums them into one summary
// invoice of RACUNI and marks them SUMARNI. Until then they are read from the detail tables,
// afterwards from the summary only, so every sale counts exactly once. Collections of detail
// invoices are read until the summing carries them over to the summary ("Sifra uplate").
struct InvoiceSource {
    const char* header;
    const char* lines;
    const char* collections;
    const char* headerFilter;      // on r: which headers count
    const char* collectionFilter;  // on n: which collections count
};

const InvoiceSource kPostedInvoices{"RACUNI", "STAVKE_RACUNA", "NAPLATA", "", ""};
const InvoiceSource kDetailInvoices{"RACUNI_DETALJNO", "STAVKE_RACUNA_DETALJNO", "NAPLATA_DETALJNO",
                                    " AND r.\"SUMARNI\" = FALSE",
                                    " AND n.\"Sifra uplate\" IS NULL"};

QString Name(const char* name) {
    return QLatin1Char('"') + QString::fromUtf8(name) + QLatin1Char('"');
}

// Invoices and their lines joined on the invoice key.
QString LinesOfInvoices(const InvoiceSource& src) {
    return QStringLiteral("FROM ") + Name(src.lines) + QStringLiteral(" s JOIN ") +
           Name(src.header) +
           QStringLiteral(
               " r ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND r.\"IRA\" = s.\"IRA\" AND "
               "r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = s.\"BROJ_RACUNA\" ");
}

const char* const kFigureGroup =
    " GROUP BY s.\"TIP_OPOREZIVANJA\", s.\"POREZ_%\", s.\"GRUPA_POREZA\"";

void AddOutput(VatForm& form, const VatLineAssignment& assign, const VatOutputFigure& f) {
    for (const QString& code : assign.OutputLines(f)) {
        form.Add(code, f.base, f.tax);
    }
}

void AddInput(VatForm& form, const VatLineAssignment& assign, const VatInputFigure& f) {
    for (const QString& code : assign.InputLines(f)) {
        form.Add(code, f.base, f.tax);
    }
}

// Invoice basis: the lines of invoices dated in the range, less the lines of invoices
// cancelled in the range (whenever they were issued).
void OutputOnInvoiceDates(Database& db, const InvoiceSource& src, int year, const QDate& from,
                          const QDate& to, VatForm& form, const VatLineAssignment& assign) {
    const QString select = QStringLiteral(
                               "SELECT s.\"TIP_OPOREZIVANJA\", s.\"POREZ_%\", s.\"GRUPA_POREZA\", "
                               "SUM(s.\"VRIJEDNOST_\"), SUM(s.\"POREZ_IZNOS\") ") +
                           LinesOfInvoices(src);
    const QString filter = QString::fromUtf8(src.headerFilter);
    const QString issued = select +
                           QStringLiteral(
                               "WHERE r.\"GODINA\" = ? AND r.\"DATUM\" >= ? AND "
                               "r.\"DATUM\" <= ?") +
                           filter + QLatin1String(kFigureGroup);
    const QString cancelled = select +
                              QStringLiteral(
                                  "WHERE r.\"GODINA\" = ? AND r.\"STORNO\" = TRUE AND "
                                  "r.\"DATUM_STORNA\" >= ? AND r.\"DATUM_STORNA\" <= ?") +
                              filter + QLatin1String(kFigureGroup);
    for (const auto& [sql, sign] : {std::pair{issued, 1.0}, std::pair{cancelled, -1.0}}) {
        Statement s(db, sql);
        s.Exec({year, from, to});
        while (s.Next()) {
            AddOutput(form, assign,
                      {s.Int(0), s.Double(1), s.Text(2), sign * s.Double(3), sign * s.Double(4)});
        }
    }
}

using InvoiceKey = std::tuple<int, int, int, int>;

// Collection basis: every collection of an invoice dated in the range takes its share of each
// tax treatment and rate of the invoice: base = paid × B / U, tax = paid × T / U, U being the
// invoice's gross total. An invoice whose total is 0 has no shares: what was collected on it is
// written as a base with no tax.
void OutputOnCollections(Database& db, const InvoiceSource& src, int year, const QDate& from,
                         const QDate& to, VatForm& form, const VatLineAssignment& assign) {
    const QString collections = Name(src.collections);
    const QString collectionFilter = QString::fromUtf8(src.collectionFilter);
    std::map<InvoiceKey, double> paid;
    {
        Statement s(db, QStringLiteral(
                            "SELECT n.\"Skladište\", n.\"IRA\", n.\"Godina\", n.\"Broj računa\", "
                            "SUM(n.\"Iznos\") FROM ") +
                            collections +
                            QStringLiteral(" n WHERE n.\"Godina\" = ? AND n.\"Datum\" >= ? AND "
                                           "n.\"Datum\" <= ?") +
                            collectionFilter +
                            QStringLiteral(" GROUP BY n.\"Skladište\", n.\"IRA\", n.\"Godina\", "
                                           "n.\"Broj računa\""));
        s.Exec({year, from, to});
        while (s.Next()) {
            paid[{s.Int(0), s.Int(1), s.Int(2), s.Int(3)}] += s.Double(4);
        }
    }
    struct Group {
        VatOutputFigure figure;
        int book = 0;
    };
    std::map<InvoiceKey, std::vector<Group>> groups;
    Statement s(
        db,
        QStringLiteral(
            "SELECT s.\"SKLADISTE\", s.\"IRA\", s.\"GODINA\", s.\"BROJ_RACUNA\", "
            "s.\"TIP_OPOREZIVANJA\", s.\"POREZ_%\", s.\"GRUPA_POREZA\", SUM(s.\"VRIJEDNOST_\"), "
            "SUM(s.\"POREZ_IZNOS\") FROM ") +
            Name(src.lines) +
            QStringLiteral(" s WHERE s.\"GODINA\" = ? AND EXISTS (SELECT 1 FROM ") + collections +
            QStringLiteral(
                " n WHERE n.\"Skladište\" = s.\"SKLADISTE\" AND n.\"IRA\" = s.\"IRA\" AND "
                "n.\"Godina\" = s.\"GODINA\" AND n.\"Broj računa\" = s.\"BROJ_RACUNA\" AND "
                "n.\"Datum\" >= ? AND n.\"Datum\" <= ?") +
            collectionFilter +
            QStringLiteral(
                ") GROUP BY s.\"SKLADISTE\", s.\"IRA\", s.\"GODINA\", s.\"BROJ_RACUNA\", "
                "s.\"TIP_OPOREZIVANJA\", s.\"POREZ_%\", s.\"GRUPA_POREZA\""));
    s.Exec({year, from, to});
    while (s.Next()) {
        groups[{s.Int(0), s.Int(1), s.Int(2), s.Int(3)}].push_back(
            {{s.Int(4), s.Double(5), s.Text(6), s.Double(7), s.Double(8)}, s.Int(1)});
    }
    for (const auto& [key, list] : groups) {
        const auto p = paid.find(key);
        if (p == paid.end() || list.empty()) {
            continue;
        }
        double gross = 0;
        for (const Group& g : list) {
            gross += g.figure.base + g.figure.tax;
        }
        if (gross == 0) {
            VatOutputFigure f = list.front().figure;
            f.base = p->second;
            f.tax = 0;
            AddOutput(form, assign, f);
            continue;
        }
        for (const Group& g : list) {
            // Domestic exempt supplies of output book 3 are not counted on collections.
            if (g.figure.treatment == 14 && g.book == 3) {
                continue;
            }
            VatOutputFigure f = g.figure;
            f.base = p->second * g.figure.base / gross;
            f.tax = p->second * g.figure.tax / gross;
            AddOutput(form, assign, f);
        }
    }
}

// The rate columns of the input book ("Osnovica" + rate, with its total and deductible tax),
// as the book's table has them.
std::vector<QString> InputRateColumns(Database& db) {
    static const QRegularExpression rateColumn(QStringLiteral("^Osnovica([0-9]+)$"));
    std::vector<QString> rates;
    const QStringList& columns = db.Columns(QStringLiteral("KNJIGE_ULAZNIH_RACUNA"));
    for (const QString& c : columns) {
        const QRegularExpressionMatch m = rateColumn.match(c);
        if (m.hasMatch() && m.captured(1) != QLatin1String("0") &&
            columns.contains(QStringLiteral("PretporezUkupno") + m.captured(1)) &&
            columns.contains(QStringLiteral("PretporezOdbiti") + m.captured(1))) {
            rates.push_back(m.captured(1));
        }
    }
    return rates;
}

// Purchases whose tax the buyer reckons himself (reverse charge, acquisitions and services
// from abroad): owed and deducted on the invoice's date, whatever its type. Imports are
// deducted when the tax paid at customs is paid.
bool SelfAssessed(PurchaseKind kind) {
    return kind != PurchaseKind::Domestic && kind != PurchaseKind::Import;
}

struct InputRow {
    PurchaseKind kind = PurchaseKind::Domestic;
    QString type;
    double total = 0;
    double paid = 0;  // the payment, for rows read through their payments
    std::vector<std::tuple<double, double, double, double>> rates;  // rate, base, total, deductible
};

std::vector<InputRow> ReadInputRows(Database& db, int year, const QDate& from, const QDate& to,
                                    bool throughPayments) {
    const std::vector<QString> rates = InputRateColumns(db);
    QString columns =
        QStringLiteral("k.\"Vrsta nabave\", k.\"Tip računa\", k.\"Iznos računa sa porezom\"");
    for (const QString& r : rates) {
        columns += QStringLiteral(
                       ", k.\"Osnovica%1\", k.\"PretporezUkupno%1\", "
                       "k.\"PretporezOdbiti%1\"")
                       .arg(r);
    }
    QString sql;
    if (throughPayments) {
        sql = QStringLiteral("SELECT ") + columns +
              QStringLiteral(
                  ", p.\"Iznos\" FROM \"PLACANJA\" p JOIN \"KNJIGE_ULAZNIH_RACUNA\" k "
                  "ON k.\"URA\" = p.\"URA\" AND k.\"GODINA\" = p.\"GODINA\" AND "
                  "k.\"Redni broj\" = p.\"Redni broj knjige UFA\" WHERE p.\"GODINA\" = ? "
                  "AND p.\"Datum\" >= ? AND p.\"Datum\" <= ?");
    } else {
        sql = QStringLiteral("SELECT ") + columns +
              QStringLiteral(
                  ", 0 FROM \"KNJIGE_ULAZNIH_RACUNA\" k WHERE k.\"GODINA\" = ? AND "
                  "k.\"Račun datum\" >= ? AND k.\"Račun datum\" <= ?");
    }
    Statement s(db, sql);
    s.Exec({year, from, to});
    std::vector<InputRow> rows;
    const int last = 3 + static_cast<int>(rates.size()) * 3;
    while (s.Next()) {
        const int kind = s.Int(0);
        InputRow row{kind >= 0 && kind < kPurchaseKindCount ? static_cast<PurchaseKind>(kind)
                                                            : PurchaseKind::Domestic,
                     s.Text(1),
                     s.Double(2),
                     s.Double(last),
                     {}};
        for (int k = 0; k < static_cast<int>(rates.size()); ++k) {
            row.rates.emplace_back(rates.at(static_cast<size_t>(k)).toDouble(), s.Double(3 + k * 3),
                                   s.Double(4 + k * 3), s.Double(5 + k * 3));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// The deductible part of a row at each rate: the base in the proportion of the deductible
// tax to the total tax, scaled by the payment's share of the invoice when read through a
// payment. A payment of an invoice whose total is 0 has no share: it is written as a base with
// no tax at the row's first deductible rate.
void AddInputRow(VatForm& form, const VatLineAssignment& assign, const InputRow& row,
                 bool throughPayment) {
    const PurchaseKind kind = row.kind;
    if (throughPayment && row.total == 0) {
        for (const auto& [rate, base, total, deductible] : row.rates) {
            if (deductible != 0) {
                AddInput(form, assign, {kind, rate, row.paid, 0});
                return;
            }
        }
        return;
    }
    const double share = throughPayment ? row.paid / row.total : 1.0;
    for (const auto& [rate, base, total, deductible] : row.rates) {
        // The buyer owes the whole tax of a purchase he taxes himself, and deducts his part.
        if (base != 0 || total != 0) {
            for (const QString& code :
                 assign.OwedLines({kind, rate, base * share, total * share})) {
                form.Add(code, base * share, total * share);
            }
        }
        if (deductible == 0) {
            continue;
        }
        const double deductibleBase = total != 0 ? base * deductible / total : base;
        AddInput(form, assign, {kind, rate, deductibleBase * share, deductible * share});
    }
}

void InputFigures(Database& db, int year, const QDate& from, const QDate& to, bool collections,
                  VatForm& form, const VatLineAssignment& assign) {
    for (const InputRow& row : ReadInputRows(db, year, from, to, false)) {
        // On invoice dates: domestic R-1 invoices and the purchases taxed by the buyer.
        const bool byDate =
            !collections && (SelfAssessed(row.kind) || (row.kind == PurchaseKind::Domestic &&
                                                        row.type == QLatin1String("R-1")));
        if (byDate) {
            AddInputRow(form, assign, row, false);
        }
    }
    for (const InputRow& row : ReadInputRows(db, year, from, to, true)) {
        const bool byPayment =
            collections || row.kind == PurchaseKind::Import ||
            (row.kind == PurchaseKind::Domestic && row.type != QLatin1String("R-1"));
        if (byPayment) {
            AddInputRow(form, assign, row, true);
        }
    }
}

class OlderAssignment : public VatLineAssignment {
public:
    explicit OlderAssignment(VatFormGeneration g)
        : m_before2012(g == VatFormGeneration::Before2012) {}

    QStringList OutputLines(const VatOutputFigure& f) const override {
        switch (f.treatment) {
            case 7:
                return {QStringLiteral("I.1")};
            case 8:
                return {QStringLiteral("I.2.1")};
            case 15:
                return {QStringLiteral("I.2.2")};
            case 14:
                return {QStringLiteral("I.2.3")};
            case 9:
                return {QStringLiteral("I.2.4")};
            case 13:
                return {QStringLiteral("I.3")};
            case 10:
            case 12:
                return Taxed(f.rate);
            default:
                return {};
        }
    }

    // The forms before 2013 know domestic purchases, imports and services bought abroad; a
    // domestic reverse charge is deducted as a domestic purchase and goods from the EU as an
    // import.
    static PurchaseKind Older(PurchaseKind kind) {
        switch (kind) {
            case PurchaseKind::Domestic:
            case PurchaseKind::DomesticReverse:
                return PurchaseKind::Domestic;
            case PurchaseKind::EuGoods:
            case PurchaseKind::Import:
                return PurchaseKind::Import;
            case PurchaseKind::EuServices:
            case PurchaseKind::ForeignServices:
                return PurchaseKind::ForeignServices;
        }
        return PurchaseKind::Domestic;
    }

    QStringList InputLines(const VatInputFigure& f) const override {
        const int rate = static_cast<int>(std::lround(f.rate));
        const PurchaseKind kind = Older(f.kind);
        if (m_before2012) {
            switch (kind) {
                case PurchaseKind::Domestic:
                    return Pick(rate, {{10, "III.1"}, {22, "III.2"}, {23, "III.2a"}});
                case PurchaseKind::Import:
                    return Pick(rate, {{22, "III.3"}, {23, "III.3"}});
                case PurchaseKind::ForeignServices:
                    return Pick(rate, {{10, "III.4"}, {22, "III.5"}, {23, "III.5a"}});
                default:
                    return {};
            }
        }
        switch (kind) {
            case PurchaseKind::Domestic:
                return Pick(rate, {{10, "III.1"}, {22, "III.2"}, {23, "III.2"}, {25, "III.3"}});
            case PurchaseKind::Import:
                return Pick(rate, {{22, "III.2"}, {23, "III.2"}, {25, "III.4"}});
            case PurchaseKind::ForeignServices:
                return Pick(rate, {{10, "III.5"}, {22, "III.6"}, {23, "III.6"}, {25, "III.7"}});
            default:
                return {};
        }
    }

private:
    static QStringList Pick(int rate, std::initializer_list<std::pair<int, const char*>> table) {
        for (const auto& [r, code] : table) {
            if (r == rate) {
                return {QString::fromLatin1(code)};
            }
        }
        return {};
    }

    QStringList Taxed(double rateValue) const {
        const int rate = static_cast<int>(std::lround(rateValue));
        if (m_before2012) {
            return Pick(rate, {{10, "II.1"}, {22, "II.2"}, {23, "II.2a"}});
        }
        return Pick(rate, {{10, "II.1"}, {22, "II.2"}, {23, "II.2"}, {25, "II.3"}});
    }

    bool m_before2012;
};

QString Text(const QVariant& v) {
    return sqlvalue::ToText(v);
}

// The open parts of the partner payments of `payments` dated in the range: each payment less
// what of it closes invoices (the rows of `closings` pointing at it by `link`); payments closed
// in full, or beyond, have none.
double UnclosedPayments(Database& db, const char* payments, const char* closings, const char* link,
                        const QDate& from, const QDate& to) {
    const QString sql =
        QStringLiteral(
            "SELECT SUM(o.\"NEZATVORENO\") FROM (SELECT u.\"Iznos\" - COALESCE((SELECT "
            "SUM(c.\"Iznos\") FROM \"%2\" c WHERE c.\"%3\" = u.\"Sifra\"), 0) AS "
            "\"NEZATVORENO\" FROM \"%1\" u WHERE u.\"Datum\" >= ? AND u.\"Datum\" <= ?) o WHERE "
            "o.\"NEZATVORENO\" > 0.005")
            .arg(QString::fromLatin1(payments), QString::fromLatin1(closings),
                 QString::fromUtf8(link));
    return sqlvalue::ToDouble(db.Scalar(sql, {from, to}));
}

}  // namespace

std::unique_ptr<VatLineAssignment> CurrentVatAssignment(Database& db);

std::unique_ptr<VatLineAssignment> VatAssignmentFor(Database& db, VatFormGeneration generation) {
    if (generation == VatFormGeneration::Current) {
        return CurrentVatAssignment(db);
    }
    return std::make_unique<OlderAssignment>(generation);
}

QString VatRangeRefusal() {
    return QStringLiteral("Ograničenja nisu ispravno upisana.");
}

QString VatDeleteQuestion() {
    return QStringLiteral("Želite li izbrisati PDV obrazac?");
}

QString VatMissingReturnMessage(int number) {
    return QStringLiteral("Ne postoji proknjiženi PDV obrazac broj ") + QString::number(number);
}

QString VatUnclosedCustomerPayments(const QString& amount) {
    return QStringLiteral("Za ovaj period postoji ") + amount +
           QStringLiteral(" nezatvorenih uplata kupaca!");
}

QString VatUnclosedSupplierPayments(const QString& amount) {
    return QStringLiteral("Za ovaj period postoji ") + amount +
           QStringLiteral(" nezatvorenih uplata dobavljačima!");
}

QString VatPrintTitle(int number) {
    return QStringLiteral("Ispis PDV obrasca br. ") + QString::number(number);
}

VatReturn ComputeVatReturn(Database& db, int year, const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || to < from) {
        throw UserError(VatRangeRefusal());
    }
    const VatFormGeneration generation = VatGenerationFor(to);
    const std::unique_ptr<VatLineAssignment> assign = VatAssignmentFor(db, generation);
    VatReturn vat;
    vat.year = year;
    vat.from = from;
    vat.to = to;
    vat.form = VatForm(generation, assign->LineRates());
    {
        Statement s(db, QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"DJELATNOST\", "
                                       "\"OIB\", \"OZNAKA_NA_RACUNU\" FROM \"PODACI_FIRME\" "
                                       "ORDER BY \"ID\""));
        s.Exec();
        if (s.Next()) {
            vat.taxpayer =
                s.Text(0) + QLatin1Char('\n') + s.Text(1) + QLatin1Char('\n') + s.Text(2);
            vat.taxOffice = s.Text(2);
            vat.activity = s.Text(3);
            vat.oib = s.Text(4).trimmed();
            vat.collectionBasis = s.Text(5).trimmed() == QLatin1String("R-2");
        }
    }
    // Sales whose detail rows another workstation committed but has not yet written into the
    // detail tables are brought in first.
    db.ApplyPendingDetail();
    const bool detail = db.TableExists(QStringLiteral("RACUNI_DETALJNO"));
    for (const InvoiceSource* src : {&kPostedInvoices, &kDetailInvoices}) {
        if (src == &kDetailInvoices && !detail) {
            continue;
        }
        if (vat.collectionBasis) {
            OutputOnCollections(db, *src, year, from, to, vat.form, *assign);
        } else {
            OutputOnInvoiceDates(db, *src, year, from, to, vat.form, *assign);
        }
    }
    InputFigures(db, year, from, to, vat.collectionBasis, vat.form, *assign);
    vat.form.ComputeTotals();
    if (vat.collectionBasis) {
        const reports::ValueFormat format(HomeCurrencyName(db));
        const double customers =
            UnclosedPayments(db, "UPLATE", "NAPLATA", "Sifra uplate", from, to);
        const double suppliers =
            UnclosedPayments(db, "UPLATE_URA", "PLACANJA", "Sifra uplate URA", from, to);
        if (RoundMoney(customers) != 0) {
            vat.warnings << VatUnclosedCustomerPayments(
                format.Format(customers, QStringLiteral("Currency")));
        }
        if (RoundMoney(suppliers) != 0) {
            vat.warnings << VatUnclosedSupplierPayments(
                format.Format(suppliers, QStringLiteral("Currency")));
        }
    }
    return vat;
}

int StoreVatReturn(Database& db, const VatReturn& vat, const QString& user) {
    // The form holds 15 digits with two decimals.
    constexpr double kLimit = 1e13;
    // The lines typed or computed are named before the totals that a bad one spoils.
    for (const bool totals : {false, true}) {
        for (const VatLine& line : vat.form.Lines()) {
            if ((line.def.kind == VatLineKind::Total) != totals) {
                continue;
            }
            for (double v : {line.base, line.tax}) {
                if (!std::isfinite(v) || std::fabs(v) >= kLimit) {
                    throw UserError(QStringLiteral("Iznos u retku ") + line.def.code +
                                    QStringLiteral(" PDV obrasca nije ispravan broj."));
                }
            }
        }
    }
    if (!vat.from.isValid() || !vat.to.isValid() || vat.to < vat.from) {
        throw UserError(VatRangeRefusal());
    }
    Transaction tx(db);
    const int number =
        sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"Rbr\") FROM \"PDV_OBRASCI\" WHERE "
                                                 "\"Godina\" = ?"),
                                  {vat.year})) +
        1;
    db.Exec(QStringLiteral("INSERT INTO \"PDV_OBRASCI\" (\"Godina\", \"Rbr\", \"OBRAZAC\", "
                           "\"DatumOd\", \"DatumDo\", \"NAPLATA\", \"PorezniObveznik\", "
                           "\"PoreznaIspostava\", \"SifraDjelatnosti\", \"OIB\", \"KORISNIK\", "
                           "\"SPREMLJENO\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {vat.year, number, VatGenerationCode(vat.form.Generation()), vat.from, vat.to,
             vat.collectionBasis, vat.taxpayer, vat.taxOffice, vat.activity, vat.oib, user,
             QDateTime::currentDateTime()});
    int order = 0;
    for (const VatLine& line : vat.form.Lines()) {
        ++order;
        db.Exec(QStringLiteral("INSERT INTO \"PDV_OBRASCI_STAVKE\" (\"Godina\", \"Rbr\", "
                               "\"RBR_STAVKE\", \"OZNAKA\", \"OPIS\", \"OSNOVICA\", \"POREZ\") "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {vat.year, number, order, line.def.code, line.def.label,
                 line.def.hasBase ? QVariant(line.base) : QVariant(QMetaType(QMetaType::Double)),
                 line.def.hasTax ? QVariant(line.tax) : QVariant(QMetaType(QMetaType::Double))});
    }
    tx.Commit();
    return number;
}

std::vector<VatReturnListRow> ListVatReturns(Database& db, int year) {
    Statement s(db, QStringLiteral("SELECT \"Rbr\", \"DatumOd\", \"DatumDo\", \"OBRAZAC\" FROM "
                                   "\"PDV_OBRASCI\" WHERE \"Godina\" = ? ORDER BY \"Rbr\""));
    s.Exec({year});
    std::vector<VatReturnListRow> rows;
    while (s.Next()) {
        rows.push_back({s.Int(0), sqlvalue::ToDate(s.Value(1)), sqlvalue::ToDate(s.Value(2)),
                        VatGenerationFromCode(s.Text(3)).value_or(VatFormGeneration::Current)});
    }
    return rows;
}

std::optional<VatReturn> LoadVatReturn(Database& db, int year, int number) {
    Statement h(db, QStringLiteral("SELECT \"OBRAZAC\", \"DatumOd\", \"DatumDo\", \"NAPLATA\", "
                                   "\"PorezniObveznik\", \"PoreznaIspostava\", "
                                   "\"SifraDjelatnosti\", \"OIB\" FROM \"PDV_OBRASCI\" WHERE "
                                   "\"Godina\" = ? AND \"Rbr\" = ?"));
    h.Exec({year, number});
    if (!h.Next()) {
        return std::nullopt;
    }
    const VatFormGeneration generation =
        VatGenerationFromCode(h.Text(0)).value_or(VatFormGeneration::Current);
    VatReturn vat;
    vat.year = year;
    vat.number = number;
    vat.from = sqlvalue::ToDate(h.Value(1));
    vat.to = sqlvalue::ToDate(h.Value(2));
    vat.collectionBasis = sqlvalue::ToBool(h.Value(3));
    vat.taxpayer = Text(h.Value(4));
    vat.taxOffice = Text(h.Value(5));
    vat.activity = Text(h.Value(6));
    vat.oib = Text(h.Value(7));
    h.Finish();
    vat.form = VatForm(generation, VatAssignmentFor(db, generation)->LineRates());
    Statement s(db, QStringLiteral("SELECT \"OZNAKA\", \"OSNOVICA\", \"POREZ\" FROM "
                                   "\"PDV_OBRASCI_STAVKE\" WHERE \"Godina\" = ? AND \"Rbr\" = ? "
                                   "ORDER BY \"RBR_STAVKE\""));
    s.Exec({year, number});
    while (s.Next()) {
        if (vat.form.Find(s.Text(0)) != nullptr) {
            vat.form.Set(s.Text(0), s.Double(1), s.Double(2));
        }
    }
    return vat;
}

void DeleteVatReturn(Database& db, int year, int number) {
    Transaction tx(db);
    const int removed =
        db.Exec(QStringLiteral("DELETE FROM \"PDV_OBRASCI\" WHERE \"Godina\" = ? AND \"Rbr\" = ?"),
                {year, number});
    if (removed == 0) {
        throw UserError(VatMissingReturnMessage(number));
    }
    db.Exec(
        QStringLiteral("DELETE FROM \"PDV_OBRASCI_STAVKE\" WHERE \"Godina\" = ? AND \"Rbr\" = ?"),
        {year, number});
    tx.Commit();
}

bool DeleteVatReturnAsked(Database& db, int year, int number, Prompter& prompter) {
    if (!prompter.AskYesNo(VatDeleteQuestion(), QStringLiteral("PDV obrasci"), false)) {
        return false;
    }
    DeleteVatReturn(db, year, number);
    return true;
}

reports::ReportRequest VatReturnReportRequest(Database& db, int year, int number) {
    const QVariant code = db.Scalar(
        QStringLiteral(
            "SELECT \"OBRAZAC\" FROM \"PDV_OBRASCI\" WHERE \"Godina\" = ? AND \"Rbr\" = ?"),
        {year, number});
    if (!code.isValid()) {
        throw UserError(VatMissingReturnMessage(number));
    }
    reports::ReportRequest request;
    request.reportFile =
        VatReportFile(VatGenerationFromCode(Text(code)).value_or(VatFormGeneration::Current));
    request.title = VatPrintTitle(number);
    request.selection.Where(QStringLiteral("PDV_OBRASCI.Godina"), reports::CompareOp::Equal, year)
        .Where(QStringLiteral("PDV_OBRASCI.Rbr"), reports::CompareOp::Equal, number);
    return request;
}

}  // namespace zodra::books

#include "transfer/DataTransfer.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <map>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptLimits.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptRow.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangePosting.h"

namespace zodra::transfer {

namespace {

// "primke" / "otpremnice": a document's genitive singular and the nominative plural alike.
QString Some(Kind kind) {
    return kind == Kind::Receipts ? QStringLiteral("primke") : QStringLiteral("otpremnice");
}
// "primki" / "otpremnica": the genitive plural.
QString Many(Kind kind) {
    return kind == Kind::Receipts ? QStringLiteral("primki") : QStringLiteral("otpremnica");
}

}  // namespace

QString SameDatabaseMessage() {
    return QStringLiteral("Polazna i odredišna baza nesmiju biti iste.");
}
QString MissingWarehouseMessage(const QString& name, Kind kind) {
    return QStringLiteral("Skladište pod nazivom '") + name +
           QStringLiteral("' nije upisano u bazi iz koje pokušavate prenesti ") + Some(kind) +
           QLatin1Char('.');
}
QString MissingPartnerMessage(const QString& name) {
    return QStringLiteral("Partner pod nazivom '") + name + QStringLiteral("' nije upisan.");
}
QString MissingArticleMessage(const QString& name) {
    return QStringLiteral("Artikal pod nazivom '") + name + QStringLiteral("' nije upisan.");
}
QString MissingPackagingMessage(const QString& name) {
    return QStringLiteral("Ambalaža pod nazivom '") + name + QStringLiteral("' nije upisan.");
}
QString MissingArticleGroupMessage(const QString& name) {
    return QStringLiteral("Grupa artikla pod nazivom '") + name + QStringLiteral("' nije upisana.");
}
QString MissingTaxGroupMessage(const QString& name) {
    return QStringLiteral("Grupa poreza pod nazivom '") + name + QStringLiteral("' nije upisana.");
}
QString NoReceiptsMessage() {
    return QStringLiteral("Nema primki za prijenos.");
}
QString UnfinishedReceiptMessage() {
    return QStringLiteral(
        "Primka u izradi ima stavke: proknjižite je ili obrišite prije donosa primki.");
}
QString MailPrompt(Kind kind) {
    return QStringLiteral("Unesite email primatelja ") + Many(kind) + QLatin1Char('.');
}
QString ReadQuestion(Kind kind) {
    return QStringLiteral("Želite li napraviti donos ") + Many(kind) + QLatin1Char('?');
}
QString WrittenMessage(Kind kind) {
    return kind == Kind::Receipts ? QStringLiteral("Primke uspješno snimljene.")
                                  : QStringLiteral("Otpremnice uspješno snimljene.");
}
QString FromNumberPrompt(bool reading, Kind kind) {
    return QStringLiteral("Upišite broj ") + Some(kind) +
           QStringLiteral(" od koje želite prijenos. ") +
           (reading ? QStringLiteral("Donos ") : QStringLiteral("Prijenos ")) + Many(kind) +
           QStringLiteral(" se radi samo za skladište u kojem se nalazite.");
}
QString ToNumberPrompt(Kind kind) {
    return QStringLiteral("Upišite broj ") + Some(kind) +
           QStringLiteral(" do koje želite prijenos. Prijenos ") + Many(kind) +
           QStringLiteral(" se radi samo za skladište u kojem se nalazite.");
}
QString NoDeliveriesMessage() {
    return QStringLiteral("Nema otpremnica za prijenos.");
}
QString UnfinishedPriceChangeMessage() {
    return QStringLiteral(
        "Izmjena cijena u izradi ima stavke: proknjižite je ili obrišite prije donosa "
        "otpremnica.");
}
QString NoStockMessage(const QString& articleName) {
    return QStringLiteral("Nedovoljna količina artikla '") + articleName +
           QStringLiteral("' na skladištu.");
}
QString DoneText(Kind kind, const Outcome& out) {
    const int n = static_cast<int>(out.numbers.size());
    return kind == Kind::Receipts
               ? QStringLiteral("Donos primki napravljen uspješno. Proknjižene primke: %1.").arg(n)
               : QStringLiteral(
                     "Donos otpremnica napravljen uspješno. Proknjižene izmjene cijena: %1.")
                     .arg(n);
}
QString DeliveryPriceChangeDescription(int deliveryNumber) {
    return QStringLiteral("IZMJENA CIJENA (NIVELACIJA) ") + QString::number(deliveryNumber);
}

namespace {

std::optional<double> OptionalDouble(const Statement& s, int column) {
    return s.IsNull(column) ? std::nullopt : std::optional<double>(s.Double(column));
}

QVariant Nullable(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant();
}

// The first row of a register under a name; none when there is no such row.
std::optional<int> CodeByName(Database& db, const QString& table, const QString& name) {
    const QVariant code = db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"") + table +
                                        QStringLiteral("\" WHERE \"NAZIV\" = ?"),
                                    {name});
    if (code.isNull()) {
        return std::nullopt;
    }
    return code.toInt();
}

}  // namespace

// ---- the sending side ------------------------------------------------------------------------

namespace {

// The selection's conditions on a document's number and date columns.
void AddSelection(QString& sql, QVariantList& params, const Selection& selection,
                  const QString& number, const QString& date) {
    sql += QStringLiteral(" AND ") + number + QStringLiteral(" >= ?");
    params << selection.fromNumber;
    if (selection.toNumber > 0) {
        sql += QStringLiteral(" AND ") + number + QStringLiteral(" <= ?");
        params << selection.toNumber;
    }
    if (selection.fromDate.isValid()) {
        sql += QStringLiteral(" AND ") + date + QStringLiteral(" >= ?");
        params << selection.fromDate;
    }
    if (selection.toDate.isValid()) {
        sql += QStringLiteral(" AND ") + date + QStringLiteral(" <= ?");
        params << selection.toDate;
    }
    sql += QStringLiteral(" ORDER BY ") + number;
}

// The source's document headers of warehouse `w` and `year` that the selection takes, in
// number order (`sql` ends with its WHERE on the warehouse and year).
Statement SelectedHeaders(Database& source, QString sql, int w, int year,
                          const Selection& selection, const QString& number, const QString& date) {
    QVariantList params{w, year};
    AddSelection(sql, params, selection, number, date);
    Statement headers = source.Prepare(sql);
    headers.Exec(params);
    return headers;
}

int SourceWarehouse(Database& source, const QString& warehouse, Kind kind) {
    const std::optional<int> w = CodeByName(source, QStringLiteral("SKLADISTA"), warehouse);
    if (!w) {
        throw UserError(MissingWarehouseMessage(warehouse, kind));
    }
    return *w;
}

// What the documents name, described as the source has it: the articles with their groups and
// tax groups, the packaging and the partners.
struct Named {
    std::set<QString> articles;
    std::set<QString> packaging;
    std::set<QString> partners;
    std::set<QString> taxGroups;
};

void Describe(Database& source, Package& p, Named named) {
    std::set<QString> groups;
    {
        Statement s = source.Prepare(QStringLiteral(
            "SELECT a.\"NAZIV\", a.\"OPIS\", a.\"JED_M\", g.\"NAZIV\", t.\"NAZIV\", a.\"BARKOD\" "
            "FROM \"ARTIKLI\" a LEFT JOIN \"GRUPE_A\" g ON g.\"SIFRA\" = a.\"GRUPA_A\" LEFT JOIN "
            "\"GRUPE_POREZA\" t ON t.\"SIFRA\" = a.\"GRUPA_P\" WHERE a.\"NAZIV\" = ? ORDER BY "
            "a.\"SIFRA\""));
        for (const QString& name : named.articles) {
            s.Exec({name});
            if (s.Next()) {
                p.articles.push_back(
                    {s.Text(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4), s.Text(5)});
                if (!s.Text(3).isEmpty()) {
                    groups.insert(s.Text(3));
                }
                if (!s.Text(4).isEmpty()) {
                    named.taxGroups.insert(s.Text(4));
                }
            }
        }
    }
    {
        Statement s = source.Prepare(QStringLiteral(
            "SELECT \"NAZIV\", \"VELEPRODAJNA_MARZA\", \"MALOPRODAJNA_MARZA\" FROM \"GRUPE_A\" "
            "WHERE \"NAZIV\" = ? ORDER BY \"SIFRA\""));
        for (const QString& name : groups) {
            s.Exec({name});
            if (s.Next()) {
                p.articleGroups.push_back({s.Text(0), OptionalDouble(s, 1), OptionalDouble(s, 2)});
            }
        }
    }
    {
        Statement s = source.Prepare(QStringLiteral(
            "SELECT \"NAZIV\", \"STOPA\" FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = ? ORDER BY "
            "\"SIFRA\""));
        for (const QString& name : named.taxGroups) {
            s.Exec({name});
            if (s.Next()) {
                p.taxGroups.push_back({s.Text(0), s.Double(1)});
            }
        }
    }
    {
        Statement s = source.Prepare(QStringLiteral(
            "SELECT \"NAZIV\", \"JED_M\", \"CIJENA\", \"BARKOD\" FROM \"AMBALAZA\" WHERE "
            "\"NAZIV\" = ? ORDER BY \"SIFRA\""));
        for (const QString& name : named.packaging) {
            s.Exec({name});
            if (s.Next()) {
                p.packaging.push_back({s.Text(0), s.Text(1), s.Double(2), s.Text(3)});
            }
        }
    }
    {
        Statement s = source.Prepare(QStringLiteral(
            "SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"TELEFON\", \"OIB\" FROM \"PARTNERI\" "
            "WHERE \"NAZIV\" = ? ORDER BY \"SIFRA\""));
        for (const QString& name : named.partners) {
            s.Exec({name});
            if (s.Next()) {
                p.partners.push_back({s.Text(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4)});
            }
        }
    }
}

}  // namespace

Package ReadReceipts(Database& source, const QString& warehouse, int year,
                     const Selection& selection) {
    const int w = SourceWarehouse(source, warehouse, Kind::Receipts);
    Package p;
    p.warehouse = warehouse;
    p.year = year;
    Statement headers = SelectedHeaders(
        source,
        QStringLiteral("SELECT p.\"BROJ PRIMKE\", p.\"DATUM\", d.\"NAZIV\", p.\"DOKUMENT "
                       "DOBAVLJACA\", p.\"DATUM DOKUMENTA DOBAVLJACA\" FROM \"PRIMKE\" p LEFT JOIN "
                       "\"PARTNERI\" d ON d.\"SIFRA\" = p.\"SIFRA DOBAVLJACA\" WHERE "
                       "p.\"SKLADISTE\" = ? AND p.\"GODINA\" = ?"),
        w, year, selection, QStringLiteral("p.\"BROJ PRIMKE\""), QStringLiteral("p.\"DATUM\""));
    while (headers.Next()) {
        Receipt r;
        r.number = headers.Int(0);
        r.date = headers.Value(1).toDate();
        r.supplier = headers.Text(2);
        r.document = headers.Text(3);
        r.documentDate = headers.Value(4).toDate();
        p.receipts.push_back(r);
    }
    if (p.receipts.empty()) {
        throw UserError(NoReceiptsMessage());
    }
    Named named;
    Statement lines = source.Prepare(QStringLiteral(
        "SELECT l.\"TIP_STAVKE\", CASE WHEN l.\"TIP_STAVKE\" = 'AMB' THEN m.\"NAZIV\" ELSE "
        "a.\"NAZIV\" END, l.\"KOLICINA\", l.\"FAKTURNA_CIJENA\", l.\"RABAT_%\", l.\"CARINA_%\", "
        "l.\"SPEDICIJA_%\", l.\"ZTR_%\", l.\"NABAVNA_CIJENA\", l.\"CIJENA\", "
        "l.\"MALOPRODAJNA_MARZA\", l.\"GRUPA_POREZA\", l.\"POREZ_%\" FROM \"STAVKE_PRIMKI\" l "
        "LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = l.\"SIFRA\" LEFT JOIN \"AMBALAZA\" m ON "
        "m.\"SIFRA\" = l.\"SIFRA\" WHERE l.\"SKLADISTE\" = ? AND l.\"GODINA\" = ? AND "
        "l.\"BROJ_PRIMKE\" = ? AND l.\"TIP_STAVKE\" IN ('ART', 'AMB') ORDER BY "
        "l.\"RBR_STAVKE\""));
    for (Receipt& r : p.receipts) {
        if (!r.supplier.isEmpty()) {
            named.partners.insert(r.supplier);
        }
        lines.Exec({w, year, r.number});
        while (lines.Next()) {
            Line l;
            l.packaging = lines.Text(0) == QLatin1String("AMB");
            l.name = lines.Text(1);
            l.quantity = lines.Double(2);
            l.invoicePrice = lines.Double(3);
            l.discountPercent = lines.Double(4);
            l.customsPercent = lines.Double(5);
            l.forwardingPercent = lines.Double(6);
            l.otherCostsPercent = lines.Double(7);
            l.cost = OptionalDouble(lines, 8);
            l.price = OptionalDouble(lines, 9);
            l.retailMargin = OptionalDouble(lines, 10);
            l.taxGroup = lines.Text(11);
            l.taxRate = OptionalDouble(lines, 12);
            (l.packaging ? named.packaging : named.articles).insert(l.name);
            if (!l.taxGroup.isEmpty()) {
                named.taxGroups.insert(l.taxGroup);
            }
            r.lines.push_back(l);
        }
    }
    Describe(source, p, std::move(named));
    return p;
}

Package ReadDeliveries(Database& source, const QString& warehouse, int year,
                       const Selection& selection) {
    const int w = SourceWarehouse(source, warehouse, Kind::Deliveries);
    Package p;
    p.warehouse = warehouse;
    p.year = year;
    Statement headers = SelectedHeaders(
        source,
        QStringLiteral("SELECT o.\"BROJ_OTPREMNICE\", o.\"DATUM\", k.\"NAZIV\" FROM "
                       "\"OTPREMNICE\" o LEFT JOIN \"PARTNERI\" k ON k.\"SIFRA\" = "
                       "o.\"SIFRA_PARTNERA\" WHERE o.\"SKLADISTE\" = ? AND o.\"GODINA\" = ?"),
        w, year, selection, QStringLiteral("o.\"BROJ_OTPREMNICE\""), QStringLiteral("o.\"DATUM\""));
    while (headers.Next()) {
        p.deliveries.push_back({headers.Int(0), headers.Value(1).toDate(), headers.Text(2), {}});
    }
    Named named;
    Statement lines = source.Prepare(QStringLiteral(
        "SELECT a.\"NAZIV\", l.\"KOLICINA\", l.\"CIJENA_BEZ_RABATA\", l.\"RABAT_%\" FROM "
        "\"STAVKE_OTPREMNICA\" l JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = l.\"SIFRA\" WHERE "
        "l.\"SKLADISTE\" = ? AND l.\"GODINA\" = ? AND l.\"BROJ_OTPREMNICE\" = ? AND "
        "l.\"TIP_STAVKE\" = 'ART' ORDER BY l.\"RBR_STAVKE\""));
    for (DeliveryNote& d : p.deliveries) {
        lines.Exec({w, year, d.number});
        while (lines.Next()) {
            d.lines.push_back({lines.Text(0), lines.Double(1), lines.Double(2), lines.Double(3)});
            named.articles.insert(lines.Text(0));
        }
    }
    // A note of services only reprices nothing.
    std::erase_if(p.deliveries, [](const DeliveryNote& d) { return d.lines.empty(); });
    if (p.deliveries.empty()) {
        throw UserError(NoDeliveriesMessage());
    }
    Describe(source, p, std::move(named));
    return p;
}

Package Read(Database& source, Kind kind, const QString& warehouse, int year,
             const Selection& selection) {
    return kind == Kind::Receipts ? ReadReceipts(source, warehouse, year, selection)
                                  : ReadDeliveries(source, warehouse, year, selection);
}

void Select(Package& package, Kind kind, const Selection& selection) {
    const auto outside = [&](int number, const QDate& date) {
        return number < selection.fromNumber ||
               (selection.toNumber > 0 && number > selection.toNumber) ||
               (selection.fromDate.isValid() && date < selection.fromDate) ||
               (selection.toDate.isValid() && date > selection.toDate);
    };
    if (kind == Kind::Receipts) {
        std::erase_if(package.receipts,
                      [&](const Receipt& r) { return outside(r.number, r.date); });
        if (package.receipts.empty()) {
            throw UserError(NoReceiptsMessage());
        }
    } else {
        std::erase_if(package.deliveries,
                      [&](const DeliveryNote& d) { return outside(d.number, d.date); });
        if (package.deliveries.empty()) {
            throw UserError(NoDeliveriesMessage());
        }
    }
}

// ---- the receiving side ----------------------------------------------------------------------

namespace {

// Every number of the package within the input limits, every line's quantity not 0 after
// rounding, every date a date the target's year takes.
void CheckPackage(const Package& p, int year) {
    using limits::NumberKind;
    using Box = purchasing::PriceCalculation::Box;
    for (const Receipt& r : p.receipts) {
        const QString what = QStringLiteral("Primka ") + QString::number(r.number);
        limits::RequireDocumentDate(r.date, year, what + QStringLiteral(": datum"));
        if (r.lines.empty()) {
            throw UserError(what + QStringLiteral(" nema niti jedne stavke."));
        }
        for (const Line& l : r.lines) {
            const QString of = what + QStringLiteral(", '") + l.name + QStringLiteral("': ");
            limits::RequireNumber(l.quantity, NumberKind::Quantity,
                                  of + QStringLiteral("količina"));
            if (QuantityIsZero(l.quantity)) {
                throw UserError(of + QStringLiteral("količina je 0."));
            }
            // Each percentage by the rule of its box in the receipt's calculation, so the file
            // is refused here, naming the receipt and line, for what the posting would refuse.
            const auto require = [&of](double value, Box box, const char* name) {
                limits::RequireNumber(value, purchasing::KindOfBox(box),
                                      of + QString::fromUtf8(name));
            };
            require(l.invoicePrice, Box::InvoicePrice, "fakturna cijena");
            require(l.discountPercent, Box::DiscountPercent, "rabat");
            require(l.customsPercent, Box::CustomsPercent, "carina");
            require(l.forwardingPercent, Box::ForwardingPercent, "špedicija");
            require(l.otherCostsPercent, Box::OtherCostsPercent, "zavisni troškovi");
            if (l.cost) {
                require(*l.cost, Box::CostPrice, "nabavna cijena");
            }
            if (l.price) {
                require(*l.price, Box::Price, "cijena");
            }
            if (l.retailMargin) {
                require(*l.retailMargin, Box::RetailMarginPercent, "maloprodajna marža");
            }
            if (l.taxRate) {
                require(*l.taxRate, Box::TaxPercent, "porez");
            }
        }
    }
}

// Every delivery note dated in the target's year, with lines whose numbers are within the input
// limits.
void CheckDeliveries(const Package& p, int year) {
    using limits::NumberKind;
    for (const DeliveryNote& d : p.deliveries) {
        const QString what = QStringLiteral("Otpremnica ") + QString::number(d.number);
        limits::RequireDocumentDate(d.date, year, what + QStringLiteral(": datum"));
        if (d.lines.empty()) {
            throw UserError(what + QStringLiteral(" nema niti jedne stavke."));
        }
        for (const DeliveryLine& l : d.lines) {
            const QString of = what + QStringLiteral(", '") + l.name + QStringLiteral("': ");
            limits::RequireNumber(l.quantity, NumberKind::Quantity,
                                  of + QStringLiteral("količina"));
            limits::RequireNumber(l.price, NumberKind::Price, of + QStringLiteral("cijena"));
            limits::RequireNumber(l.discountPercent, NumberKind::Amount,
                                  of + QStringLiteral("rabat"));
            limits::RequireNumber(l.NetPrice(), NumberKind::Price,
                                  of + QStringLiteral("cijena s rabatom"));
        }
    }
}

template <typename T>
const T* Described(const std::vector<T>& rows, const QString& name) {
    for (const T& row : rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

// The target's registers under the package's names, created where missing.
class Registers {
public:
    Registers(Database& db, const Package& p, Outcome& out) : m_db(db), m_p(p), m_out(out) {}

    int TaxGroup(const QString& name) {
        return Ensure(m_taxGroups, QStringLiteral("GRUPE_POREZA"), name, m_p.taxGroups,
                      MissingTaxGroupMessage, m_out.taxGroups, [&](const transfer::TaxGroup& d) {
                          m_db.Exec(QStringLiteral("INSERT INTO \"GRUPE_POREZA\" (\"NAZIV\", "
                                                   "\"STOPA\") VALUES (?, ?)"),
                                    {d.name, d.rate});
                      });
    }

    int ArticleGroup(const QString& name) {
        return Ensure(
            m_groups, QStringLiteral("GRUPE_A"), name, m_p.articleGroups,
            MissingArticleGroupMessage, m_out.articleGroups, [&](const transfer::ArticleGroup& d) {
                m_db.Exec(QStringLiteral("INSERT INTO \"GRUPE_A\" (\"NAZIV\", "
                                         "\"VELEPRODAJNA_MARZA\", \"MALOPRODAJNA_MARZA\") "
                                         "VALUES (?, ?, ?)"),
                          {d.name, Nullable(d.wholesaleMargin), Nullable(d.retailMargin)});
            });
    }

    int Packaging(const QString& name) {
        return Ensure(m_packaging, QStringLiteral("AMBALAZA"), name, m_p.packaging,
                      MissingPackagingMessage, m_out.packaging, [&](const transfer::Packaging& d) {
                          m_db.Exec(
                              QStringLiteral("INSERT INTO \"AMBALAZA\" (\"NAZIV\", \"JED_M\", "
                                             "\"CIJENA\", \"BARKOD\") VALUES (?, ?, ?, ?)"),
                              {d.name, d.unit, d.price, d.barcode});
                      });
    }

    int Partner(const QString& name) {
        return Ensure(m_partners, QStringLiteral("PARTNERI"), name, m_p.partners,
                      MissingPartnerMessage, m_out.partners, [&](const transfer::Partner& d) {
                          m_db.Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", "
                                                   "\"ADRESA\", \"MJESTO\", \"TELEFON\", \"OIB\", "
                                                   "\"Kupac\", \"Dobavljac\") VALUES (?, ?, ?, ?, "
                                                   "?, FALSE, TRUE)"),
                                    {d.name, d.address, d.city, d.phone, d.oib});
                      });
    }

    int Article(const QString& name) {
        return Ensure(m_articles, QStringLiteral("ARTIKLI"), name, m_p.articles,
                      MissingArticleMessage, m_out.articles, [&](const transfer::Article& d) {
                          const QVariant group =
                              d.group.isEmpty() ? QVariant() : QVariant(ArticleGroup(d.group));
                          const QVariant tax =
                              d.taxGroup.isEmpty() ? QVariant() : QVariant(TaxGroup(d.taxGroup));
                          m_db.Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", "
                                                   "\"JED_M\", \"GRUPA_A\", \"GRUPA_P\", "
                                                   "\"BARKOD\") VALUES (?, ?, ?, ?, ?, ?)"),
                                    {d.name, d.code, d.unit, group, tax, d.barcode});
                      });
    }

private:
    using Codes = std::map<QString, int>;

    // The target's row of a register under `name`: known, or made from the package's
    // description of it (counted), or refused with `missing`'s message.
    template <typename T, typename Insert>
    int Ensure(Codes& codes, const QString& table, const QString& name,
               const std::vector<T>& described, QString (*missing)(const QString&), int& made,
               Insert&& insert) {
        if (auto code = Known(codes, table, name)) {
            return *code;
        }
        const T* d = Described(described, name);
        if (!d) {
            throw UserError(missing(name));
        }
        insert(*d);
        ++made;
        return Created(codes, table, name);
    }
    std::optional<int> Known(Codes& codes, const QString& table, const QString& name) {
        if (auto it = codes.find(name); it != codes.end()) {
            return it->second;
        }
        if (const std::optional<int> code = CodeByName(m_db, table, name)) {
            codes[name] = *code;
            return code;
        }
        return std::nullopt;
    }
    int Created(Codes& codes, const QString& table, const QString& name) {
        const std::optional<int> code = CodeByName(m_db, table, name);
        if (!code) {
            throw DbError(table, QStringLiteral("Upisani redak nije pronađen: ") + name);
        }
        codes[name] = *code;
        return *code;
    }

    Database& m_db;
    const Package& m_p;
    Outcome& m_out;
    Codes m_taxGroups, m_groups, m_packaging, m_partners, m_articles;
};

// A line's stored amounts from its unit prices and percentages, as the calculation keeps them.
purchasing::ReceiptRow RowOf(int code, const Line& l, int rbr) {
    purchasing::ReceiptRow r;
    r.kind = l.packaging ? purchasing::PackagingKind() : purchasing::ArticleKind();
    r.code = code;
    r.quantity = l.quantity;
    r.invoicePrice = l.invoicePrice;
    r.invoiceValue = l.quantity * l.invoicePrice;
    r.discountPercent = l.discountPercent;
    r.netPrice = l.invoicePrice * (1 - l.discountPercent / 100);
    r.netValue = l.quantity * r.netPrice;
    r.discountAmount = r.invoiceValue - r.netValue;
    r.customsPercent = l.customsPercent;
    r.customsAmount = r.netValue * l.customsPercent / 100;
    r.forwardingPercent = l.forwardingPercent;
    r.forwardingAmount = r.netValue * l.forwardingPercent / 100;
    r.otherPercent = l.otherCostsPercent;
    r.otherAmount = r.netValue * l.otherCostsPercent / 100;
    r.costPrice = l.cost.value_or(
        r.netPrice * (1 + (l.customsPercent + l.forwardingPercent + l.otherCostsPercent) / 100));
    r.price = l.price.value_or(r.costPrice);
    r.costValue = l.quantity * r.costPrice;
    r.value = l.quantity * r.price;
    r.marginAmount = r.value - r.costValue;
    r.marginPercent = purchasing::MarginPercentOf(r.value, r.costValue);
    r.retailMargin = l.retailMargin;
    r.lineNumber = rbr;
    return r;
}

}  // namespace

Outcome PostPackage(Session& target, const Package& package, const Progress& progress) {
    Database& db = target.Db();
    CheckPackage(package, target.businessYear);
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                                 "\"Multiuser_sifra\" = ? LIMIT 1"),
                  {target.sessionCode})
            .isValid()) {
        throw UserError(UnfinishedReceiptMessage());
    }
    Outcome out;
    Transaction tx(db);
    Registers registers(db, package, out);
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                       "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", ") +
        purchasing::ReceiptRow::Columns() +
        QStringLiteral(", \"GRUPA_POREZA\", \"POREZ_%\", \"Multiuser_sifra\") VALUES (") +
        QStringList(purchasing::ReceiptRow::ColumnCount() + 8, QStringLiteral("?"))
            .join(QStringLiteral(", ")) +
        QLatin1Char(')'));
    const int total = static_cast<int>(package.receipts.size());
    for (const Receipt& r : package.receipts) {
        purchasing::ReceiptHeaderData header;
        header.date = r.date;
        header.supplierDocument = r.document;
        header.supplierDocumentDate = r.documentDate;
        header.type = 1;
        if (!r.supplier.isEmpty()) {
            header.supplier = registers.Partner(r.supplier);
        }
        int rbr = 0;
        for (const Line& l : r.lines) {
            const int code = l.packaging ? registers.Packaging(l.name) : registers.Article(l.name);
            QVariant taxGroup;
            QVariant taxRate;
            if (!l.taxGroup.isEmpty()) {
                registers.TaxGroup(l.taxGroup);
                taxGroup = l.taxGroup;
                taxRate = Nullable(l.taxRate);
            }
            const purchasing::ReceiptRow row = RowOf(code, l, ++rbr);
            insert.Exec(QVariantList{target.activeWarehouse.code, target.businessYear, 0, row.kind,
                                     row.code} +
                        row.Values() + QVariantList{taxGroup, taxRate, target.sessionCode});
        }
        out.numbers.push_back(purchasing::PostWorkingReceipt(target, header, target.stockMethod,
                                                             target.sessionCode, {}));
        if (progress) {
            progress(static_cast<int>(out.numbers.size()), total);
        }
    }
    tx.Commit();
    return out;
}

Outcome PostDeliveries(Session& target, const Package& package, const Progress& progress) {
    Database& db = target.Db();
    CheckDeliveries(package, target.businessYear);
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" WHERE "
                                 "\"Multiuser_sifra\" = ? LIMIT 1"),
                  {target.sessionCode})
            .isValid()) {
        throw UserError(UnfinishedPriceChangeMessage());
    }
    Outcome out;
    Transaction tx(db);
    Registers registers(db, package, out);
    const int total = static_cast<int>(package.deliveries.size());
    for (const DeliveryNote& d : package.deliveries) {
        for (const DeliveryLine& l : d.lines) {
            const int article = registers.Article(l.name);
            // The article's oldest lot that holds stock in the session's warehouse and year.
            const QVariant lot = db.Scalar(
                QStringLiteral(
                    "SELECT MIN(\"BROJ_PRIMKE\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = "
                    "? AND \"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" > 0"),
                {target.activeWarehouse.code, target.businessYear, article});
            if (lot.isNull()) {
                throw UserError(NoStockMessage(l.name));
            }
            stockdocs::PutPriceChangeLine(target, lot.toInt(), article, l.NetPrice());
        }
        stockdocs::PriceChangeHeaderData header;
        header.date = d.date;
        out.numbers.push_back(stockdocs::PostWorkingPriceChange(
            target, header, target.sessionCode, DeliveryPriceChangeDescription(d.number)));
        if (progress) {
            progress(static_cast<int>(out.numbers.size()), total);
        }
    }
    tx.Commit();
    return out;
}

Outcome Post(Session& target, const Package& package, Kind kind, const Progress& progress) {
    return kind == Kind::Receipts ? PostPackage(target, package, progress)
                                  : PostDeliveries(target, package, progress);
}

void CheckNotSame(const QString& source, const QString& target) {
    if (source.trimmed().isEmpty()) {
        throw UserError(QStringLiteral("Nije izabrana baza za donos primki."));
    }
    const QFileInfo a(source);
    const QFileInfo b(target);
    const bool same =
        source == target ||
        (!Database::IsServerTarget(source) && !Database::IsServerTarget(target) &&
         (a.absoluteFilePath() == b.absoluteFilePath() ||
          (!a.canonicalFilePath().isEmpty() && a.canonicalFilePath() == b.canonicalFilePath())));
    if (same) {
        throw UserError(SameDatabaseMessage());
    }
}

Outcome Carry(Database& source, Session& target, Kind kind, const Selection& selection,
              const Progress& progress) {
    CheckNotSame(source.Path(), target.Db().Path());
    Package package;
    {
        // One consistent state of the source, which is not written.
        Transaction reading(source);
        package = Read(source, kind, target.activeWarehouse.name, target.businessYear, selection);
    }
    return Post(target, package, kind, progress);
}

Outcome CarryReceipts(Database& source, Session& target, const Selection& selection,
                      const Progress& progress) {
    return Carry(source, target, Kind::Receipts, selection, progress);
}

QStringList MailCommand(const QString& recipient, const QString& file, Kind kind) {
    return {QStringLiteral("xdg-email"),
            QStringLiteral("--subject"),
            QStringLiteral("Zodra ") + Some(kind),
            QStringLiteral("--body"),
            QStringLiteral("Attachment '") + QFileInfo(file).fileName() +
                QStringLiteral("' snimite u direktorij Zodra-a."),
            QStringLiteral("--attach"),
            QFileInfo(file).absoluteFilePath(),
            recipient.trimmed()};
}

namespace {

void CheckRecipient(const QString& recipient) {
    static const QRegularExpression address(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    if (!address.match(recipient.trimmed()).hasMatch()) {
        throw UserError(QStringLiteral("Email adresa nije ispravno upisana."));
    }
}

}  // namespace

void SendByMail(const QString& recipient, const QString& file, Kind kind) {
    CheckRecipient(recipient);
    QStringList command = MailCommand(recipient, file, kind);
    const QString program = command.takeFirst();
    if (!QProcess::startDetached(program, command)) {
        throw UserError(QStringLiteral("Program za e-poštu (xdg-email) se ne može pokrenuti."));
    }
}

// ---- the commands ----------------------------------------------------------------------------

namespace {

const QString& Title() {
    static const QString title = QStringLiteral("Prijenos podataka");
    return title;
}

// A receipt number asked until it reads; nothing when cancelled.
std::optional<int> AskNumber(Prompter& prompter, const QString& text, const QString& preset) {
    QString typed = preset;
    for (;;) {
        const std::optional<QString> answer = prompter.AskText(text, Title(), typed);
        if (!answer) {
            return std::nullopt;
        }
        bool ok = false;
        const int n = answer->trimmed().toInt(&ok);
        if (ok && n > 0) {
            return n;
        }
        prompter.Inform(QStringLiteral("Nije ispravno upisan broj !"), Title());
        typed = *answer;
    }
}

template <typename F>
bool Shown(Prompter& prompter, F&& f) {
    try {
        f();
        return true;
    } catch (const UserError& e) {
        prompter.Inform(e.message(), Title());
    } catch (const DbError& e) {
        prompter.Inform(DbError::DescribedText(e.kind(), e.driverText()), Title());
    }
    return false;
}

// The file dialogs' captions and filters of a kind.
QString FileFilter(Kind kind) {
    return kind == Kind::Receipts ? QStringLiteral("Datoteka prijenosa primki|*.zip")
                                  : QStringLiteral("Datoteka prijenosa otpremnica|*.zip");
}

}  // namespace

std::optional<QString> RunWriteFile(Session& session, Prompter& prompter, const QString& folder,
                                    Kind kind) {
    const std::optional<int> from =
        AskNumber(prompter, FromNumberPrompt(false, kind), QStringLiteral("1"));
    if (!from) {
        return std::nullopt;
    }
    const std::optional<int> to = AskNumber(prompter, ToNumberPrompt(kind), QString::number(*from));
    if (!to) {
        return std::nullopt;
    }
    Package package;
    if (!Shown(prompter, [&] {
            Transaction reading(session.Db());
            package = Read(session.Db(), kind, session.activeWarehouse.name, session.businessYear,
                           {*from, *to, {}, {}});
        })) {
        return std::nullopt;
    }
    const QString path =
        prompter.ChooseFileToSave(kind == Kind::Receipts ? QStringLiteral("Snimanje primki")
                                                         : QStringLiteral("Snimanje otpremnica"),
                                  FileFilter(kind), folder, QStringLiteral("zip"));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    if (!Shown(prompter, [&] { WriteTransferFile(package, path); })) {
        return std::nullopt;
    }
    prompter.Inform(WrittenMessage(kind), Title());
    return path;
}

std::optional<Outcome> RunRead(Session& session, Prompter& prompter, const QString& folder,
                               bool fromFile, const Progress& progress, Kind kind) {
    if (!prompter.AskYesNo(ReadQuestion(kind), Title(), false)) {
        return std::nullopt;
    }
    const QString path =
        fromFile ? prompter.ChooseFileToOpen(
                       QStringLiteral("Izbor datoteke donosa ") + Many(kind),
                       kind == Kind::Receipts ? QStringLiteral("Datoteka donosa primki|*.zip")
                                              : QStringLiteral("Datoteka donosa otpremnica|*.zip"),
                       folder)
                 : prompter.ChooseFileToOpen(
                       QStringLiteral("Otvaranje baze podataka za donos ") + Many(kind),
                       QStringLiteral("Zodra datoteke|*.mdb"), folder);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    if (!fromFile && !Shown(prompter, [&] { CheckNotSame(path, session.databasePath); })) {
        return std::nullopt;
    }
    const std::optional<int> from =
        AskNumber(prompter, FromNumberPrompt(true, kind), QStringLiteral("1"));
    if (!from) {
        return std::nullopt;
    }
    Outcome out;
    const bool done = Shown(prompter, [&] {
        const Selection selection{*from, 0, {}, {}};
        if (fromFile) {
            Package package = ReadTransferFile(path, kind);
            if (package.warehouse != session.activeWarehouse.name) {
                throw UserError(MissingWarehouseMessage(session.activeWarehouse.name, kind));
            }
            Select(package, kind, selection);
            out = Post(session, package, kind, progress);
            return;
        }
        auto opened = Database::Open(path, session.databasePassword);
        if (opened.status != Database::OpenStatus::Ok) {
            throw UserError(QStringLiteral("Baza za donos ") + Many(kind) +
                            QStringLiteral(" se ne može otvoriti: ") +
                            (opened.detail.isEmpty() ? path : opened.detail));
        }
        out = Carry(*opened.db, session, kind, selection, progress);
    });
    if (!done) {
        return std::nullopt;
    }
    prompter.Inform(DoneText(kind, out), Title());
    return out;
}

bool RunMail(Prompter& prompter, const QString& file,
             const std::function<void(const QStringList&)>& start, Kind kind) {
    const std::optional<QString> recipient = prompter.AskText(MailPrompt(kind), Title());
    if (!recipient || recipient->trimmed().isEmpty()) {
        return false;
    }
    return Shown(prompter, [&] {
        if (start) {
            CheckRecipient(*recipient);
            start(MailCommand(*recipient, file, kind));
        } else {
            SendByMail(*recipient, file, kind);
        }
    });
}

}  // namespace zodra::transfer

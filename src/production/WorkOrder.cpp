#include "production/WorkOrder.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/WorkingLines.h"
#include "production/WorkOrderParts.h"
#include "registers/BillsOfMaterials.h"
#include "stock/Lots.h"

namespace zodra::production {

namespace bom = registers::billsofmaterials;

namespace {

const QString kPartsTable = QStringLiteral("STAVKE_RADNIH_NALOGA_PRIVREMENO");
const QString kCostsTable = QStringLiteral("STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO");
const QString kProductsTable = QStringLiteral("STAVKE_PRIMKE_PRIVREMENO");

documents::WorkingLines Parts(Session& session, const WorkOrderCodes& codes) {
    return documents::WorkingLines(session.Db(), DocumentKind::WorkOrder, codes.parts,
                                   session.activeWarehouse.code, session.businessYear);
}

void RequirePrice(double value, const QString& what) {
    limits::RequireNumber(value, limits::NumberKind::Price, what);
}

// Checks the entry in the window's order; returns the product's bill.
int CheckEntry(Session& session, const ProductEntry& entry, bool materialFromParts) {
    std::optional<int> bill;
    if (entry.product > 0) {
        bill = bom::BillOf(session.Db(), entry.product);
    }
    if (!bill) {
        throw UserError(NoProductMessage());
    }
    limits::RequireNumber(entry.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (RoundQuantity(entry.quantity) == 0) {
        throw UserError(bom::ZeroQuantityMessage());
    }
    if (entry.quantity < 0) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
    if (!materialFromParts) {
        RequirePrice(entry.materialPrice, QStringLiteral("Cijena materijala"));
        if (RoundMoney(entry.materialPrice) == 0) {
            throw UserError(ZeroMaterialPriceMessage());
        }
    }
    if (entry.dependentCost) {
        RequirePrice(*entry.dependentCost, QStringLiteral("Zavisni trošak"));
    }
    RequirePrice(entry.sellingPrice, QStringLiteral("Prodajna cijena"));
    if (RoundMoney(entry.sellingPrice) == 0) {
        throw UserError(ZeroSellingPriceMessage());
    }
    return *bill;
}

// Takes every part of the bill for `quantity` products into part lines; returns their cost value.
double TakeParts(Session& session, const WorkOrderCodes& codes, int bill, double quantity) {
    return production::TakeParts(session, DocumentKind::WorkOrder, codes.parts,
                                 bom::Parts(session.Db(), bill), quantity);
}

int WriteProductLine(Session& session, const WorkOrderCodes& codes, int bill,
                     const ProductEntry& entry, double material) {
    Database& db = session.Db();
    const double q = RoundQuantity(entry.quantity);
    const double z = entry.dependentCost.value_or(bom::DependentCostPerUnit(db, bill));
    const double p = entry.sellingPrice;
    const double costValue = q * (material + z);
    const double value = q * p;
    const int line =
        db.Scalar(QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM \"STAVKE_PRIMKE_PRIVREMENO\" "
                                 "WHERE \"Multiuser_sifra\" = ?"),
                  {codes.products})
            .toInt() +
        1;
    db.Exec(QStringLiteral(
                "INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
                "\"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", "
                "\"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", "
                "\"SPEDICIJA_IZNOS\", \"ZTR_%\", \"ZTR_IZNOS\", \"NABAVNA_CIJENA\", "
                "\"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", "
                "\"RBR_STAVKE\", \"Multiuser_sifra\") VALUES (?, ?, 'ART', ?, ?, ?, ?, 0, 0, ?, "
                "?, 0, 0, 0, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {session.activeWarehouse.code, session.businessYear, entry.product, q, material,
             q * material, material, q * material,
             RoundMoney(material) != 0 ? z / material * 100 : 0.0, q * z, material + z, costValue,
             RoundMoney(costValue) != 0 ? (value / costValue - 1) * 100 : 0.0, value - costValue, p,
             value, line, codes.products});
    Statement costs = db.Prepare(
        QStringLiteral("INSERT INTO \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" (\"SKLADISTE\", "
                       "\"GODINA\", \"OPIS\", \"KOLICINA\", \"CIJENA\", \"VRIJEDNOST\", "
                       "\"GOT_PR_SIFRA\", \"Multiuser_sifra\") VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const bom::Cost& cost : bom::Costs(db, bill)) {
        // The bill's costs are those of one unit; the order's are those of its quantity.
        const double quantity = RoundQuantity(cost.quantity * q);
        costs.Exec({session.activeWarehouse.code, session.businessYear, cost.description, quantity,
                    cost.price, quantity * cost.price, entry.product, codes.parts});
    }
    return line;
}

void Move(Database& db, const QString& table, int from, int to) {
    db.Exec(QStringLiteral("UPDATE \"") + table +
                QStringLiteral("\" SET \"Multiuser_sifra\" = ? WHERE \"Multiuser_sifra\" = ?"),
            {to, from});
}

// The column that numbers a table's rows in insertion order.
QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

int Rows(Database& db, const QString& table, int code) {
    return db
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + table +
                    QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
                {code})
        .toInt();
}

}  // namespace

WorkOrderCodes SessionCodes(const Session& session) {
    return {session.sessionCode, session.workOrderSessionCode};
}

QString NoProductMessage() {
    return QStringLiteral("Nije izabran artikal !");
}
QString ZeroMaterialPriceMessage() {
    return QStringLiteral("Proizvodna cijena nesmije biti nula !");
}
QString ZeroSellingPriceMessage() {
    return QStringLiteral("Prodajna cijena nesmije biti nula !");
}
QString OnlyLastLineMessage() {
    return QStringLiteral("Brisati možete samo zadnju stavku !");
}
QString DeleteLineQuestion() {
    return QStringLiteral("Želite li izbrisati stavku ?");
}
QString NoLinesMessage() {
    return QStringLiteral("Dokument nema niti jedne stavke !");
}
QString WorkOrderDocumentName() {
    return QStringLiteral("Radni nalog");
}

QuantityCheck CheckProductQuantity(Session& session, int product, double quantity) {
    const std::optional<int> bill = bom::BillOf(session.Db(), product);
    if (!bill) {
        QuantityCheck check;
        check.allowed = quantity;
        return check;
    }
    return CheckParts(session, bom::Parts(session.Db(), *bill), quantity);
}

int AddProduct(Session& session, const WorkOrderCodes& codes, const ProductEntry& entry) {
    const int bill = CheckEntry(session, entry, false);
    Transaction transaction(session.Db());
    const QuantityCheck check = CheckProductQuantity(session, entry.product, entry.quantity);
    if (!check.warnings.isEmpty()) {
        throw UserError(check.warnings.front());
    }
    TakeParts(session, codes, bill, RoundQuantity(entry.quantity));
    const int line = WriteProductLine(session, codes, bill, entry, entry.materialPrice);
    transaction.Commit();
    return line;
}

int AddProductAtPartsCost(Session& session, const WorkOrderCodes& codes, int product,
                          double quantity, double sellingPrice) {
    ProductEntry entry;
    entry.product = product;
    entry.quantity = quantity;
    entry.sellingPrice = sellingPrice;
    const int bill = CheckEntry(session, entry, true);
    Transaction transaction(session.Db());
    const QuantityCheck check = CheckProductQuantity(session, product, quantity);
    if (!check.warnings.isEmpty()) {
        throw UserError(check.warnings.front());
    }
    const double q = RoundQuantity(quantity);
    const double cost = TakeParts(session, codes, bill, q);
    const int line = WriteProductLine(session, codes, bill, entry, cost / q);
    transaction.Commit();
    return line;
}

std::vector<ProductLine> ProductLines(Session& session, const WorkOrderCodes& codes) {
    std::vector<ProductLine> lines;
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT \"RBR_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", \"ZTR_IZNOS\", "
        "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"CIJENA\", \"VRIJEDNOST\", \"RUC_IZNOS\", "
        "\"RUC_%\" FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? ORDER BY "
        "\"RBR_STAVKE\""));
    rows.Exec({codes.products});
    while (rows.Next()) {
        lines.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3), rows.Double(4),
                         rows.Double(5), rows.Double(6), rows.Double(7), rows.Double(8),
                         rows.Double(9), rows.Double(10)});
    }
    return lines;
}

std::vector<PartLine> PartLines(Session& session, const WorkOrderCodes& codes) {
    std::vector<PartLine> lines;
    for (const documents::DocumentLine& row :
         Parts(session, codes)
             .List({QStringLiteral("NABAVNA_CIJENA"), QStringLiteral("PRODAJNA_CIJENA")})) {
        lines.push_back(
            {row.article, row.lot.value_or(0), row.quantity,
             documents::ValueOf(row.other, QStringLiteral("NABAVNA_CIJENA")).toDouble(),
             documents::ValueOf(row.other, QStringLiteral("PRODAJNA_CIJENA")).toDouble()});
    }
    return lines;
}

std::vector<CostLine> CostLines(Session& session, const WorkOrderCodes& codes) {
    std::vector<CostLine> lines;
    Statement rows = session.Db().Prepare(
        QStringLiteral("SELECT \"OPIS\", \"KOLICINA\", \"CIJENA\", \"VRIJEDNOST\", "
                       "\"GOT_PR_SIFRA\" FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ? ORDER BY ") +
        RowKey(session.Db()));
    rows.Exec({codes.parts});
    while (rows.Next()) {
        lines.push_back(
            {rows.Text(0), rows.Double(1), rows.Double(2), rows.Double(3), rows.Int(4)});
    }
    return lines;
}

void RemoveProductLine(Session& session, const WorkOrderCodes& codes, int lineNumber) {
    Database& db = session.Db();
    Transaction transaction(db);
    const std::vector<ProductLine> products = ProductLines(session, codes);
    if (products.empty() || products.back().lineNumber != lineNumber) {
        throw UserError(OnlyLastLineMessage());
    }
    const ProductLine& last = products.back();
    const std::optional<int> bill = bom::BillOf(db, last.product);
    documents::WorkingLines parts = Parts(session, codes);
    std::vector<documents::DocumentLine> rows =
        parts.List({QStringLiteral("NABAVNA_CIJENA"), QStringLiteral("PRODAJNA_CIJENA")});
    std::reverse(rows.begin(), rows.end());
    if (bill) {
        for (const registers::billsofmaterials::Part& part : bom::Parts(db, *bill)) {
            double left = RoundQuantity(last.quantity * part.quantity);
            for (documents::DocumentLine& row : rows) {
                if (left <= 0) {
                    break;
                }
                if (row.article != part.article || row.quantity <= 0) {
                    continue;
                }
                if (RoundQuantity(row.quantity - left) <= 0) {
                    parts.Remove(row.id);
                    left = RoundQuantity(left - row.quantity);
                    row.quantity = 0;
                } else {
                    row.quantity = RoundQuantity(row.quantity - left);
                    const double cost =
                        documents::ValueOf(row.other, QStringLiteral("NABAVNA_CIJENA")).toDouble();
                    const double price =
                        documents::ValueOf(row.other, QStringLiteral("PRODAJNA_CIJENA")).toDouble();
                    row.other.emplace_back(QStringLiteral("NABAVNA_VRIJEDNOST"),
                                           row.quantity * cost);
                    row.other.emplace_back(QStringLiteral("PRODAJNA_VRIJEDNOST"),
                                           row.quantity * price);
                    parts.Update(row);
                    left = 0;
                }
            }
        }
    }
    // The cost lines of this product line: the newest of the product's, as many as each of its
    // lines brought (all of them when the product is on one line only).
    const int ofProduct =
        static_cast<int>(std::count_if(products.begin(), products.end(), [&](const ProductLine& p) {
            return p.product == last.product;
        }));
    const int costRows =
        db.Scalar(
              QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" "
                             "WHERE \"Multiuser_sifra\" = ? AND \"GOT_PR_SIFRA\" = ?"),
              {codes.parts, last.product})
            .toInt();
    const QString key = RowKey(db);
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE ") +
                key + QStringLiteral(" IN (SELECT ") + key +
                QStringLiteral(" FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE "
                               "\"Multiuser_sifra\" = ? AND \"GOT_PR_SIFRA\" = ? ORDER BY ") +
                key + QStringLiteral(" DESC LIMIT ?)"),
            {codes.parts, last.product, costRows / std::max(1, ofProduct)});
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? "
                           "AND \"RBR_STAVKE\" = ?"),
            {codes.products, lineNumber});
    db.Exec(
        QStringLiteral("UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"RBR_STAVKE\" = "
                       "\"RBR_STAVKE\" - 1 WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" > ?"),
        {codes.products, lineNumber});
    transaction.Commit();
}

bool RemoveProductLine(Session& session, Prompter& prompter, const WorkOrderCodes& codes,
                       int lineNumber) {
    const std::vector<ProductLine> products = ProductLines(session, codes);
    if (products.empty() || products.back().lineNumber != lineNumber) {
        throw UserError(OnlyLastLineMessage());
    }
    if (!prompter.AskYesNo(DeleteLineQuestion(), QStringLiteral("Brisanje"), false)) {
        return false;
    }
    RemoveProductLine(session, codes, lineNumber);
    return true;
}

void ClearWorkOrder(Session& session, const WorkOrderCodes& codes) {
    Database& db = session.Db();
    Transaction transaction(db);
    documents::WorkingLines parts = Parts(session, codes);
    for (const documents::DocumentLine& line : parts.List()) {
        parts.Remove(line.id);
    }
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ?"),
            {codes.parts});
    db.Exec(
        QStringLiteral("DELETE FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"),
        {codes.products});
    transaction.Commit();
}

namespace {

QString Capitalised(const QString& text) {
    return text.left(1).toUpper() + text.mid(1);
}

// Every row the kind keeps under `codes`.
int KeptRows(Database& db, const OpenOrderKind& kind, const WorkOrderCodes& codes) {
    int rows = 0;
    for (const OpenOrderKind::Table& table : kind.tables) {
        rows += Rows(db, table.name, table.productsCode ? codes.products : codes.parts);
    }
    return rows;
}

void MoveAll(Database& db, const OpenOrderKind& kind, const WorkOrderCodes& codes, int kept,
             bool toKept) {
    for (const OpenOrderKind::Table& table : kind.tables) {
        const int code = table.productsCode ? codes.products : codes.parts;
        Move(db, table.name, toKept ? code : kept, toKept ? kept : code);
    }
}

bool PartnerExists(Database& db, int partner) {
    return partner > 0 &&
           db.Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {partner})
               .isValid();
}

// "Opis" of a kind that keeps the owner: the owner's code, '|', the description. The code is
// digits only, so the first '|' ends it whatever the description holds.
QString EncodeDescription(const OpenOrderKind& kind, const OpenWorkOrder& header) {
    if (!kind.keepsOwner) {
        return header.description;
    }
    return QString::number(header.owner) + QLatin1Char('|') + header.description;
}

void DecodeDescription(const OpenOrderKind& kind, const QString& stored, OpenWorkOrder& header) {
    header.description = stored;
    if (!kind.keepsOwner) {
        return;
    }
    const qsizetype bar = stored.indexOf(QLatin1Char('|'));
    bool ok = false;
    const int owner = bar > 0 ? stored.left(bar).toInt(&ok) : 0;
    if (ok && owner >= 0) {
        header.owner = owner;
        header.description = stored.mid(bar + 1);
    }
}

}  // namespace

const OpenOrderKind& OrdinaryOpenKind() {
    static const OpenOrderKind kind{
        WorkOrderDocumentName(),
        QStringLiteral("radni nalog"),
        false,
        {{kPartsTable, false}, {kCostsTable, false}, {kProductsTable, true}}};
    return kind;
}

void SaveOpenOrder(Session& session, const OpenOrderKind& kind, const WorkOrderCodes& codes,
                   const OpenWorkOrder& header) {
    Database& db = session.Db();
    if (const std::optional<QString> bad =
            limits::CheckText(header.description, QStringLiteral("Opis"), true)) {
        throw UserError(*bad);
    }
    limits::RequireDocumentDate(header.date, session.businessYear, QStringLiteral("Datum"));
    if (header.number <= 0) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    Transaction transaction(db);
    if (KeptRows(db, kind, codes) == 0) {
        throw UserError(NoLinesMessage());
    }
    if (kind.keepsOwner && header.owner != 0 && !PartnerExists(db, header.owner)) {
        throw UserError(QStringLiteral("Nije izabran vlasnik robe !"));
    }
    if (db.Scalar(
              QStringLiteral("SELECT 1 FROM \"OtvoreniDokumenti\" WHERE \"Skladiste\" = ? AND "
                             "\"Godina\" = ? AND \"Dokument\" = ? AND \"Broj\" = ?"),
              {session.activeWarehouse.code, session.businessYear, kind.document, header.number})
            .isValid()) {
        throw UserError(QStringLiteral("Otvoreni ") + kind.noun + QStringLiteral(" broj ") +
                        QString::number(header.number) + QStringLiteral(" već postoji"));
    }
    const int kept = workingcopy::AllocateSessionCode(db);
    MoveAll(db, kind, codes, kept, true);
    db.Exec(QStringLiteral("INSERT INTO \"OtvoreniDokumenti\" (\"Skladiste\", \"Godina\", "
                           "\"Dokument\", \"Broj\", \"Datum\", \"Opis\", \"KORISNIK\", "
                           "\"Multiuser_sifra\") VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {session.activeWarehouse.code, session.businessYear, kind.document, header.number,
             header.date, EncodeDescription(kind, header), session.userName, kept});
    transaction.Commit();
}

std::vector<OpenWorkOrder> OpenOrders(Session& session, const OpenOrderKind& kind) {
    std::vector<OpenWorkOrder> open;
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT \"Broj\", \"Datum\", \"Opis\" FROM \"OtvoreniDokumenti\" WHERE \"Skladiste\" = ? "
        "AND \"Godina\" = ? AND \"Dokument\" = ? ORDER BY \"Broj\""));
    rows.Exec({session.activeWarehouse.code, session.businessYear, kind.document});
    while (rows.Next()) {
        OpenWorkOrder order;
        order.number = rows.Int(0);
        order.date = rows.Value(1).toDate();
        DecodeDescription(kind, rows.Text(2), order);
        open.push_back(order);
    }
    return open;
}

OpenWorkOrder LoadOpenOrder(Session& session, const OpenOrderKind& kind,
                            const WorkOrderCodes& codes, int number) {
    Database& db = session.Db();
    Transaction transaction(db);
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"Datum\", \"Opis\", \"Multiuser_sifra\" FROM \"OtvoreniDokumenti\" WHERE "
        "\"Skladiste\" = ? AND \"Godina\" = ? AND \"Dokument\" = ? AND \"Broj\" = ?"));
    row.Exec({session.activeWarehouse.code, session.businessYear, kind.document, number});
    if (!row.Next()) {
        throw UserError(QStringLiteral("Ne postoji otvoreni ") + kind.noun +
                        QStringLiteral(" broj ") + QString::number(number));
    }
    OpenWorkOrder header;
    header.number = number;
    header.date = row.Value(0).toDate();
    DecodeDescription(kind, row.Text(1), header);
    const int kept = row.Int(2);
    row.Finish();
    if (KeptRows(db, kind, codes) > 0) {
        throw UserError(Capitalised(kind.noun) + QStringLiteral(" već ima stavke."));
    }
    if (header.owner != 0 && !PartnerExists(db, header.owner)) {
        header.owner = 0;
    }
    MoveAll(db, kind, codes, kept, false);
    db.Exec(QStringLiteral("DELETE FROM \"OtvoreniDokumenti\" WHERE \"Skladiste\" = ? AND "
                           "\"Godina\" = ? AND \"Dokument\" = ? AND \"Broj\" = ?"),
            {session.activeWarehouse.code, session.businessYear, kind.document, number});
    workingcopy::ReleaseSessionCodes(db, {kept});
    transaction.Commit();
    return header;
}

void SaveOpenWorkOrder(Session& session, const WorkOrderCodes& codes, const OpenWorkOrder& header) {
    SaveOpenOrder(session, OrdinaryOpenKind(), codes, header);
}

std::vector<OpenWorkOrder> OpenWorkOrders(Session& session) {
    return OpenOrders(session, OrdinaryOpenKind());
}

OpenWorkOrder LoadOpenWorkOrder(Session& session, const WorkOrderCodes& codes, int number) {
    return LoadOpenOrder(session, OrdinaryOpenKind(), codes, number);
}

}  // namespace zodra::production

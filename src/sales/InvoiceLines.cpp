#include "sales/InvoiceLines.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/WorkingLines.h"
#include "pricelists/Pricing.h"
#include "production/WorkOrder.h"
#include "production/WorkOrderPosting.h"
#include "registers/BillsOfMaterials.h"
#include "sales/SalePrice.h"
#include "stock/Lots.h"

namespace zodra::sales {

namespace {

const QString kArticle = QStringLiteral("ART");
const QString kService = QStringLiteral("USL");
const QString kPackaging = QStringLiteral("AMB");
const QString kUntaxed = QStringLiteral("Neoporezivo");
constexpr int kMarginService = 1;
constexpr int kFinalConsumption = 12;
constexpr int kDescriptionLength = 255;

// The columns of a line besides article, lot and quantity, in the order the grid reads them.
const QStringList& LineColumns() {
    static const QStringList columns = {QStringLiteral("TIP_STAVKE"),
                                        QStringLiteral("NABAVNA_CIJENA"),
                                        QStringLiteral("NABAVNA_VRIJEDNOST"),
                                        QStringLiteral("RUC_%"),
                                        QStringLiteral("RUC_IZNOS"),
                                        QStringLiteral("CIJENA_BEZ_RABATA"),
                                        QStringLiteral("VRIJEDNOST_BEZ_RABATA"),
                                        QStringLiteral("RABAT_%"),
                                        QStringLiteral("RABAT_IZNOS"),
                                        QStringLiteral("CIJENA_"),
                                        QStringLiteral("VRIJEDNOST_"),
                                        QStringLiteral("GRUPA_POREZA"),
                                        QStringLiteral("POREZ_%"),
                                        QStringLiteral("POREZ_IZNOS"),
                                        QStringLiteral("UKUPNO_"),
                                        QStringLiteral("TIP_OPOREZIVANJA"),
                                        QStringLiteral("OPIS"),
                                        QStringLiteral("RBR_STAVKE")};
    return columns;
}

documents::WorkingLines Store(Session& session, const InvoiceDraft& draft) {
    return documents::WorkingLines(session.Db(), DocumentKind::Invoice, draft.sessionCode,
                                   draft.warehouse, draft.year);
}

double Num(const documents::DocumentLine& line, const QString& column) {
    return sqlvalue::ToDouble(documents::ValueOf(line.other, column));
}

QString Text(const documents::DocumentLine& line, const QString& column) {
    return documents::ValueOf(line.other, column).toString();
}

// Q, P, R, t and c give every amount of a line.
struct Amounts {
    double quantity = 0;
    double price = 0;
    double discountPercent = 0;
    double taxRate = 0;
    double costPrice = 0;
};

// The columns a line's amounts fill. Every division is guarded: a quantity of 0 never reaches
// here (refused before), a purchase value of 0 leaves the margin percent at 0.
documents::Columns AmountColumns(const Amounts& a) {
    const double value = a.quantity * a.price;
    const double discount = value * a.discountPercent / 100;
    const double net = value - discount;
    const double tax = net * a.taxRate / 100;
    const double costValue = a.quantity * a.costPrice;
    return {{QStringLiteral("NABAVNA_CIJENA"), a.costPrice},
            {QStringLiteral("NABAVNA_VRIJEDNOST"), costValue},
            {QStringLiteral("RUC_%"), costValue != 0 ? (net / costValue - 1) * 100 : 0.0},
            {QStringLiteral("RUC_IZNOS"), net - costValue},
            {QStringLiteral("CIJENA_BEZ_RABATA"), a.price},
            {QStringLiteral("VRIJEDNOST_BEZ_RABATA"), value},
            {QStringLiteral("RABAT_%"), a.discountPercent},
            {QStringLiteral("RABAT_IZNOS"), discount},
            {QStringLiteral("CIJENA_"), a.quantity != 0 ? net / a.quantity : 0.0},
            {QStringLiteral("VRIJEDNOST_"), net},
            {QStringLiteral("POREZ_%"), a.taxRate},
            {QStringLiteral("POREZ_IZNOS"), tax},
            {QStringLiteral("UKUPNO_"), net + tax}};
}

void Set(documents::Columns& columns, const QString& name, const QVariant& value) {
    for (auto& [column, v] : columns) {
        if (column == name) {
            v = value;
            return;
        }
    }
    columns.emplace_back(name, value);
}

// Adds a new entry into an existing line: quantities, values and amounts add up, unit prices
// and percentages follow from the sums.
void MergeInto(documents::DocumentLine& line, const documents::Columns& added, double quantity,
               const QString& description) {
    auto add = [&](const QString& column) {
        return Num(line, column) + sqlvalue::ToDouble(documents::ValueOf(added, column));
    };
    const double q = line.quantity + quantity;
    const double costValue = add(QStringLiteral("NABAVNA_VRIJEDNOST"));
    const double margin = add(QStringLiteral("RUC_IZNOS"));
    const double before = add(QStringLiteral("VRIJEDNOST_BEZ_RABATA"));
    const double discount = add(QStringLiteral("RABAT_IZNOS"));
    const double net = add(QStringLiteral("VRIJEDNOST_"));
    const double tax = add(QStringLiteral("POREZ_IZNOS"));
    const double total = add(QStringLiteral("UKUPNO_"));
    line.quantity = q;
    documents::Columns& o = line.other;
    Set(o, QStringLiteral("NABAVNA_VRIJEDNOST"), costValue);
    if (q != 0) {
        Set(o, QStringLiteral("NABAVNA_CIJENA"), costValue / q);
        Set(o, QStringLiteral("CIJENA_BEZ_RABATA"), before / q);
        Set(o, QStringLiteral("CIJENA_"), net / q);
    }
    Set(o, QStringLiteral("RUC_IZNOS"), margin);
    Set(o, QStringLiteral("RUC_%"), costValue != 0 ? (net / costValue - 1) * 100 : 0.0);
    Set(o, QStringLiteral("VRIJEDNOST_BEZ_RABATA"), before);
    Set(o, QStringLiteral("RABAT_IZNOS"), discount);
    if (before != 0) {
        Set(o, QStringLiteral("RABAT_%"), discount / before * 100);
    }
    Set(o, QStringLiteral("VRIJEDNOST_"), net);
    Set(o, QStringLiteral("POREZ_IZNOS"), tax);
    Set(o, QStringLiteral("UKUPNO_"), total);
    if (!description.isEmpty()) {
        const QString old = Text(line, QStringLiteral("OPIS"));
        Set(o, QStringLiteral("OPIS"),
            old.isEmpty() ? description : old + QStringLiteral(", ") + description);
    }
}

int TaxationTypeOf(Database& db, int terms) {
    return sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = ?"),
        {terms}));
}

struct Tax {
    QString group;
    double rate = 0;
};

Tax TaxOfGroup(Database& db, const QVariant& group, int taxationType) {
    Tax tax;
    Statement row = db.Prepare(
        QStringLiteral("SELECT \"NAZIV\", \"STOPA\" FROM \"GRUPE_POREZA\" WHERE \"SIFRA\" = ?"));
    row.Exec({group});
    if (row.Next()) {
        tax.group = row.Text(0);
        tax.rate = row.Double(1);
    }
    if (tax.group == QLatin1String("Neoporezivo") || IsExemptTaxation(taxationType)) {
        tax.rate = 0;
    }
    return tax;
}

void RequireDescription(const QString& description) {
    if (description.size() > kDescriptionLength) {
        throw UserError(QStringLiteral("Opis je duži od 255 znakova !"));
    }
    if (const auto refusal = limits::CheckText(description, QStringLiteral("Opis"))) {
        throw UserError(*refusal);
    }
}

void RequireAmounts(const Amounts& a) {
    limits::RequireNumber(a.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    limits::RequireNumber(a.price, limits::NumberKind::Price, QStringLiteral("Cijena"));
    limits::RequireNumber(a.discountPercent, limits::NumberKind::Discount, QStringLiteral("Rabat"));
}

// The line of the working copy with the same key a new entry would merge into.
std::optional<documents::DocumentLine> MergeTarget(documents::WorkingLines& store,
                                                   const QString& kind, int code,
                                                   std::optional<int> lot, const QString& taxGroup,
                                                   int taxationType) {
    for (documents::DocumentLine& line : store.List(LineColumns())) {
        if (Text(line, QStringLiteral("TIP_STAVKE")) == kind && line.article == code &&
            line.lot == lot && Text(line, QStringLiteral("GRUPA_POREZA")) == taxGroup &&
            sqlvalue::ToInt(documents::ValueOf(line.other, QStringLiteral("TIP_OPOREZIVANJA"))) ==
                taxationType) {
            return line;
        }
    }
    return std::nullopt;
}

int NextLineNumber(Database& db, const InvoiceDraft& draft) {
    return sqlvalue::ToInt(db.Scalar(
               QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM \"STAVKE_RACUNA_PRIVREMENO\" "
                              "WHERE \"Multiuser_sifra\" = ?"),
               {draft.sessionCode})) +
           1;
}

// Writes a new entry: merged into its line (the question was answered Yes) or as a line of its
// own. One transaction with what the lot reserves.
struct ExtraAnswer {
    QString name;
    QString value;
};

AcceptedLine Accept(Session& session, const InvoiceDraft& draft, const QString& kind, int code,
                    std::optional<int> lot, const Amounts& amounts, const Tax& tax,
                    int taxationType, const QString& description, bool merge,
                    const std::vector<ExtraAnswer>& extra = {}) {
    Database& db = session.Db();
    Transaction transaction(db, Transaction::Locking::Rows);
    documents::WorkingLines store = Store(session, draft);
    const documents::Columns columns = AmountColumns(amounts);
    AcceptedLine accepted;
    std::optional<documents::DocumentLine> existing =
        merge ? MergeTarget(store, kind, code, lot, tax.group, taxationType) : std::nullopt;
    if (existing) {
        MergeInto(*existing, columns, amounts.quantity, description);
        store.Update(*existing);
        accepted = {
            sqlvalue::ToInt(documents::ValueOf(existing->other, QStringLiteral("RBR_STAVKE"))),
            true};
    } else {
        documents::DocumentLine line;
        line.article = code;
        line.lot = lot;
        line.quantity = amounts.quantity;
        line.other = {{QStringLiteral("IRA"), draft.book.value_or(0)},
                      {QStringLiteral("BROJ_RACUNA"), 0},
                      {QStringLiteral("TIP_STAVKE"), kind}};
        line.other.insert(line.other.end(), columns.begin(), columns.end());
        accepted.lineNumber = NextLineNumber(db, draft);
        line.other.emplace_back(QStringLiteral("GRUPA_POREZA"), tax.group);
        line.other.emplace_back(QStringLiteral("TIP_OPOREZIVANJA"), taxationType);
        line.other.emplace_back(QStringLiteral("OPIS"), description);
        line.other.emplace_back(QStringLiteral("RBR_STAVKE"), accepted.lineNumber);
        store.Add(line);
    }
    if (!extra.empty()) {
        int rbr = sqlvalue::ToInt(db.Scalar(
            QStringLiteral("SELECT MAX(\"RBR\") FROM \"STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO\" "
                           "WHERE \"Multiuser_sifra\" = ?"),
            {draft.sessionCode}));
        Statement insert = db.Prepare(QStringLiteral(
            "INSERT INTO \"STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", "
            "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"RBR\", "
            "\"NAZIV\", \"VRIJEDNOST\", \"Multiuser_sifra\") VALUES (?, ?, ?, 0, ?, ?, ?, ?, ?, ?, "
            "?)"));
        for (const ExtraAnswer& answer : extra) {
            insert.Exec({draft.warehouse, draft.book.value_or(0), draft.year, kind, code,
                         lot ? QVariant(*lot) : QVariant(0), ++rbr, answer.name, answer.value,
                         draft.sessionCode});
        }
    }
    transaction.Commit();
    return accepted;
}

// The article's extra-data fields answered: from the input where given (in the fields' order),
// else asked one by one. Nothing when a question is cancelled.
std::optional<std::vector<ExtraAnswer>> ExtraDataOf(
    Database& db, Prompter& prompter, int article,
    const std::optional<std::vector<QString>>& given) {
    Statement fields = db.Prepare(
        QStringLiteral("SELECT \"Naziv\" FROM \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" WHERE "
                       "\"Sifra\" = ? ORDER BY \"Rbr\""));
    fields.Exec({article});
    std::vector<QString> names;
    while (fields.Next()) {
        names.push_back(fields.Text(0));
    }
    fields.Finish();
    if (given && given->size() != names.size()) {
        throw UserError(QStringLiteral("Artikal ima ") + QString::number(names.size()) +
                        QStringLiteral(" dodatnih podataka, a upisano ih je ") +
                        QString::number(given->size()) + QStringLiteral("."));
    }
    std::vector<ExtraAnswer> answers;
    for (size_t i = 0; i < names.size(); ++i) {
        QString value;
        if (given) {
            value = (*given)[i];
        } else {
            const std::optional<QString> typed = prompter.AskText(
                QStringLiteral("Upišite ") + names[i], QStringLiteral("Dodatni podaci"));
            if (!typed) {
                return std::nullopt;
            }
            value = typed->trimmed();
        }
        if (value.size() > kDescriptionLength) {
            throw UserError(names[i] + QStringLiteral(" je duži od 255 znakova !"));
        }
        if (const auto refusal = limits::CheckText(value, names[i])) {
            throw UserError(*refusal);
        }
        answers.push_back({names[i], value});
    }
    return answers;
}

// Service 1 carries the taxable margin of a used vehicle; it is added, with the vehicle's tax
// group, where the company has no service 1 yet. Its tax group either way.
QVariant MarginServiceGroup(Database& db, int article) {
    const QVariant group = db.Scalar(
        QStringLiteral("SELECT \"GRUPA_P\" FROM \"USLUGE\" WHERE \"SIFRA\" = ?"), {kMarginService});
    if (!group.isNull() ||
        db.Scalar(QStringLiteral("SELECT 1 FROM \"USLUGE\" WHERE \"SIFRA\" = ?"), {kMarginService})
            .isValid()) {
        return group;
    }
    return db.Scalar(QStringLiteral("SELECT \"GRUPA_P\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                     {article});
}

void EnsureMarginService(Database& db, const QVariant& group) {
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"USLUGE\" WHERE \"SIFRA\" = ?"), {kMarginService})
            .isValid()) {
        return;
    }
    db.Exec(QStringLiteral("INSERT INTO \"USLUGE\" (\"SIFRA\", \"NAZIV\", \"JED_M\", \"CIJENA\", "
                           "\"GRUPA_P\") VALUES (?, ?, ?, 0, ?)"),
            {kMarginService, MarginServiceName(), QStringLiteral("kom"), group});
}

}  // namespace

bool IsExemptTaxation(int taxationType) {
    // 15 is the exemption of art. 11.b: exempt on the VAT return, so no tax on the line either.
    return taxationType == 7 || taxationType == 8 || taxationType == 9 || taxationType == 13 ||
           taxationType == 14 || taxationType == 15;
}

InvoiceDraft OpenInvoice(Session& session, const QDate& date) {
    Database& db = session.Db();
    InvoiceDraft draft;
    draft.warehouse = session.activeWarehouse.code;
    draft.year = session.businessYear;
    draft.date = date;
    Transaction transaction(db);
    draft.sessionCode = workingcopy::AllocateSessionCode(db);
    transaction.Commit();
    return draft;
}

void DiscardInvoice(Session& session, InvoiceDraft& draft) {
    if (draft.sessionCode == 0) {
        return;
    }
    Database& db = session.Db();
    Transaction transaction(db);
    documents::WorkingLines store = Store(session, draft);
    for (const documents::DocumentLine& line : store.List()) {
        store.Remove(line.id);
    }
    workingcopy::ClearWorkingCopy(db, DocumentKind::Invoice, draft.sessionCode);
    workingcopy::ReleaseSessionCodes(db, {draft.sessionCode});
    transaction.Commit();
    draft.sessionCode = 0;
}

void CheckReadyForLines(const InvoiceDraft& draft) {
    if (!draft.book || *draft.book <= 0) {
        throw UserError(QStringLiteral("Nije izabrana knjiga IRA !"));
    }
    if (!draft.salesTerms || *draft.salesTerms <= 0) {
        throw UserError(QStringLiteral("Nije izabran uvjet prodaje !"));
    }
    if (!draft.customer || *draft.customer <= 0) {
        throw UserError(QStringLiteral("Nije izabran kupac !"));
    }
}

void CheckSalesTerms(Session& session, int salesTerms) {
    if (TaxationTypeOf(session.Db(), salesTerms) == kFinalConsumption &&
        !session.warehouseFlags.retail && !session.warehouseFlags.allInvoicesAllowed) {
        throw UserError(QStringLiteral(
            "Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa."));
    }
}

ArticleProposal ProposeArticle(Session& session, const InvoiceDraft& draft, int article,
                               std::optional<int> lot, std::optional<int> lineTerms,
                               double wanted) {
    Database& db = session.Db();
    if (!lot) {
        lot = stock::DefaultLot(db, draft.warehouse, draft.year, article, wanted);
    }
    const std::optional<stock::Lot> found =
        lot ? stock::FindLot(db, {draft.warehouse, draft.year, *lot, article}) : std::nullopt;
    if (!found) {
        throw UserError(stock::InsufficientQuantityMessage(stock::ArticleName(db, article)));
    }
    const int terms = lineTerms.value_or(draft.salesTerms.value_or(0));
    ArticleProposal p;
    p.lot = *lot;
    p.costPrice = found->costPrice;
    p.lotPrice = found->sellingPrice;
    p.freeQuantity = found->freeQuantity;
    const std::optional<double> listed =
        draft.customer ? pricing::CustomerListPrice(db, *draft.customer, article, draft.date)
                       : std::nullopt;
    if (listed) {
        p.price = *listed;
    } else {
        p.price = found->sellingPrice;
        if (terms == kRetailTerms) {
            p.price *= found->retailMargin.value_or(0) / 100 + 1;
        }
    }
    p.discount = draft.customer ? pricing::ProposedDiscount(db, *draft.customer, article) : 0.0;
    p.taxationType = TaxationTypeOf(db, terms);
    const Tax tax = TaxOfGroup(
        db,
        db.Scalar(QStringLiteral("SELECT \"GRUPA_P\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                  {article}),
        p.taxationType);
    p.taxGroup = tax.group;
    p.taxRate = tax.rate;
    return p;
}

ServiceProposal ProposeService(Session& session, const InvoiceDraft& draft, int service,
                               std::optional<int> lineTerms) {
    Database& db = session.Db();
    Statement row =
        db.Prepare(QStringLiteral("SELECT \"CIJENA\", \"GRUPA_P\", \"NAZIV\", \"JED_M\" FROM "
                                  "\"USLUGE\" WHERE \"SIFRA\" = ?"));
    row.Exec({service});
    if (!row.Next()) {
        throw UserError(QStringLiteral("Nije izabrana usluga !"));
    }
    ServiceProposal p;
    p.price = row.Double(0);
    const QVariant group = row.Value(1);
    p.cashDiscount = row.Text(2) == CashDiscountName();
    p.unit = row.Text(3);
    row.Finish();
    p.taxationType = TaxationTypeOf(db, lineTerms.value_or(draft.salesTerms.value_or(0)));
    const Tax tax = TaxOfGroup(db, group, p.taxationType);
    p.taxGroup = tax.group;
    p.taxRate = tax.rate;
    return p;
}

QuantityCheck CheckArticleQuantity(Session& session, const InvoiceDraft& draft, int article,
                                   int lot, double quantity) {
    Database& db = session.Db();
    QuantityCheck check{quantity, {}};
    const bool takesStock =
        draft.book &&
        sqlvalue::ToInt(
            db.Scalar(QStringLiteral("SELECT \"SKIDA\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"),
                      {*draft.book})) != 0;
    if (!takesStock) {
        return check;
    }
    const std::optional<stock::Lot> found =
        stock::FindLot(db, {draft.warehouse, draft.year, lot, article});
    const double free = found ? found->freeQuantity : 0.0;
    if (RoundQuantity(quantity - free) > 0) {
        check.quantity = free;
        check.messages.push_back(QStringLiteral(
            "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću dopuštenu "
            "vrijednost."));
    }
    Statement limits = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"MIN_ZAL\", \"REZERVIRANO\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"));
    limits.Exec({article});
    if (limits.Next()) {
        const double left = RoundQuantity(
            stock::ArticleStock(db, draft.warehouse, draft.year, article) -
            sqlvalue::ToDouble(db.Scalar(
                QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                               "\"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ? AND "
                               "\"Multiuser_sifra\" = ?"),
                {article, draft.sessionCode})) -
            check.quantity);
        const QString head = QStringLiteral("Količina artikla ") + limits.Text(0) +
                             QStringLiteral(" će pasti na ") + ShownNumber(left, 10);
        if (!limits.IsNull(1) && left < RoundQuantity(limits.Double(1))) {
            check.messages.push_back(head + QStringLiteral(" šta je ispod minimalne zalihe od ") +
                                     ShownNumber(limits.Double(1), 10) + QStringLiteral("."));
        }
        if (!limits.IsNull(2) && left < RoundQuantity(limits.Double(2))) {
            check.messages.push_back(head +
                                     QStringLiteral(" šta je ispod rezervirane količine od ") +
                                     ShownNumber(limits.Double(2), 10) + QStringLiteral("."));
        }
    }
    return check;
}

QString ArticleMergeQuestion() {
    return QStringLiteral("Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?");
}

QString ServiceMergeQuestion() {
    return QStringLiteral("Ova usluga je već upisana. Želite li dodati na postojeću stavku?");
}

QString DeleteLineQuestion(const QString& lineKind) {
    if (lineKind == kArticle || lineKind == QLatin1String("SLA")) {
        return QStringLiteral("Želite li izbrisati stavku artikla ?");
    }
    if (lineKind == kService) {
        return QStringLiteral("Želite li izbrisati stavku usluge ?");
    }
    return QStringLiteral("Želite li izbrisati stavku ambalaže ?");
}

QString UsedVehicleQuestion() {
    return QStringLiteral("Upišite ukupnu cijenu polovnog vozila sa porezom.");
}

QString MarginServiceName() {
    return QStringLiteral("Porezna osnovica 22%");
}

bool IsUsedVehicle(Database& db, int article) {
    return db
        .Scalar(
            QStringLiteral("SELECT \"VRSTA_VOZILA\" FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = ?"),
            {article})
        .toString()
        .contains(QLatin1String("Polovno"));
}

namespace {

std::optional<AcceptedLine> AddUsedVehicleLine(Session& session, Prompter& prompter,
                                               const InvoiceDraft& draft,
                                               const ArticleLineInput& input,
                                               const ArticleLineAnswers& answers,
                                               const ArticleProposal& p) {
    Database& db = session.Db();
    double total = 0;
    if (answers.usedVehicleTotal) {
        total = *answers.usedVehicleTotal;
    } else {
        const std::optional<QString> typed =
            prompter.AskText(UsedVehicleQuestion(), QStringLiteral("Račun"));
        if (!typed) {
            return std::nullopt;
        }
        const std::optional<double> parsed = inputrules::ParseNumber(*typed);
        if (!parsed) {
            throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
        }
        total = *parsed;
    }
    limits::RequireNumber(total, limits::NumberKind::Amount, QStringLiteral("Cijena"));
    if (total <= 0) {
        throw UserError(QStringLiteral("Cijena vozila mora biti veća od nule !"));
    }
    const std::optional<std::vector<ExtraAnswer>> extra =
        ExtraDataOf(db, prompter, input.article, answers.extraData);
    if (!extra) {
        return std::nullopt;
    }
    const double costValue = input.quantity * p.costPrice;
    const double grossMargin = RoundMoney(total - costValue) > 0 ? total - costValue : 0.0;
    const QVariant serviceGroup = MarginServiceGroup(db, input.article);
    const Tax serviceTax = TaxOfGroup(db, serviceGroup, p.taxationType);
    const double base = grossMargin / (1 + serviceTax.rate / 100);
    const double articleValue = grossMargin > 0 ? costValue : total;
    const Amounts article{input.quantity, articleValue / input.quantity, 0, 0, p.costPrice};
    RequireAmounts(article);
    Transaction transaction(db);
    const AcceptedLine accepted =
        Accept(session, draft, kArticle, input.article, p.lot, article, Tax{kUntaxed, 0},
               p.taxationType, input.description, false, *extra);
    if (grossMargin > 0) {
        EnsureMarginService(db, serviceGroup);
        Accept(session, draft, kService, kMarginService, std::nullopt,
               Amounts{1, base, 0, serviceTax.rate, 0}, serviceTax, p.taxationType, QString(),
               false);
    }
    transaction.Commit();
    return accepted;
}

}  // namespace

std::optional<AcceptedLine> AddArticleLine(Session& session, Prompter& prompter,
                                           const InvoiceDraft& draft, const ArticleLineInput& input,
                                           const ArticleLineAnswers& answers) {
    CheckReadyForLines(draft);
    if (input.article <= 0) {
        throw UserError(QStringLiteral("Nije izabran artikal !"));
    }
    if (QuantityIsZero(input.quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
    RequireDescription(input.description);
    Database& db = session.Db();
    std::optional<std::vector<ExtraAnswer>> extra;
    for (int attempt = 0;; ++attempt) {
        const ArticleProposal p = ProposeArticle(session, draft, input.article, input.lot,
                                                 input.salesTerms, input.quantity);
        if (IsUsedVehicle(db, input.article)) {
            return AddUsedVehicleLine(session, prompter, draft, input, answers, p);
        }
        const Amounts amounts{input.quantity, input.price.value_or(p.price),
                              input.discount.value_or(p.discount), p.taxRate, p.costPrice};
        RequireAmounts(amounts);
        if (!extra) {
            extra = ExtraDataOf(db, prompter, input.article, answers.extraData);
            if (!extra) {
                return std::nullopt;
            }
        }
        bool merge = false;
        {
            documents::WorkingLines store = Store(session, draft);
            if (MergeTarget(store, kArticle, input.article, p.lot, p.taxGroup, p.taxationType)) {
                // Asked before the transaction; No writes nothing.
                if (!prompter.AskYesNo(ArticleMergeQuestion(), QStringLiteral("Račun"), true)) {
                    return std::nullopt;
                }
                merge = true;
            }
        }
        try {
            return Accept(session, draft, kArticle, input.article, p.lot, amounts,
                          Tax{p.taxGroup, p.taxRate}, p.taxationType, input.description, merge,
                          *extra);
        } catch (const UserError& e) {
            // Another workstation reserved the default lot between the proposal and the
            // acceptance: the line goes to the lot the choice gives now, if it is another one.
            if (input.lot || attempt >= 2 ||
                e.message() !=
                    stock::InsufficientQuantityMessage(stock::ArticleName(db, input.article)) ||
                stock::DefaultLot(db, draft.warehouse, draft.year, input.article, input.quantity) ==
                    std::optional<int>(p.lot)) {
                throw;
            }
        }
    }
}

std::optional<AcceptedLine> AddServiceLine(Session& session, Prompter& prompter,
                                           const InvoiceDraft& draft, const ServiceLineInput& input,
                                           const std::vector<int>& employees) {
    CheckReadyForLines(draft);
    Database& db = session.Db();
    if (input.service <= 0) {
        throw UserError(QStringLiteral("Nije izabrana usluga !"));
    }
    Statement service = db.Prepare(QStringLiteral(
        "SELECT \"CIJENA\", \"GRUPA_P\", \"NAZIV\" FROM \"USLUGE\" WHERE \"SIFRA\" = ?"));
    service.Exec({input.service});
    if (!service.Next()) {
        throw UserError(QStringLiteral("Nije izabrana usluga !"));
    }
    const double listPrice = service.Double(0);
    const QVariant group = service.Value(1);
    const bool cashDiscount = service.Text(2) == CashDiscountName();
    service.Finish();
    if (cashDiscount) {
        return AddCashDiscountLine(session, prompter, draft, input.service);
    }
    if (QuantityIsZero(input.quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
    RequireDescription(input.description);
    const int taxationType =
        TaxationTypeOf(db, input.salesTerms.value_or(draft.salesTerms.value_or(0)));
    const Tax tax = TaxOfGroup(db, group, taxationType);
    const double discount = input.discount.value_or(0);
    const Amounts amounts{input.quantity, input.price.value_or(listPrice), discount, tax.rate, 0};
    RequireAmounts(amounts);
    bool merge = false;
    {
        documents::WorkingLines store = Store(session, draft);
        if (MergeTarget(store, kService, input.service, std::nullopt, tax.group, taxationType)) {
            if (!prompter.AskYesNo(ServiceMergeQuestion(), QStringLiteral("Račun"), true)) {
                return std::nullopt;
            }
            merge = true;
        }
    }
    Transaction transaction(db, Transaction::Locking::Rows);
    const AcceptedLine accepted = Accept(session, draft, kService, input.service, std::nullopt,
                                         amounts, tax, taxationType, input.description, merge);
    WriteLineEmployees(db, QStringLiteral("STAVKE_RACUNA_DJELATNICI_PRIVREMENO"), draft.warehouse,
                       draft.book.value_or(0), draft.year, 0, draft.sessionCode, kService,
                       input.service, employees);
    transaction.Commit();
    return accepted;
}

std::vector<Employee> EmployeeList(Database& db) {
    Statement rows =
        db.Prepare(QStringLiteral("SELECT \"SIFRA\", \"IME\" FROM \"DJELATNICI\" ORDER BY \"IME\" "
                                  "COLLATE \"HR\", \"SIFRA\""));
    rows.Exec();
    std::vector<Employee> out;
    while (rows.Next()) {
        out.push_back(Employee{rows.Int(0), rows.Text(1)});
    }
    return out;
}

void WriteLineEmployees(Database& db, const QString& table, int warehouse, int book, int year,
                        int number, std::optional<int> sessionCode, const QString& kind, int code,
                        const std::vector<int>& employees) {
    const QString t = QLatin1Char('"') + table + QLatin1Char('"');
    const QString owner = sessionCode ? QStringLiteral(" AND \"Multiuser_sifra\" = ?")
                                      : QStringLiteral(
                                            " AND \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                                            "\"GODINA\" = ? AND \"BROJ_RACUNA\" = ?");
    for (int employee : employees) {
        if (!db.Scalar(QStringLiteral("SELECT 1 FROM \"DJELATNICI\" WHERE \"SIFRA\" = ?"),
                       {employee})
                 .isValid()) {
            throw UserError(QStringLiteral("Djelatnik nije upisan u popis djelatnika."));
        }
        QVariantList params{kind, code, employee};
        if (sessionCode) {
            params << *sessionCode;
        } else {
            params << warehouse << book << year << number;
        }
        if (db.Scalar(QStringLiteral("SELECT 1 FROM ") + t +
                          QStringLiteral(" WHERE \"TIP_STAVKE\" = ? AND \"SIFRA\" = ? AND "
                                         "COALESCE(\"BROJ_PRIMKE\", 0) = 0 AND \"DJELATNIK\" = ?") +
                          owner,
                      params)
                .isValid()) {
            continue;
        }
        QVariantList row{warehouse, book, year, number, kind, code, 0, employee};
        QString sql = QStringLiteral("INSERT INTO ") + t +
                      QStringLiteral(
                          " (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
                          "\"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"DJELATNIK\"");
        if (sessionCode) {
            sql += QStringLiteral(", \"Multiuser_sifra\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            row << *sessionCode;
        } else {
            sql += QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        }
        db.Exec(sql, row);
    }
}

std::vector<int> WorkingLineEmployees(Database& db, int sessionCode, const QString& kind,
                                      int code) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"DJELATNIK\" FROM \"STAVKE_RACUNA_DJELATNICI_PRIVREMENO\" WHERE "
        "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = ? AND \"SIFRA\" = ? ORDER BY \"DJELATNIK\""));
    rows.Exec({sessionCode, kind, code});
    std::vector<int> out;
    while (rows.Next()) {
        out.push_back(rows.Int(0));
    }
    return out;
}

QString PackagingMergeQuestion() {
    return QStringLiteral("Ova ambalaža je već upisana. Želite li dodati na postojeću stavku?");
}

std::optional<AcceptedLine> AddPackagingLine(Session& session, Prompter& prompter,
                                             const InvoiceDraft& draft,
                                             const PackagingLineInput& input) {
    CheckReadyForLines(draft);
    Database& db = session.Db();
    const QVariant listPrice =
        input.packaging > 0
            ? db.Scalar(QStringLiteral("SELECT COALESCE(\"CIJENA\", 0) FROM \"AMBALAZA\" WHERE "
                                       "\"SIFRA\" = ?"),
                        {input.packaging})
            : QVariant();
    if (!listPrice.isValid()) {
        throw UserError(QStringLiteral("Nije izabrana ambalaža !"));
    }
    if (QuantityIsZero(input.quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
    RequireDescription(input.description);
    const int taxationType = TaxationTypeOf(db, draft.salesTerms.value_or(0));
    const Amounts amounts{input.quantity, input.price.value_or(sqlvalue::ToDouble(listPrice)), 0, 0,
                          0};
    RequireAmounts(amounts);
    const Tax tax{kUntaxed, 0};
    bool merge = false;
    {
        documents::WorkingLines store = Store(session, draft);
        if (MergeTarget(store, kPackaging, input.packaging, std::nullopt, tax.group,
                        taxationType)) {
            if (!prompter.AskYesNo(PackagingMergeQuestion(), QStringLiteral("Račun"), true)) {
                return std::nullopt;
            }
            merge = true;
        }
    }
    return Accept(session, draft, kPackaging, input.packaging, std::nullopt, amounts, tax,
                  taxationType, input.description, merge);
}

QString CashDiscountName() {
    return QStringLiteral("CASSA SCONTO");
}

std::optional<AcceptedLine> AddCashDiscountLine(Session& session, Prompter& prompter,
                                                const InvoiceDraft& draft, int service) {
    CheckReadyForLines(draft);
    Database& db = session.Db();
    const std::optional<QString> typed = prompter.AskText(
        QStringLiteral("Upišite postotak za CASSA SCONTO."), QStringLiteral("Račun"));
    if (!typed) {
        return std::nullopt;
    }
    bool ok = false;
    const double percent =
        QString(*typed).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(percent)) {
        throw UserError(QStringLiteral("Nije upisan broj"));
    }
    limits::RequireNumber(percent, limits::NumberKind::Discount, QStringLiteral("Postotak"));
    const int taxationType = TaxationTypeOf(db, draft.salesTerms.value_or(0));
    const Tax tax = TaxOfGroup(
        db,
        db.Scalar(QStringLiteral("SELECT \"GRUPA_P\" FROM \"USLUGE\" WHERE \"SIFRA\" = ?"),
                  {service}),
        taxationType);
    // One piece at minus the percent of the net value so far: a negative price, which no other
    // line may have, so it is held to the range of an amount instead.
    const double price = -Totals(db, draft.sessionCode).value * percent / 100;
    limits::RequireNumber(price, limits::NumberKind::Amount, QStringLiteral("Cijena"));
    return Accept(session, draft, kService, service, std::nullopt,
                  Amounts{1, price, 0, tax.rate, 0}, tax, taxationType,
                  ShownNumber(percent, 10) + QStringLiteral("%"), false);
}

namespace {

// The extra data and employees of a deleted line go with it unless another line of the same article
// and lot (a line entered under other terms) remains to own it.
void DeleteExtraData(Database& db, const InvoiceDraft& draft, const documents::DocumentLine& line) {
    const QString kind = Text(line, QStringLiteral("TIP_STAVKE"));
    const QVariant lot = line.lot ? QVariant(*line.lot) : QVariant(0);
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                 "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = ? AND \"SIFRA\" = ? "
                                 "AND COALESCE(\"BROJ_PRIMKE\", 0) = ?"),
                  {draft.sessionCode, kind, line.article, lot})
            .isValid()) {
        return;
    }
    for (const char* table :
         {"STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO", "STAVKE_RACUNA_DJELATNICI_PRIVREMENO"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\" WHERE \"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = ? AND "
                                   "\"SIFRA\" = ? AND COALESCE(\"BROJ_PRIMKE\", 0) = ?"),
                {draft.sessionCode, kind, line.article, lot});
    }
}

}  // namespace

void DeleteLine(Session& session, const InvoiceDraft& draft, int lineNumber) {
    Database& db = session.Db();
    Transaction transaction(db);
    documents::WorkingLines store = Store(session, draft);
    for (const documents::DocumentLine& line :
         store.List({QStringLiteral("RBR_STAVKE"), QStringLiteral("TIP_STAVKE")})) {
        if (sqlvalue::ToInt(documents::ValueOf(line.other, QStringLiteral("RBR_STAVKE"))) ==
            lineNumber) {
            store.Remove(line.id);
            DeleteExtraData(db, draft, line);
            db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"RBR_STAVKE\" = "
                                   "\"RBR_STAVKE\" - 1 WHERE \"RBR_STAVKE\" > ? AND "
                                   "\"Multiuser_sifra\" = ?"),
                    {lineNumber, draft.sessionCode});
            transaction.Commit();
            return;
        }
    }
    throw UserError(QStringLiteral("Nije pronađena stavka računa."));
}

void ChangeLineDiscount(Session& session, const InvoiceDraft& draft, int lineNumber,
                        double discountPercent) {
    limits::RequireNumber(discountPercent, limits::NumberKind::Discount, QStringLiteral("Rabat"));
    Database& db = session.Db();
    Transaction transaction(db, Transaction::Locking::Rows);
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"KOLICINA\", \"VRIJEDNOST_BEZ_RABATA\", \"NABAVNA_VRIJEDNOST\", \"POREZ_%\" FROM "
        "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"));
    row.Exec({draft.sessionCode, lineNumber});
    if (!row.Next()) {
        throw UserError(QStringLiteral("Nije pronađena stavka računa."));
    }
    const double quantity = row.Double(0);
    const double before = row.Double(1);
    const double cost = row.Double(2);
    const double rate = row.Double(3);
    row.Finish();
    const double discount = before * discountPercent / 100;
    const double value = before - discount;
    const double price = quantity != 0 ? value / quantity : 0;
    const double margin = value - cost;
    const double marginPercent = cost != 0 ? (value / cost - 1) * 100 : 0;
    const double tax = value * rate / 100;
    const double total = value + tax;
    db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"RABAT_%\" = ?, "
                           "\"RABAT_IZNOS\" = ?, \"VRIJEDNOST_\" = ?, \"CIJENA_\" = ?, "
                           "\"RUC_IZNOS\" = ?, \"RUC_%\" = ?, \"POREZ_IZNOS\" = ?, \"UKUPNO_\" = ? "
                           "WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
            {discountPercent, discount, value, price, margin, marginPercent, tax, total,
             draft.sessionCode, lineNumber});
    transaction.Commit();
}

double ParseGridDiscount(const QVariant& typed) {
    if (typed.typeId() == QMetaType::Double || typed.typeId() == QMetaType::Int) {
        return typed.toDouble();
    }
    const std::optional<double> v = inputrules::ParseNumber(typed.toString().trimmed());
    if (!v) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    return *v;
}

QString DiscountOnlyMessage() {
    return QStringLiteral("Mijenjati možete samo postotak rabatana ponudi i predračunu.");
}

InvoiceTotals Totals(Database& db, int sessionCode) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"TIP_STAVKE\", \"VRIJEDNOST_\", \"POREZ_IZNOS\", \"UKUPNO_\" FROM "
                       "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"));
    rows.Exec({sessionCode});
    InvoiceTotals t;
    MoneyTotal value, tax, total, articleValue, articleTax;
    while (rows.Next()) {
        ++t.lines;
        value += rows.Double(1);
        tax += rows.Double(2);
        total += rows.Double(3);
        if (rows.Text(0) == kArticle) {
            ++t.articleLines;
            articleValue += rows.Double(1);
            articleTax += rows.Double(2);
        }
    }
    t.value = value.Value();
    t.tax = tax.Value();
    t.total = total.Value();
    t.articleValue = articleValue.Value();
    t.articleTax = articleTax.Value();
    return t;
}

std::vector<InvoiceLine> WorkingLinesOf(Database& db, int sessionCode) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"RBR_STAVKE\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
        "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
        "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", "
        "\"CIJENA_\", \"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", "
        "\"UKUPNO_\", \"TIP_OPOREZIVANJA\", \"OPIS\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
        "\"Multiuser_sifra\" = ? ORDER BY \"RBR_STAVKE\""));
    rows.Exec({sessionCode});
    std::vector<InvoiceLine> lines;
    while (rows.Next()) {
        InvoiceLine l;
        l.lineNumber = rows.Int(0);
        l.kind = rows.Text(1);
        l.code = rows.Int(2);
        if (!rows.IsNull(3)) {
            l.lot = rows.Int(3);
        }
        l.quantity = rows.Double(4);
        l.costPrice = rows.Double(5);
        l.costValue = rows.Double(6);
        l.marginPercent = rows.Double(7);
        l.margin = rows.Double(8);
        l.priceBeforeDiscount = rows.Double(9);
        l.valueBeforeDiscount = rows.Double(10);
        l.discountPercent = rows.Double(11);
        l.discount = rows.Double(12);
        l.price = rows.Double(13);
        l.value = rows.Double(14);
        l.taxGroup = rows.Text(15);
        l.taxRate = rows.Double(16);
        l.tax = rows.Double(17);
        l.total = rows.Double(18);
        l.taxationType = rows.Int(19);
        l.description = rows.Text(20);
        lines.push_back(l);
    }
    return lines;
}

}  // namespace zodra::sales

namespace zodra::sales {

namespace {

const QString kComposite = QStringLiteral("SLA");

struct CompositeEntry {
    Amounts amounts;
    Tax tax;
    int taxationType = 0;
};

CompositeEntry CheckComposite(Session& session, const InvoiceDraft& draft,
                              const CompositeLineInput& input) {
    CheckReadyForLines(draft);
    Database& db = session.Db();
    if (input.product <= 0 || !registers::billsofmaterials::BillOf(db, input.product)) {
        throw UserError(QStringLiteral("Nije izabran artikal !"));
    }
    limits::RequireNumber(input.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (QuantityIsZero(input.quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
    if (input.quantity < 0) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
    RequireDescription(input.description);
    const CompositeProposal p = ProposeComposite(session, draft, input.product, input.salesTerms);
    CompositeEntry e;
    e.amounts = {input.quantity, input.price.value_or(p.price), input.discount.value_or(p.discount),
                 p.taxRate, 0};
    RequireAmounts(e.amounts);
    if (RoundMoney(e.amounts.price) <= 0) {
        throw UserError(production::ZeroSellingPriceMessage());
    }
    e.tax = {p.taxGroup, p.taxRate};
    e.taxationType = p.taxationType;
    return e;
}

}  // namespace

QString CompositeLineKind() {
    return kComposite;
}

std::vector<CompositeProduct> CompositeProducts(Database& db) {
    std::vector<CompositeProduct> products;
    for (const registers::billsofmaterials::Bill& bill : registers::billsofmaterials::List(db)) {
        products.push_back({bill.product, bill.productName});
    }
    return products;
}

CompositeProposal ProposeComposite(Session& session, const InvoiceDraft& draft, int product,
                                   std::optional<int> lineTerms) {
    Database& db = session.Db();
    if (product <= 0 || !registers::billsofmaterials::BillOf(db, product)) {
        throw UserError(QStringLiteral("Nije izabran artikal !"));
    }
    const int terms = lineTerms.value_or(draft.salesTerms.value_or(0));
    CompositeProposal p;
    // The lot an earlier production left: the oldest with stock, else the newest.
    std::optional<int> lot = stock::DefaultLot(db, draft.warehouse, draft.year, product);
    if (!lot) {
        const QVariant newest = db.Scalar(
            QStringLiteral("SELECT MAX(\"BROJ_PRIMKE\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? "
                           "AND \"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
            {draft.warehouse, draft.year, product});
        if (newest.isValid() && !newest.isNull()) {
            lot = newest.toInt();
        }
    }
    try {
        p.price = SalePrice(
            db, {product, draft.customer, draft.warehouse, lot, draft.year, terms, draft.date});
    } catch (const UserError&) {
        p.price = 0;  // never produced and not on the customer's list: the user types it
    }
    p.discount = draft.customer ? pricing::ProposedDiscount(db, *draft.customer, product) : 0.0;
    p.taxationType = TaxationTypeOf(db, terms);
    const Tax tax = TaxOfGroup(
        db,
        db.Scalar(QStringLiteral("SELECT \"GRUPA_P\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                  {product}),
        p.taxationType);
    p.taxGroup = tax.group;
    p.taxRate = tax.rate;
    return p;
}

QuantityCheck CheckCompositeQuantity(Session& session, const InvoiceDraft& draft, int product,
                                     double quantity) {
    const double entered = sqlvalue::ToDouble(session.Db().Scalar(
        QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'SLA' AND \"SIFRA\" = ?"),
        {draft.sessionCode, product}));
    const production::QuantityCheck parts =
        production::CheckProductQuantity(session, product, RoundQuantity(entered + quantity));
    QuantityCheck check;
    check.quantity =
        parts.warnings.isEmpty() ? quantity : std::max(0.0, RoundQuantity(parts.allowed - entered));
    for (const QString& warning : parts.warnings) {
        check.messages.push_back(warning);
    }
    return check;
}

QString CompositeMergeQuestion() {
    return QStringLiteral("Ovaj proizvod je već upisan. Želite li dodati na postojeću stavku?");
}

std::optional<AcceptedLine> AddCompositeLine(Session& session, Prompter& prompter,
                                             const InvoiceDraft& draft,
                                             const CompositeLineInput& input) {
    const CompositeEntry e = CheckComposite(session, draft, input);
    bool merge = false;
    {
        documents::WorkingLines store = Store(session, draft);
        if (MergeTarget(store, kComposite, input.product, std::nullopt, e.tax.group,
                        e.taxationType)) {
            if (!prompter.AskYesNo(CompositeMergeQuestion(), QStringLiteral("Račun"), true)) {
                return std::nullopt;
            }
            merge = true;
        }
    }
    return Accept(session, draft, kComposite, input.product, std::nullopt, e.amounts, e.tax,
                  e.taxationType, input.description, merge);
}

AcceptedLine AddCompositeLineMerging(Session& session, const InvoiceDraft& draft,
                                     const CompositeLineInput& input) {
    const CompositeEntry e = CheckComposite(session, draft, input);
    return Accept(session, draft, kComposite, input.product, std::nullopt, e.amounts, e.tax,
                  e.taxationType, input.description, true);
}

int ProduceCompositeLines(Session& session, const InvoiceDraft& draft, bool produce) {
    Database& db = session.Db();
    struct Line {
        qint64 id = 0;
        int product = 0;
        double quantity = 0;
        double price = 0;
        double value = 0;
    };
    std::vector<Line> lines;
    {
        const QString id = QString::fromUtf16(RowKeyColumn(db.Dialect()));
        Statement rows = db.Prepare(
            QStringLiteral("SELECT \"") + id +
            QStringLiteral("\", \"SIFRA\", \"KOLICINA\", \"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_\" "
                           "FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? AND "
                           "\"TIP_STAVKE\" = 'SLA' ORDER BY \"RBR_STAVKE\""));
        rows.Exec({draft.sessionCode});
        while (rows.Next()) {
            lines.push_back({rows.Value(0).toLongLong(), rows.Int(1), rows.Double(2),
                             rows.Double(3), rows.Double(4)});
        }
    }
    int produced = 0;
    for (const Line& line : lines) {
        QVariant lot;
        double cost = 0;
        if (produce) {
            const stock::LotKey key = production::ProduceForSale(
                session, line.product, line.quantity, line.price, draft.date);
            // From here on the line is an article line holding its quantity on the lot.
            stock::ReserveFromLot(db, key, line.quantity);
            const std::optional<stock::Lot> made = stock::FindLot(db, key);
            cost = made ? made->costPrice : 0;
            lot = key.lot;
            ++produced;
        }
        const double costValue = line.quantity * cost;
        db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"TIP_STAVKE\" = 'ART', "
                               "\"BROJ_PRIMKE\" = ?, \"NABAVNA_CIJENA\" = ?, "
                               "\"NABAVNA_VRIJEDNOST\" = ?, \"RUC_IZNOS\" = ?, \"RUC_%\" = ? "
                               "WHERE \"") +
                    QString::fromUtf16(RowKeyColumn(db.Dialect())) + QStringLiteral("\" = ?"),
                {lot, cost, costValue, line.value - costValue,
                 costValue != 0 ? (line.value / costValue - 1) * 100 : 0.0, line.id});
    }
    return produced;
}

std::vector<Session::RetailSaleEvent::Tax> WorkingCopyTaxes(Database& db, int sessionCode) {
    Statement q = db.Prepare(QStringLiteral(
        "SELECT COALESCE(\"POREZ_%\", 0), SUM(\"VRIJEDNOST_\"), SUM(\"POREZ_IZNOS\") FROM "
        "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? GROUP BY "
        "COALESCE(\"POREZ_%\", 0) ORDER BY COALESCE(\"POREZ_%\", 0) DESC"));
    q.Exec({sessionCode});
    std::vector<Session::RetailSaleEvent::Tax> taxes;
    while (q.Next()) {
        taxes.push_back({q.Double(0), q.Double(1), q.Double(2)});
    }
    return taxes;
}

}  // namespace zodra::sales

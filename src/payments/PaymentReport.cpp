#include "payments/PaymentReport.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::payments {

namespace {

using Kind = PaymentReportKind;

PaymentReportInfo Info(Kind kind, const char16_t* command, const char16_t* file,
                       const char16_t* status, const char16_t* title, const char16_t* dateField,
                       PartnerSide partners = PartnerSide::None, int order = 0) {
    PaymentReportInfo info;
    info.kind = kind;
    info.command = QString::fromUtf16(command);
    info.file = QString::fromUtf16(file);
    info.statusText = QString::fromUtf16(status);
    info.title = QString::fromUtf16(title);
    info.dateField = QString::fromUtf16(dateField);
    info.partners = partners;
    info.order = order;
    return info;
}

std::vector<PaymentReportInfo> BuildTable() {
    const auto customers = PartnerSide::Customers;
    const auto suppliers = PartnerSide::Suppliers;
    std::vector<PaymentReportInfo> t;
    t.push_back(Info(Kind::DebtorsAll, u"Dugovi_svi", u"duznici.rpt", u" Dužnici",
                     u"Svi dužnici po izlaznim računima", u"", customers, 1));
    t.push_back(Info(Kind::DebtorsByDate, u"Dugovi_datum", u"duznici.rpt", u" Dužnici",
                     u"Izvještaj dužnika po datumima računa", u"Query dužnici1.Datum", customers,
                     1));
    t.push_back(Info(Kind::DebtorsByDueDate, u"Dugovi_dospijece", u"duznici.rpt", u" Dužnici",
                     u"Izvještaj dužnika po datumima dospijeća", u"Query dužnici1.Dospijeće",
                     customers, 2));
    t.push_back(Info(Kind::DebtorsBySalesTerms, u"Dugovi_uvjet_prodaje", u"duznici.rpt",
                     u" Dužnici", u"Izvještaj dužnika po uvjetima prodaje", u"Query dužnici1.Datum",
                     customers, 3));
    PaymentReportInfo methods =
        Info(Kind::DebtsByPaymentMethod, u"Dugovi_nacin_placanja", u"dug_nacini_placanja.rpt",
             u" Izvještaj po načinima plaćanja", u"Izvještaj po načinima plaćanja",
             u"NaplataPoNacinimaPlacanja.Datum");
    methods.warehouseField = QStringLiteral("NaplataPoNacinimaPlacanja.Skladište");
    methods.yearField = QStringLiteral("NaplataPoNacinimaPlacanja.Godina");
    t.push_back(methods);
    t.push_back(Info(Kind::CollectedAll, u"Naplaceni_iznosi_svi", u"naplaceno.rpt",
                     u" Naplaćeni iznosi",
                     u"Izvještaj o svim naplaćenim iznosima za izlazne račune", u""));
    t.push_back(Info(Kind::CollectedByDate, u"Naplaceni_iznosi_po_datumu_pl", u"naplaceno.rpt",
                     u" Naplaćeni iznosi", u"Izvještaj o naplaćenim iznosima za izlazne račune",
                     u"NAPLATA.Datum"));
    t.push_back(Info(Kind::SupplierDebtsAll, u"Dugovi_svi_UFA", u"dug_UFA.rpt",
                     u" Dugovi po ulaznim računima", u"Svi dugovi po ulaznim računima", u"",
                     suppliers, 1));
    t.push_back(Info(Kind::SupplierDebtsByDate, u"Dugovi_datum_UFA", u"dug_UFA.rpt",
                     u" Dugovi po ulaznim računima", u"Izvještaj dugova po datumima ulaznih računa",
                     u"Query UFA dugovi2.Datum", suppliers, 1));
    t.push_back(Info(Kind::SupplierDebtsByDueDate, u"Dugovi_dospijece_UFA", u"dug_UFA.rpt",
                     u" Dugovi po ulaznim računima",
                     u"Izvještaj dugova po datumima dospijeća ulaznih računa",
                     u"Query UFA dugovi2.Dospijeće", suppliers, 2));
    t.push_back(Info(Kind::PaidAll, u"Placeni_iznosi_svi_UFA", u"placeno_UFA.rpt",
                     u" Plaćeni iznosi", u"Izvještaj o svim plaćenim iznosima za ulazne račune",
                     u""));
    t.push_back(Info(Kind::PaidByDate, u"Placeni_iznosi_po_datumu_pl_UFA", u"placeno_UFA.rpt",
                     u" Plaćeni iznosi", u"Izvještaj o plaćenim iznosima za ulazne račune",
                     u"PLACANJA.Datum"));
    t.push_back(Info(Kind::CustomerPayments, u"", u"uplate.rpt", u" Uplate kupaca",
                     u"Uplate kupaca", u"Uplate kupaca.Datum"));
    t.push_back(Info(Kind::CustomerPaymentsByDay, u"", u"uplate_dan.rpt", u" Uplate kupaca",
                     u"Uplate kupaca po danima", u"Uplate po danima.Datum"));
    t.push_back(Info(Kind::SupplierPayments, u"", u"uplate_ura.rpt", u" Uplate dobavljačima",
                     u"Uplate dobavljačima", u"Uplate dobavljačima.Datum"));
    t.push_back(Info(Kind::SupplierPaymentsByDay, u"", u"uplate_ura_dan.rpt",
                     u" Uplate dobavljačima", u"Uplate dobavljačima po danima",
                     u"Uplate URA po danima.Datum"));
    PaymentReportInfo opening = Info(Kind::CustomerOpeningBalances, u"", u"poc_stanja.rpt",
                                     u" Početna stanja kupaca", u"Početna stanja kupaca", u"");
    opening.yearField = QStringLiteral("PARTNERI POCETNO STANJE.Godina");
    t.push_back(opening);
    PaymentReportInfo supplierOpening =
        Info(Kind::SupplierOpeningBalances, u"", u"poc_stanja_ura.rpt",
             u" Početna stanja dobavljača", u"Početna stanja dobavljača", u"");
    supplierOpening.yearField = QStringLiteral("DOBAVLJACI POCETNO STANJE.Godina");
    t.push_back(supplierOpening);
    PaymentReportInfo cards =
        Info(Kind::CustomerCards, u"Izlazni_racuni_kartice", u"kartice_kupaca.rpt",
             u" Kartice kupaca", u"Kartice kupaca", u"Kartice kupaca.Datum");
    cards.partnerField = QStringLiteral("Kartice kupaca.Partner");
    t.push_back(cards);
    PaymentReportInfo ownCards =
        Info(Kind::CustomerCardsOfWarehouse, u"Izlazni_racuni_kartice_za_izabrano_skladiste",
             u"kartice_kupaca.rpt", u" Kartice kupaca", u"Kartice kupaca za izabrano skladište",
             u"Kartice kupaca.Datum");
    ownCards.partnerField = cards.partnerField;
    t.push_back(ownCards);
    PaymentReportInfo supplierCards =
        Info(Kind::SupplierCards, u"Ulazni_racuni_kartice", u"kartice_dobavljaca.rpt",
             u" Kartice dobavljača", u"Kartice dobavljača", u"Kartice dobavljača.Datum");
    supplierCards.partnerField = QStringLiteral("Kartice dobavljača.Partner");
    t.push_back(supplierCards);
    return t;
}

}  // namespace

const std::vector<PaymentReportInfo>& PaymentReports() {
    static const std::vector<PaymentReportInfo> table = BuildTable();
    return table;
}

const PaymentReportInfo& PaymentReportOf(PaymentReportKind kind) {
    const auto& table = PaymentReports();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [kind](const PaymentReportInfo& i) { return i.kind == kind; });
    Q_ASSERT(it != table.end());
    return *it;
}

std::optional<PaymentReportKind> PaymentReportByCommand(const QString& command) {
    for (const PaymentReportInfo& info : PaymentReports()) {
        if (!info.command.isEmpty() && info.command == command) {
            return info.kind;
        }
    }
    return std::nullopt;
}

std::optional<PaymentReportKind> PaymentReportByName(const QString& name) {
    for (const PaymentReportInfo& info : PaymentReports()) {
        const QString& key = info.command.isEmpty() ? info.file : info.command;
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return info.kind;
        }
    }
    return std::nullopt;
}

std::vector<PartnerEntry> Debtors(Database& db, PartnerSide side) {
    // An invoice is open while its amount at the cent exceeds what was paid on it at the cent;
    // the sums are read per invoice and compared here, where the rounding is the program's own.
    const QString sql =
        side == PartnerSide::Suppliers
            ? QStringLiteral(
                  "SELECT k.\"Šifra dobavljača\", p.\"NAZIV\", k.\"Iznos računa sa porezom\", "
                  "(SELECT SUM(pl.\"Iznos\") FROM \"PLACANJA\" pl WHERE pl.\"URA\" = k.\"URA\" "
                  "AND pl.\"GODINA\" = k.\"GODINA\" AND pl.\"Redni broj knjige UFA\" = "
                  "k.\"Redni broj\") FROM \"KNJIGE_ULAZNIH_RACUNA\" k JOIN \"PARTNERI\" p ON "
                  "p.\"SIFRA\" = k.\"Šifra dobavljača\"")
            : QStringLiteral(
                  "SELECT r.\"SIFRA PARTNERA\", p.\"NAZIV\", (SELECT SUM(s.\"UKUPNO_\") FROM "
                  "\"STAVKE_RACUNA\" s WHERE s.\"SKLADISTE\" = r.\"SKLADISTE\" AND s.\"IRA\" = "
                  "r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND s.\"BROJ_RACUNA\" = "
                  "r.\"BROJ RACUNA\"), (SELECT SUM(n.\"Iznos\") FROM \"NAPLATA\" n WHERE "
                  "n.\"Skladište\" = r.\"SKLADISTE\" AND n.\"IRA\" = r.\"IRA\" AND n.\"Godina\" = "
                  "r.\"GODINA\" AND n.\"Broj računa\" = r.\"BROJ RACUNA\") FROM \"RACUNI\" r JOIN "
                  "\"PARTNERI\" p ON p.\"SIFRA\" = r.\"SIFRA PARTNERA\" WHERE r.\"STORNO\" = ?");
    Statement st = db.Prepare(sql);
    if (side != PartnerSide::Suppliers) {
        st.Bind(0, false);
    }
    st.Exec();
    std::vector<PartnerEntry> debtors;
    while (st.Next()) {
        if (RoundMoney(st.Double(2)) <= RoundMoney(st.Double(3))) {
            continue;
        }
        const int code = st.Int(0);
        if (std::none_of(debtors.begin(), debtors.end(),
                         [code](const PartnerEntry& e) { return e.code == code; })) {
            debtors.push_back({code, st.Text(1)});
        }
    }
    QCollator collator{QLocale(QLocale::Croatian, QLocale::Croatia)};
    std::sort(debtors.begin(), debtors.end(),
              [&collator](const PartnerEntry& a, const PartnerEntry& b) {
                  const int c = collator.compare(a.name, b.name);
                  return c != 0 ? c < 0 : a.code < b.code;
              });
    return debtors;
}

void KeepChosenPartners(Database& db, int sessionCode, const std::vector<int>& partners) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"IZABRANI_PARTNERI\" WHERE \"SESIJA\" = ?"),
            {sessionCode});
    Statement insert = db.Prepare(
        QStringLiteral("INSERT INTO \"IZABRANI_PARTNERI\" (\"SESIJA\", \"SIFRA\") VALUES (?, ?)"));
    for (const int code : partners) {
        insert.Exec({sessionCode, code});
    }
    tx.Commit();
}

reports::ReportRequest PaymentReportRequest(Session& session, PaymentReportKind kind,
                                            const PaymentReportChoice& choice) {
    using reports::CompareOp;
    const PaymentReportInfo& info = PaymentReportOf(kind);
    reports::ReportRequest request;
    request.reportFile = info.file;
    request.title = info.statusText.trimmed();
    QString title = info.title;
    if (!info.dateField.isEmpty()) {
        if (!choice.range) {
            throw UserError(QStringLiteral("Izvještaj ") + info.file +
                            QStringLiteral(" traži početni i završni datum."));
        }
        title += QStringLiteral(" od ") + choice.range->fromText + QStringLiteral(" do ") +
                 choice.range->toText;
        request.selection.Where(info.dateField, CompareOp::GreaterOrEqual, choice.range->from)
            .Where(info.dateField, CompareOp::LessOrEqual, choice.range->to);
    }
    if (!info.warehouseField.isEmpty()) {
        request.selection.Where(info.warehouseField, CompareOp::Equal,
                                session.activeWarehouse.code);
    }
    if (!info.yearField.isEmpty()) {
        request.selection.Where(info.yearField, CompareOp::Equal, session.businessYear);
    }
    if (!info.partnerField.isEmpty() && !choice.partners.empty()) {
        if (choice.partners.size() > 1) {
            throw UserError(QStringLiteral("Kartica se ispisuje za jednog partnera ili za sve."));
        }
        request.selection.Where(info.partnerField, CompareOp::Equal, choice.partners.front());
    }
    request.Formula(QStringLiteral("NASLOV"), title);
    request.parameters = reports::SessionParameters(session);
    // The card of one warehouse keeps the other warehouses' rows out of its running balance,
    // so it is chosen inside the card's query rather than by the selection.
    request.Parameter(QStringLiteral("SAMO_SKLADISTE"),
                      kind == PaymentReportKind::CustomerCardsOfWarehouse ? 1 : 0);
    if (info.partners != PartnerSide::None) {
        std::vector<int> partners = choice.partners;
        if (partners.empty()) {
            for (const PartnerEntry& e : Debtors(session.Db(), info.partners)) {
                partners.push_back(e.code);
            }
        }
        KeepChosenPartners(session.Db(), session.sessionCode, partners);
        request.Parameter(QStringLiteral("REDOSLIJED"), info.order);
    }
    return request;
}

QString DebtorDatesProblem(const reports::RangeInput& input) {
    if (!input.from.isValid()) {
        return QStringLiteral("Početni datum nije ispravno upisan.");
    }
    if (!input.to.isValid()) {
        return QStringLiteral("Završni datum nije ispravno upisan.");
    }
    return {};
}

}  // namespace zodra::payments

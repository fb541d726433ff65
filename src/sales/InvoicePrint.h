#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

#include "reports/ReportEngine.h"
#include "sales/InvoiceLines.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Printing a posted wholesale invoice of the session's warehouse and business year: the
// invoice itself, the invoice that is also the delivery note, the delivery note alone, its
// cancellation and the invoice in foreign currency. Every value reaches the report as a bound
// selection, parameter or named formula.
namespace zodra::sales {

enum class InvoicePrintKind {
    Invoice,              // "racun_p.rpt" (or the company's own layout), "Ispis računa br. "
    InvoiceDeliveryNote,  // "rac_otpr.rpt", "Ispis računa-otpremnice br. "
    DeliveryNote,         // "otprem.rpt", "Ispis otpremnice br. "
    Cancellation,         // "racun_storno.rpt" / "racun_m_storno.rpt", "Ispis storna računa br. "
    ForeignCurrency,      // "racun_dev.rpt", "Ispis računa br. " n " u devizama (" currency ")"
};

// A posted invoice's figures as its printout shows them: per tax rate the base (Σ VRIJEDNOST_)
// and the tax (Σ POREZ_IZNOS), the whole invoice's value, discount, tax and total (Σ UKUPNO_),
// each a sum of the lines' amounts rounded to the cent, and what is left to pay after the
// amount already paid.
struct InvoiceRate {
    double rate = 0;  // percent
    double base = 0;
    double tax = 0;
};
struct InvoiceSummary {
    int salesTerms = 0;
    QDate date;
    bool cancelled = false;
    std::vector<InvoiceRate> perRate;  // ascending by rate
    double valueBeforeDiscount = 0;
    double discount = 0;
    double value = 0;
    double tax = 0;
    double total = 0;
    double alreadyPaid = 0;
    double ToPay() const;
};
// The figures of the rows of a line table (STAVKE_RACUNA and the tables of its columns) whose key
// columns hold the key's values; with a rate, each amount is divided by it before it is added.
InvoiceSummary SumOfLines(Database& db, const QString& lineTable, const QStringList& keyColumns,
                          const QVariantList& key, double rate = 1.0);

// The layout `name` from the folder of the sales terms' own layouts (the report folder's path
// followed by "_" and the terms' code) when that folder holds it, as a path; else `name`.
QString TermsReportFile(const QString& reportFolder, int salesTerms, const QString& name);

// "Ne postoji proknjiženi račun broj " n when the book has no such invoice. With a rate, the
// amounts are the lines' amounts divided by it (in the foreign currency) before they are added.
InvoiceSummary SummaryOfInvoice(Database& db, int warehouse, int book, int year, int number,
                                double rate = 1.0);

// The payment reference printed for the bank slip: the one typed into the header (model "HR00"
// put in front when it has no model of its own), else model HR00 with the invoice's number,
// book and year ("HR00 15-2-2026"). Only digits and hyphens are kept of a typed reference's body,
// as the payment slip allows no other characters there.
QString PaymentReference(const QString& typed, int number, int book, int year);

// The report file of the kind for an invoice under the sales terms: the invoice's base name is
// the company's own (PODACI_FIRME "REPORT MRACUNA" for the retail terms 1, "REPORT VRACUNA" for
// the others; a bare ".rpt" file name that the folders below hold) or "racun_p.rpt".
// `withoutDiscount` asks for the layout without discount columns ("BezRabata_" before the name; the
// invoice and the invoice-delivery-note have one). A file of that name in the folder of the terms'
// own layouts (the report folder's path followed by "_" and the terms' code) is taken before the
// shared one; the result is then a path.
QString InvoiceReportFile(Database& db, const QString& reportFolder, int salesTerms,
                          InvoicePrintKind kind, bool withoutDiscount);

// The print request: the title, the file, the selection of the invoice's lines, the parameters
// of the header (:PSKLADISTE, :PIRA, :PGODINA, :PBROJ) and the formulas "IznosSlovima" (the amount
// left to pay in words), "DodatniTekst", "PozivNaBroj", "DodatniPodaci" (2 when the lines carry
// extra data, else 0), "ZaPlatiti", "Naplate" (the number of the invoice's rows in NAPLATA, empty
// when none: the layout's payments block "naplata_racuna.rpt" prints only then; a line whose
// article has vehicle data gets "podaci_vozila.rpt" under it); a cancellation's "IznosSlovima" is
// its negated total; the foreign-currency invoice adds "TECAJ", "VALUTA" and the totals in the
// currency
// ("UKUPNO_DEV_VRIJEDNOST" …; TECAJ_TEKST the rate as printed) in the currency the invoice was
// issued in at the rate it recorded, and refuses an invoice in the home currency ("Račun broj " n
// " nije izdan u stranoj valuti."). A cancellation print of an
// invoice that is not cancelled is refused ("Račun broj " n " nije storniran.").
reports::ReportRequest InvoicePrintRequest(
    Session& session, int book, int number, InvoicePrintKind kind = InvoicePrintKind::Invoice,
    bool withoutDiscount = false,
    const QString& reportFolder = reports::ReportEngine::DefaultFolder());

// "Ispis" in the invoice window before posting: the working copy's lines in the invoice layout
// ("racun_pr.rpt", title "Ispis računa u radu"), marked as not posted and without a number (none
// is claimed before posting). The customer, book, terms and date come from the draft; the words
// spell the working copy's total. Refused: a draft without book, terms or customer (the line
// guards' messages) and one without lines ("Račun nema niti jedne stavke !").
reports::ReportRequest WorkingInvoicePrintRequest(
    Session& session, const InvoiceDraft& draft,
    const QString& reportFolder = reports::ReportEngine::DefaultFolder());

}  // namespace zodra::sales

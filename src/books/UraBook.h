#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::purchasing {
struct ReceiptTaxSummary;
}

// The input invoice book ("Knjiga ulaznih računa", URA): one row per supplier's invoice in a
// book of KNJIGE_URA and a business year, numbered by "Redni broj". Each row carries, per rate
// column of the book, the base, the total input tax and its deductible and non-deductible
// parts, the base that bears no tax, and the invoice total. The rate columns are the book's own
// structure (one set of columns per rate the book has known); the kind of purchase says which
// lines of the VAT form the row feeds.
namespace zodra::books {

// The rates the book keeps columns for, ascending: the current 5, 13 and 25 % and the earlier
// 10, 22 and 23 %.
inline constexpr std::array<int, 6> kUraRates{5, 10, 13, 22, 23, 25};

// What was bought, for the VAT form's lines (stored in "Vrsta nabave"). The kind alone decides
// the lines; a new row takes its book's kind unless another is chosen (books 4 and 5 are kept
// for imports and for services bought abroad).
enum class PurchaseKind {
    Domestic = 0,         // tuzemni računi (lines 301–303)
    DomesticReverse = 1,  // tuzemni prijenos porezne obveze (304)
    EuGoods = 2,          // stjecanje dobara unutar EU (305–307)
    EuServices = 3,       // usluge primljene iz EU (308–310)
    ForeignServices = 4,  // dobra i usluge od poreznih obveznika bez sjedišta (311–313)
    Import = 5,           // uvoz (314)
};
inline constexpr int kPurchaseKindCount = 6;
QString PurchaseKindName(PurchaseKind kind);
// The kind a new row of the book starts with: imports in book 4, services bought abroad in
// book 5, domestic purchases elsewhere.
PurchaseKind DefaultPurchaseKind(int book);

struct UraRateAmounts {
    double base = 0;           // Osnovica r
    double tax = 0;            // PretporezUkupno r
    double deductible = 0;     // PretporezOdbiti r
    double nonDeductible = 0;  // PretporezNeOdbiti r
    bool IsZero() const { return base == 0 && tax == 0 && deductible == 0 && nonDeductible == 0; }
};

struct UraInvoice {
    int book = 1;           // URA
    int year = 0;           // GODINA
    int number = 0;         // Redni broj; 0 = the next free one, given inside the posting
    QString invoiceNumber;  // Račun broj, 1 to 20 characters
    QDate date;             // Račun datum
    QDate due;              // Dospijeće (may be empty)
    int supplier = 0;       // Šifra dobavljača
    QString type;           // "R-1" or "R-2"
    PurchaseKind kind = PurchaseKind::Domestic;
    double base0 = 0;  // Osnovica0: bears no tax (exempt or at 0 %)
    std::array<UraRateAmounts, kUraRates.size()> rates{};
    double total = 0;  // Iznos računa sa porezom

    // The amounts of a rate column (one of kUraRates).
    UraRateAmounts& AtRate(int rate);
    const UraRateAmounts& AtRate(int rate) const;
    // base 0 % + every base + every total tax, at the cent.
    double ComputedTotal() const;
};

// Whether the book has columns for this rate.
bool IsUraRate(int rate);

// The messages of the book.
QString UraMissingSupplierMessage();    // "Nije izabran dobavljač !"
QString UraMissingTypeMessage();        // "Nije izabran tip računa (R-1 ili R-2) !"
QString UraInvoiceNumberMessage();      // "Broj računa nije upisan ili je duži od 20 znakova !"
QString UraDuplicateMessage();          // "Ulazni račun pod ovim rednim brojem je već upisan !"
QString UraInvalidSerialMessage();      // "Nije ispravno upisan broj !"
QString UraDeleteQuestion();            // "Želite li izbrisati ulazni račun?"
QString UraMissingMessage(int number);  // "Ne postoji upisani ulazni račun broj " + n
// "Po ovom računu je evidentirano plaćanje od … šta je veće od iznosa računa od … . Nije
// dozvoljena promjena." with both amounts as currency.
QString UraOverpaidMessage(double paid, double total, const QString& currency);

// The checks of "Prihvati" that need no database: supplier, type, invoice number, date, and
// every amount a finite number within the amount range. Throws UserError.
void CheckUraInvoice(const UraInvoice& invoice);

int NextUraNumber(Database& db, int book, int year);
bool UraExists(Database& db, int book, int year, int number);
std::optional<UraInvoice> LoadUraInvoice(Database& db, int book, int year, int number);
std::vector<UraInvoice> ListUraInvoices(Database& db, int book, int year);
// The sum of the payments recorded on an invoice (PLACANJA).
double UraPaid(Database& db, int book, int year, int number);

// Adds the invoice in one write transaction: the checks again, the number (the next free one
// when 0) checked inside it, then the whole row. Returns the number written.
int InsertUraInvoice(Database& db, UraInvoice invoice);
// Rewrites the invoice at `invoice.number` in one transaction: every column, the rates not
// chosen set to 0. Refused when the recorded payments exceed the new total, or when the row is
// gone.
void RewriteUraInvoice(Database& db, const UraInvoice& invoice, const QString& currency);
// Deletes the invoice with its payments. Refused (UraMissingMessage) when there is none.
void DeleteUraInvoice(Database& db, int book, int year, int number);
// The list window's deletion: asks UraDeleteQuestion (No by default) first.
bool DeleteUraInvoiceAsked(Database& db, int book, int year, int number, Prompter& prompter);

// The company's input invoice books (KNJIGE_URA), by code.
struct UraBookChoice {
    int code = 0;
    QString name;
};
std::vector<UraBookChoice> UraBookChoices(Database& db);

// The suppliers an invoice can be entered for (partners marked "Dobavljac"), by name.
struct UraSupplier {
    int code = 0;
    QString name;
};
std::vector<UraSupplier> UraSuppliers(Database& db);

// The amounts of a receipt's tax summary as an input invoice: each rate of the summary into
// its column, lines at 0 % and the packaging into the base without tax, the deductible tax the
// whole tax, the total their sum, the due date the receipt's date plus the supplier's delay.
// A rate the book has no column for is refused with a message naming it.
void FillFromReceipt(UraInvoice& invoice, const purchasing::ReceiptTaxSummary& summary,
                     const QDate& receiptDate);

}  // namespace zodra::books

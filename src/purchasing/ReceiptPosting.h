#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "data/Errors.h"
#include "data/StockMethod.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptSummary.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::purchasing {

// The header of a goods receipt as the receipt window collects it.
struct ReceiptHeaderData {
    int number = 0;  // proposed (the next number) or typed
    QDate date;
    std::optional<int> supplier;  // PARTNERI.SIFRA, written only when chosen
    QString supplierDocument;     // the supplier's delivery note or invoice number
    QDate supplierDocumentDate;
    int type = 1;  // TIP_PRIMKE: 1 entered in the window
};

// A refusal of a field of the receipt window: the window puts the focus back into the field.
using FieldRefusal = FieldError;

// Field keys of the receipt header (the columns they are stored in).
inline QString SupplierField() {
    return QStringLiteral("SIFRA DOBAVLJACA");
}
inline QString SupplierDocumentField() {
    return QStringLiteral("DOKUMENT DOBAVLJACA");
}
inline QString SupplierDocumentDateField() {
    return QStringLiteral("DATUM DOKUMENTA DOBAVLJACA");
}
inline QString NumberField() {
    return QStringLiteral("BROJ PRIMKE");
}

// The supplier's document as the user types it: not empty, at most 20 characters. Texts the
// program generates ("Storno primke 12-…") are not checked and may be longer.
constexpr int kSupplierDocumentLength = 20;
void CheckSupplierDocument(const QString& typed);

// A number typed into the receipt's number box: a number ("Nije ispravno upisan broj !"), not 0
// ("Broj primke nesmije biti 0 (nula) !"), within the range of the receipt's type ("Broj
// primke mora biti između 1 i 100000 !"), not a receipt already posted in the warehouse and
// year ("Primka pod ovim brojem je već napravljena !"). Returns the number.
int CheckReceiptNumber(Database& db, int warehouse, int year, const QString& typed, int type = 1);

// Lines may be added once a supplier is chosen ("Nije izabran dobavljač !") and the supplier's
// document typed ("Dokument dobavljača mora biti upisan").
void CheckReadyForLines(const ReceiptHeaderData& header);

// The control totals: each summary amount that is not 0 is compared, at two decimals, with the
// sum over the lines; every difference gives its Yes/No question (title "Knjiženje primke").
QStringList ControlTotalQuestions(const ReceiptSummary& summary, const ReceiptTotals& totals,
                                  const QString& currencyName);
QString ControlTotalsTitle();
// An amount as the questions show it: "1.234,50 EUR".
QString CurrencyText(double amount, const QString& currencyName);

QString PostedMessage(int number);  // "Primka je proknjižena pod brojem " n

// Posting ("Proknjiži"): the document checks and the control-total questions (before any
// transaction), then PostWorkingReceipt. Returns the posted number, or nothing when the user
// answered No to a question. Refusals are UserErrors (FieldRefusal for a field); the working
// copy then stays as it was.
std::optional<int> PostReceipt(Session& session, Prompter& prompter,
                               const ReceiptHeaderData& header,
                               const std::optional<ReceiptSummary>& summary);

// What the posting transaction writes beyond the working lines.
struct PostingExtras {
    int currency = 1;
    QDate rateDate;
    std::vector<DependentCost> items;
    std::optional<int> cancels;  // the receipt this one cancels (storno)
};

// The posting transaction of a receipt whose lines are in a working copy under `sessionCode`:
// the number re-checked (taken meanwhile: the next free number of the receipt's type), the
// header with its trade-book position and stock-keeping method, the trade-book entry, the
// lines copied in column order with their tax groups, the lots, the dependent-cost items, the
// consistency check, and the working copy cleared — all in one transaction, or nothing.
// Returns the number posted.
int PostWorkingReceipt(Session& session, const ReceiptHeaderData& header, StockMethod method,
                       int sessionCode, const PostingExtras& extras);

// The trade-book description of a receipt: "PRIMKA " n " " supplier's document.
QString TradeBookDescription(int number, const QString& supplierDocument);

}  // namespace zodra::purchasing

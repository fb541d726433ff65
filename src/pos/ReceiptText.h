#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "data/Session.h"

namespace zodra::pos {

// What the receipt text takes from the company's and the workstation's settings.
struct ReceiptOptions {
    QString footer;          // "Fiksni dodatni tekst"
    bool printTime = false;  // "Ispis vremena na POS računu"
    int lineFeeds = 5;       // "POS Printer Line Feed Number"
    bool summed = false;     // retail invoices summed at day end: the detail tables are read
    QString currency = QStringLiteral("EUR");  // named after the totals and the payments
    // The negative receipt of a cancelled invoice: "STORNO RAČUNA br.:", the cancellation's
    // date, every amount negated, the counter-payments, the cancellation's fiscal marks.
    bool cancellation = false;
};
ReceiptOptions OptionsOf(const Session& session);

// The currency the receipt and the customer display name: the company's home currency (the
// currency register's first row), "EUR" when it has none.
QString ReceiptCurrency(const Session& session);

struct InvoiceKey {
    int warehouse = 0;
    int book = 1;  // IRA
    int year = 0;
    int number = 0;
};

// The 40-column receipt of a posted invoice, one entry per printed line (the feed lines at the
// end included), in Unicode. Throws UserError when the invoice does not exist, or for the
// negative receipt when it is not cancelled ("Račun broj " n " nije storniran."). The payments
// are the sale's own; the negative receipt's are the cancellation's counter-payments. With fiscal
// marks, their lines follow the payments and `qrAt` gets the number of lines after which the
// QR code is printed.
QStringList ReceiptLines(Database& db, const ReceiptOptions& options, const InvoiceKey& key,
                         const Session::FiscalMarks* marks = nullptr, int* qrAt = nullptr);

// The fiscal marks as receipt lines: the receipt number, the moment of issue, the operator, the
// ZKI and, once it is known, the JIR.
QStringList FiscalMarkLines(const Session::FiscalMarks& marks);

// The printer's native QR command for `data` (GS ( k): model 2, module size 6, error
// correction M, the data stored, then printed, centred by ESC a 1 and back to the left after.
QByteArray QrCodeCommand(const QByteArray& data);

// The receipt's bytes in the printer's code page: the lines, with the QR command of `qrText`
// (nothing when empty) after the first `qrAt` lines.
QByteArray EncodeReceipt(const QStringList& lines, int codePage, const QString& qrText, int qrAt);

// The marks of a posted retail invoice the session's wiring knows (nullopt: not fiscalized);
// with `options.cancellation` those of its negative receipt.
std::optional<Session::FiscalMarks> MarksOfReceipt(Session& session, const ReceiptOptions& options,
                                                   const InvoiceKey& key);

// The footer centred in 40 columns, one entry per printed line (a longer text is wrapped at
// word boundaries first).
QStringList CenteredLines(const QString& text);

// Lines in the printer's code page, each ended by a line feed.
QByteArray EncodeLines(const QStringList& lines, int codePage);

// A text of several receipts, or the reason there is none.
struct TapeText {
    QStringList lines;
    QString error;
};

// The fiscal marks of a receipt (with `cancellation`, of its negative receipt) for a text of
// receipts; nullopt when it has none.
using TapeMarks =
    std::function<std::optional<Session::FiscalMarks>(const InvoiceKey&, bool cancellation)>;
// The marks the session's wiring knows.
TapeMarks SessionMarks(Session& session, const ReceiptOptions& options);

// The control tape: every retail invoice (IRA book 1, sales terms 1) of the warehouse dated
// `dateText` (DD.MM.YYYY) and the negative receipt of every one cancelled that day, in the order
// they were issued: by their fiscal issue time (or a sale's posting time), the fiscal number
// (else the invoice number) within the same second; a negative receipt without marks (one never
// fiscalized, whose time nobody knows) comes after the day's others. Each is printed as on its
// own, with its fiscal marks when `marksOf` gives them (the QR code stays off the tape).
TapeText ControlTapeLines(Database& db, const ReceiptOptions& options, int warehouse, int year,
                          const QString& dateText, const TapeMarks& marksOf = {});
// The retail invoices numbered `from` to `to` (" Ispis maloprodajnih računa od - do") in their
// order, each cancelled one followed by its negative receipt, with the fiscal marks `marksOf`
// gives (as on the control tape).
TapeText RangeLines(Database& db, const ReceiptOptions& options, int warehouse, int year, int from,
                    int to, const TapeMarks& marksOf = {});

}  // namespace zodra::pos

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "pos/ReceiptText.h"

namespace zodra {
struct WorkstationSettings;
class Session;
}  // namespace zodra

namespace zodra::pos {

// Every function here reports a failure as its returned text (empty: done) and never throws for
// a device: a printer that is unplugged must not undo a sale that is already posted. Devices are
// opened with a short timeout so that a dead one never blocks the register.

// Where "POS Printer Port" (or "Customer Display Port") sends bytes:
//   "COMn"            the serial port /dev/ttyS{n-1} with the serial settings ("9600,n,8,1");
//   a path "/dev/…"   a serial device (any terminal: ttyUSB, ttyACM, pts) through the serial
//                     settings, any other device file (/dev/usb/lp0) written raw;
//   "DefaultPrinter"  the default CUPS queue, raw (lp -o raw);
//   any other name    the CUPS queue of that name, raw (lp -d NAME -o raw).
struct PosPort {
    enum class Kind { Serial, DeviceFile, Queue, DefaultQueue };
    Kind kind = Kind::DeviceFile;
    QString target;    // device path or queue name
    QString settings;  // serial settings
};
std::optional<PosPort> ResolvePort(const QString& port, const QString& settings);

// How long a device may take to open and take the bytes.
inline constexpr int kDeviceTimeoutMs = 3000;

// Writes each entry of `openings` in an opening of the port of its own (for a queue: all of them
// as one raw job through a temporary file of its own).
QString WriteToPort(const PosPort& port, const QList<QByteArray>& openings);

// Sends text already in the printer's code page (lines ended by "\n") to the receipt printer:
// the initialisation bytes and the character-table command ESC t n, the text (in one opening, or
// with "POS Printer Line Pause" 1 or more in an opening per line), then the paper cut in an
// opening of its own.
QString SendToPosPrinter(const WorkstationSettings& settings, const QByteArray& text);

// The bytes SendToPosPrinter writes, opening by opening (nullopt and `error` set for a bad
// setting).
std::optional<QList<QByteArray>> PrinterOpenings(const WorkstationSettings& settings,
                                                 const QByteArray& text, QString* error);

// Opens the cash drawer attached to the receipt printer (nothing without "POS Printer Cash
// Drawer").
QString OpenCashDrawer(const WorkstationSettings& settings);

// Two lines on the customer display, each cut or padded to 20 characters, after the clearing
// bytes 0x00 0x0C (nothing without "Customer Display").
QString ShowOnCustomerDisplay(const WorkstationSettings& settings, const QString& line1,
                              const QString& line2);

// The receipt of a posted invoice on the receipt printer (the drawer opened first when asked);
// the customer display then shows the footer. With `cancellation` the negative receipt of the
// cancelled invoice, with its own fiscal marks and QR code.
QString PrintReceipt(Session& session, const InvoiceKey& key, bool openDrawer,
                     bool cancellation = false);
// The same with the receipt's options given (an invoice of the main tables where the company
// sums its retail invoices, say).
QString PrintReceipt(Session& session, const InvoiceKey& key, const ReceiptOptions& options,
                     bool openDrawer);

// A text of receipts (the control tape, a range) on the receipt printer; `refusal` is the text
// shown when no receipt printer is configured.
QString PrintLines(const WorkstationSettings& settings, const QStringList& lines,
                   const QString& refusal);

// The configuration's "Test": a test receipt on the printer and a test text on the display.
QStringList TestPrintLines(const WorkstationSettings& settings);
QString TestDevices(const WorkstationSettings& settings);

// Refusals where no receipt printer is configured.
QString NoPrinterText();
QString NoPrinterForTapeText();

}  // namespace zodra::pos

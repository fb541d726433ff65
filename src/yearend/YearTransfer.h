#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include <optional>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// "Prijenos u novu godinu": the business year in use is closed and the next one opened, either
// in a new company file (which receives every register, the configuration, the users, the
// opening stock and the opening balances of customers and suppliers) or in the same file,
// which then keeps several years. The opening stock is posted as goods receipts dated on the
// transfer date from the partner "Prijenos iz prošle godine", document "Prijenos", one per
// warehouse, through the receipt posting's lots and trade-book entry: under the pooled methods
// one line per article (quantity, cost and selling price of its pooled lot), under FIFO one
// line per remaining lot; an article with several remaining lots puts them into consecutive
// receipts (the oldest lot into the first), so that each old lot stays a lot of its own and
// the oldest is still issued first.
namespace zodra::yearend {

// The texts of the transfer.
QString StartQuestion();         // "Želite li napraviti prijenos u novu godinu?"
QString DatePrompt();            // "Upišite datum na koji će se knjižiti prijenos."
QString SeveralYearsQuestion();  // "Želite li u bazi imati podatke od više godina?"
QString SameYearMessage();       // "Nova i stara godina nesmiju biti iste. …"
QString SameFileMessage();       // "Za novu datoteku morate izabrati novo ime !"
QString ExistingFileMessage();   // "Datoteka sa ovim imenom već postoji! Izaberite drugo ime."
QString DoneMessage();           // "Prijenos napravljen uspješno."
QString NewFileDialogTitle();    // "Nova datoteka"
QString NewFileFilter();         // "Zodra datoteke|*.mdb"
// The new year's opening stock or balances are there already.
QString AlreadyDoneMessage(int year);
// A new year before the one in use.
QString EarlierYearMessage();
// Under FIFO the opening lots must be the new year's first: a year that already has stock
// documents is refused within the same file.
QString FifoYearHasDocumentsMessage(int year);

// The name of the partner the opening receipts come from, and the texts they carry.
QString TransferPartnerName();  // "Prijenos iz prošle godine"
QString OpeningDocument();      // "Prijenos"
QString OpeningDescription();   // "Početno stanje"

struct Outcome {
    int oldYear = 0;
    int newYear = 0;
    int receipts = 0;   // opening receipts posted
    int lots = 0;       // receipt lines (one per lot of the new year)
    int customers = 0;  // opening-balance rows of customers
    int suppliers = 0;  // and of suppliers
};

// Test seam: called at named points of the transfer ("registers-copied", "stock-posted") so that
// a test can make it fail midway.
using Checkpoint = std::function<void(const char*)>;

// What the transfer is doing, as it goes: the step's text and how far it has come (`done` of
// `total`; a total of 0 is a step without a count). The steps, in order: "Zaključno stanje
// godine " old year (reading it), "Prepisivanje šifarnika" (a new file: table by table), one
// "Početno stanje zaliha, skladište " n per opening receipt (counted over all of them), and
// "Početna stanja kupaca i dobavljača" (customers, then suppliers).
using Steps = std::function<void(const QString& step, int done, int total)>;

// Refuses a target for the new file: the open company's own file (SameFileMessage), any file
// that exists, or its detail file beside it (ExistingFileMessage).
void CheckNewFile(Database& source, const QString& target);

// Transfer into a new company file at `target`, written under a temporary name and renamed only
// when complete: a failure leaves no file behind. The source is read in one snapshot; its
// business year is the one in use ("Godina koja se knjiži"), the new year is `date`'s. The new
// file keeps the source's password and users (so the administrator's password too).
Outcome IntoNewFile(Database& source, const QDate& date, const QString& target,
                    const Checkpoint& checkpoint = {}, const Steps& steps = {});

// Transfer within the same file, in one transaction: the new year's opening stock and opening
// balances are added, "Godina koja se knjiži" becomes the new year and "Baza sa više godina"
// "DA". Other workstations wait for it as for any posting.
Outcome IntoSameFile(Database& db, const QDate& date, const Checkpoint& checkpoint = {},
                     const Steps& steps = {});

// The command "Prijenos u novu godinu" as the user goes through it: the start question (No
// ends it), the date of the opening entries (asked again after a refusal, until cancelled),
// the question whether the file keeps several years, and for a new file the file dialog
// (asked again while the name is refused). All questions come before the transfer runs; its
// refusal or failure is shown and nothing is changed. After a transfer within the file the
// session works in the new year. `busy` (when given) is called with true before the transfer
// runs and with false after it; `steps` gets the transfer's steps in between. Returns what was
// done, or nothing when it ended early.
std::optional<Outcome> RunTransfer(Session& session, Prompter& prompter, const QString& folder,
                                   const std::function<void(bool)>& busy = {},
                                   const Steps& steps = {});

}  // namespace zodra::yearend

#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// "Prijenos podataka": goods receipts and delivery notes of one company carried into another,
// straight from the other company's file or through a transfer file (a zip holding
// "primke.json" or "otpremnice.json"). Everything travels by name: the receiving company finds
// the warehouse, suppliers, articles, article groups, tax groups and packaging under their
// names, creates what it lacks under keys of its own, and posts every receipt through the
// receipt posting with its next free numbers, all in one transaction. A delivery note of the
// sender reprices the receiver's stock: it becomes a price change ("nivelacija") whose lines
// put the note's prices on each article's oldest lot with stock.
namespace zodra::transfer {

// What is carried: goods receipts or delivery notes.
enum class Kind { Receipts, Deliveries };

// The texts of the transfer.
QString SameDatabaseMessage();  // "Polazna i odredišna baza nesmiju biti iste."
QString MissingWarehouseMessage(const QString& name, Kind kind = Kind::Receipts);
QString MissingPartnerMessage(const QString& name);    // "Partner pod nazivom '…' nije upisan."
QString MissingArticleMessage(const QString& name);    // "Artikal pod nazivom '…' nije upisan."
QString MissingPackagingMessage(const QString& name);  // "Ambalaža pod nazivom '…' nije upisan."
QString MissingArticleGroupMessage(const QString& name);
QString MissingTaxGroupMessage(const QString& name);
QString NoReceiptsMessage();                         // nothing in the chosen range
QString UnfinishedReceiptMessage();                  // the session has a receipt in the making
QString MailPrompt(Kind kind = Kind::Receipts);      // "Unesite email primatelja primki."
QString ReadQuestion(Kind kind = Kind::Receipts);    // "Želite li napraviti donos primki?"
QString WrittenMessage(Kind kind = Kind::Receipts);  // "Primke uspješno snimljene."
QString FromNumberPrompt(bool reading, Kind kind = Kind::Receipts);
QString ToNumberPrompt(Kind kind = Kind::Receipts);
// Delivery notes: nothing in the chosen range; the session has a price change in the making;
// an article without a lot in stock ("Nedovoljna količina artikla '…' na skladištu.").
QString NoDeliveriesMessage();
QString UnfinishedPriceChangeMessage();
QString NoStockMessage(const QString& articleName);
// "Donos primki napravljen uspješno. Proknjižene primke: n." and its delivery-note twin.
struct Outcome;
QString DoneText(Kind kind, const Outcome& out);
// The description of the price change a delivery note becomes:
// "IZMJENA CIJENA (NIVELACIJA) " and the note's number in the company it comes from.
QString DeliveryPriceChangeDescription(int deliveryNumber);

// ---- what travels --------------------------------------------------------------------------

struct TaxGroup {
    QString name;
    double rate = 0;
};
struct ArticleGroup {
    QString name;
    std::optional<double> wholesaleMargin;
    std::optional<double> retailMargin;
};
struct Packaging {
    QString name;
    QString unit;
    double price = 0;
    QString barcode;
};
struct Partner {
    QString name;
    QString address;
    QString city;
    QString phone;
    QString oib;
};
struct Article {
    QString name;
    QString code;  // OPIS
    QString unit;
    QString group;     // article group by name; empty: none
    QString taxGroup;  // tax group by name; empty: none
    QString barcode;
};

struct Line {
    bool packaging = false;  // an 'AMB' line naming packaging, else an article line
    QString name;
    double quantity = 0;
    double invoicePrice = 0;
    double discountPercent = 0;
    double customsPercent = 0;
    double forwardingPercent = 0;
    double otherCostsPercent = 0;
    std::optional<double> cost;   // NABAVNA_CIJENA; computed from the above when not given
    std::optional<double> price;  // CIJENA without tax; the cost when not given
    std::optional<double> retailMargin;
    QString taxGroup;  // empty: the article's
    std::optional<double> taxRate;
};

struct Receipt {
    int number = 0;  // the number in the company it comes from (the target numbers anew)
    QDate date;
    QString supplier;  // by name
    QString document;
    QDate documentDate;
    std::vector<Line> lines;
};

// A delivery note's article line: the price before discount and the discount, as the note
// keeps them; the receiving side puts the net price on the article's oldest lot with stock.
struct DeliveryLine {
    QString name;  // the article's
    double quantity = 0;
    double price = 0;  // CIJENA_BEZ_RABATA
    double discountPercent = 0;

    double NetPrice() const { return price * (1 - discountPercent / 100); }
};

struct DeliveryNote {
    int number = 0;  // the number in the company it comes from
    QDate date;
    QString customer;  // by name; informative (a price change names no partner)
    std::vector<DeliveryLine> lines;
};

struct Package {
    QString warehouse;  // the warehouse's name
    int year = 0;
    std::vector<TaxGroup> taxGroups;
    std::vector<ArticleGroup> articleGroups;
    std::vector<Packaging> packaging;
    std::vector<Partner> partners;
    std::vector<Article> articles;
    std::vector<Receipt> receipts;
    std::vector<DeliveryNote> deliveries;
};

// Which receipts: numbers from…to (inclusive) and, when valid, dates from…to.
struct Selection {
    int fromNumber = 1;
    int toNumber = 0;  // 0: no upper bound
    QDate fromDate;
    QDate toDate;
};

// Reads the receipts of the warehouse named `warehouse` and year `year` in `source`, with the
// registers they name. Refuses a warehouse the source does not have (MissingWarehouseMessage)
// and an empty selection (NoReceiptsMessage).
Package ReadReceipts(Database& source, const QString& warehouse, int year,
                     const Selection& selection);
// The same for the delivery notes' article lines (NoDeliveriesMessage when none), with the
// articles they name and their groups and tax groups.
Package ReadDeliveries(Database& source, const QString& warehouse, int year,
                       const Selection& selection);
// Either of the two, by kind.
Package Read(Database& source, Kind kind, const QString& warehouse, int year,
             const Selection& selection);
// Keeps the documents of a package (read from a file) that the selection takes; refuses an
// empty result with the kind's message.
void Select(Package& package, Kind kind, const Selection& selection);

// ---- the transfer file ---------------------------------------------------------------------

// The name of the payload inside the zip.
QString PayloadName(Kind kind = Kind::Receipts);  // "primke.json", "otpremnice.json"
// The payload of one kind: the registers and the receipts ("primke") or the delivery notes
// ("otpremnice").
QByteArray ToJson(const Package& package, Kind kind = Kind::Receipts);
// Reads a payload; refuses what does not read ("Datoteka prijenosa: …"), numbers that are not
// finite or out of range, and lines whose quantity is 0 after rounding.
Package FromJson(const QByteArray& json, Kind kind = Kind::Receipts);
// Writes the package as a zip holding the payload of each kind it has documents of; the file
// appears only when complete.
void WriteTransferFile(const Package& package, const QString& path);
Package ReadTransferFile(const QString& path, Kind kind = Kind::Receipts);

// The command line that opens the user's mail program with the file attached.
QStringList MailCommand(const QString& recipient, const QString& file, Kind kind = Kind::Receipts);
// Checks the recipient ("Email adresa nije ispravno upisana.") and starts the mail program.
void SendByMail(const QString& recipient, const QString& file, Kind kind = Kind::Receipts);

// ---- the receiving side --------------------------------------------------------------------

struct Outcome {
    std::vector<int> numbers;  // the receipts (or price changes) posted, in order
    int partners = 0;          // registers created by name
    int articles = 0;
    int articleGroups = 0;
    int taxGroups = 0;
    int packaging = 0;
};

// Called with (done, total) as the receipts are posted.
using Progress = std::function<void(int, int)>;

// Posts the package into the session's warehouse and year, in one transaction: the registers
// the target lacks by name created, every receipt through the working copy and the receipt
// posting under the next free number. A name that is neither in the target nor described by
// the package stops it with its message and nothing is written. Refused while the session's
// receipt working copy holds lines (UnfinishedReceiptMessage).
Outcome PostPackage(Session& target, const Package& package, const Progress& progress = {});

// Same file or the same server company as the open one: SameDatabaseMessage.
void CheckNotSame(const QString& source, const QString& target);

// "Donos primki" straight from another company file: the receipts of the session's warehouse
// (by name) and year read from `source` and posted.
Outcome CarryReceipts(Database& source, Session& target, const Selection& selection,
                      const Progress& progress = {});

// Posts the package's delivery notes into the session's warehouse and year, in one
// transaction: each note becomes a price change under the next free number, dated as the
// note, described by DeliveryPriceChangeDescription, whose lines put each article's net price
// on its oldest lot with stock (NoStockMessage when it has none). Articles the target lacks
// are created by name as for receipts. Refused while the session's price-change working copy
// holds lines (UnfinishedPriceChangeMessage). Outcome::numbers are the price changes.
Outcome PostDeliveries(Session& target, const Package& package, const Progress& progress = {});
// Either posting, by kind.
Outcome Post(Session& target, const Package& package, Kind kind, const Progress& progress = {});

// Straight from another company file, by kind.
Outcome Carry(Database& source, Session& target, Kind kind, const Selection& selection,
              const Progress& progress = {});

// ---- the commands as the user goes through them ---------------------------------------------

// "Snimanje primki": the number range of the session's warehouse, then the file to write.
// Returns the file written, or nothing.
// "Snimanje otpremnica" alike for delivery notes.
std::optional<QString> RunWriteFile(Session& session, Prompter& prompter, const QString& folder,
                                    Kind kind = Kind::Receipts);
// "Donos primki" from a transfer file (`fromFile`) or another company file; "Donos otpremnica"
// alike.
std::optional<Outcome> RunRead(Session& session, Prompter& prompter, const QString& folder,
                               bool fromFile, const Progress& progress = {},
                               Kind kind = Kind::Receipts);
// E-mail: asks the recipient and opens the mail program with `file` attached.
bool RunMail(Prompter& prompter, const QString& file,
             const std::function<void(const QStringList&)>& start = {}, Kind kind = Kind::Receipts);

}  // namespace zodra::transfer

#include <QSettings>
#include <cstdio>

#include <QDate>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/SessionStart.h"
#include "books/KpiDailySales.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "fiscal/FiscalService.h"
#include "purchasing/ReceiptJson.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptPrint.h"
#include "purchasing/ReceiptRemoval.h"
#include "reports/ReportEngine.h"
#include "sales/InvoiceJson.h"
#include "sales/InvoicePrint.h"
#include "sales/InvoiceRemoval.h"
#include "stockdocs/PriceChangeJson.h"
#include "stockdocs/PriceChangePosting.h"
#include "stockdocs/PriceChangePrint.h"
#include "stockdocs/PriceChangeRemoval.h"
#include "stockdocs/StockCountJson.h"
#include "stockdocs/StockCountList.h"
#include "stockdocs/StockCountRemoval.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/DocumentDoors.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kPostUsage =
    "upotreba: zodractl post PUTANJA DATOTEKA.json [DATOTEKA.json …] [--da] [--pdf IZLAZ.pdf]\n"
    "          (primka: docs/receipt-json.md; izmjena cijena: docs/price-change-json.md;\n"
    "          račun: docs/invoice-json.md; inventura: docs/stock-count-json.md;\n"
    "          međuskladišnica, izdatnica, povratnica, rashod, odjava, povratnica dobavljaču:\n"
    "          docs/stock-documents-json.md; radni nalog: docs/work-order-json.md;\n"
    "          maloprodaja: docs/retail-json.md)";
const char* kCancelUsage =
    "upotreba: zodractl cancel PUTANJA VRSTA BROJ [--skladiste N] [--knjiga B] "
    "[--datum DD.MM.GGGG] [--da]";
const char* kPrintUsage =
    "upotreba: zodractl print PUTANJA VRSTA BROJ --pdf IZLAZ.pdf [--skladiste N] [--knjiga B]\n"
    "          [--ispis racun|racun-otpremnica|otpremnica|storno|devizni] [--bez-rabata] "
    "[--kolicine] [--nabavne]\n"
    "          (vrste: primka, racun, ponuda, predracun, otpremnica, izmjena, inventura,\n"
    "          meduskladisnica, izdatnica, povratnica, rashod, odjava, povratnica-dobavljacu,\n"
    "          radni-nalog, sastavnica; --kolicine: ispis samo količina međuskladišnice,\n"
    "          izdatnice ili povratnice; --bez-rabata: račun ili ponuda bez rabata;\n"
    "          --nabavne: otpremnica s nabavnim vrijednostima)";
const char* kDeleteUsage =
    "upotreba: zodractl delete PUTANJA VRSTA BROJ [--skladiste N] [--knjiga B] "
    "[--da]";

namespace p = zodra::purchasing;
namespace sd = zodra::stockdocs;
namespace s = zodra::sales;

ReadFile ReadReceipt(zodra::Database& db, const QByteArray& json) {
    const auto receipt = std::make_shared<p::JsonReceipt>(p::ParseReceiptJson(db, json));
    auto number = std::make_shared<int>(0);
    ReadFile file;
    file.warehouse = receipt->warehouse;
    file.post = [receipt, number](zodra::Session& session, CommandLinePrompter& prompter) {
        const std::optional<int> posted = p::PostReceiptFromJson(session, prompter, *receipt);
        if (!posted) {
            throw zodra::UserError(QStringLiteral("Primka nije proknjižena."));
        }
        *number = *posted;
        return p::PostedMessage(*posted);
    };
    file.print = [number](zodra::Session& session, const QString& pdf) {
        zodra::reports::ReportEngine(session.Db())
            .ToPdf(p::ReceiptPrintRequest(session, *number), pdf);
    };
    return file;
}

void CancelReceipt(zodra::Session& session, CommandLinePrompter& prompter,
                   const DocumentArgs& args) {
    // As in the list window: the guards first, then the question, answered No unless --da.
    p::CheckCanBeCancelled(session, args.number);
    if (!prompter.AskYesNo(p::CancelQuestion(), QStringLiteral("Storno primke"), false)) {
        throw zodra::UserError(QStringLiteral("Primka nije stornirana."));
    }
    Out(p::CancelledMessage(p::CancelReceipt(session, prompter, args.number, args.date)));
}

void DeleteReceipt(zodra::Session& session, CommandLinePrompter& prompter,
                   const DocumentArgs& args) {
    if (!prompter.AskYesNo(p::DeleteQuestion(), p::DeleteTitle(), false)) {
        throw zodra::UserError(QStringLiteral("Primka nije izbrisana."));
    }
    p::DeleteReceipt(session, args.number);
    Out(QStringLiteral("Primka broj %1 je izbrisana.").arg(args.number));
}

ReadFile ReadPriceChange(zodra::Database& db, const QByteArray& json) {
    const auto change = std::make_shared<sd::JsonPriceChange>(sd::ParsePriceChangeJson(db, json));
    ReadFile file;
    file.warehouse = change->warehouse;
    auto number = std::make_shared<int>(0);
    file.post = [change, number](zodra::Session& session, CommandLinePrompter&) {
        *number = sd::PostPriceChangeFromJson(session, *change);
        return sd::PostedMessage(*number);
    };
    file.print = [number](zodra::Session& session, const QString& pdf) {
        zodra::reports::ReportEngine(session.Db())
            .ToPdf(sd::PriceChangePrintRequest(session, *number), pdf);
    };
    return file;
}

void PrintPriceChange(zodra::Session& session, int number, const QString& pdf) {
    const int pages = zodra::reports::ReportEngine(session.Db())
                          .ToPdf(sd::PriceChangePrintRequest(session, number), pdf);
    Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")"));
}

void CancelPriceChange(zodra::Session& session, CommandLinePrompter& prompter,
                       const DocumentArgs& args) {
    const std::optional<int> cancellation =
        sd::CancelPriceChange(session, prompter, args.number, args.date);
    if (!cancellation) {
        throw zodra::UserError(QStringLiteral("Izmjena cijena nije stornirana."));
    }
    Out(sd::CancelledMessage(*cancellation));
}

void DeletePriceChange(zodra::Session& session, CommandLinePrompter& prompter,
                       const DocumentArgs& args) {
    if (!sd::DeletePriceChange(session, prompter, args.number)) {
        throw zodra::UserError(QStringLiteral("Izmjena cijena nije izbrisana."));
    }
    Out(QStringLiteral("Izmjena cijena broj %1 je izbrisana.").arg(args.number));
}

ReadFile ReadStockCount(zodra::Database& db, const QByteArray& json) {
    const auto count = std::make_shared<sd::JsonStockCount>(sd::ParseStockCountJson(db, json));
    ReadFile file;
    file.warehouse = count->warehouse;
    auto number = std::make_shared<int>(0);
    file.post = [count, number](zodra::Session& session, CommandLinePrompter&) {
        *number = sd::PostStockCountFromJson(session, *count);
        return sd::StockCountPostedMessage(*number);
    };
    file.print = [number](zodra::Session& session, const QString& pdf) {
        zodra::reports::ReportEngine(session.Db())
            .ToPdf(sd::StockCountPrintRequest(session, *number), pdf);
    };
    return file;
}

void PrintStockCount(zodra::Session& session, int number, const QString& pdf) {
    const int pages = zodra::reports::ReportEngine(session.Db())
                          .ToPdf(sd::StockCountPrintRequest(session, number), pdf);
    Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")"));
}

// A stock count is not cancelled: a count booked wrongly is deleted (or followed by another).
void CancelStockCount(zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
    throw zodra::UserError(
        QStringLiteral("Inventura se ne stornira; proknjižena inventura se može izbrisati."));
}

void DeleteStockCount(zodra::Session& session, CommandLinePrompter& prompter,
                      const DocumentArgs& args) {
    if (!sd::DeleteStockCount(session, prompter, args.number)) {
        throw zodra::UserError(QStringLiteral("Inventura nije izbrisana."));
    }
    Out(sd::StockCountDeletedMessage(args.number));
}

// Invoices: merge questions are answered Yes (the window's default), others No unless --da.
ReadFile ReadInvoice(zodra::Database& db, const QByteArray& json) {
    const auto invoice = std::make_shared<s::JsonInvoice>(s::ParseInvoiceJson(db, json));
    auto number = std::make_shared<int>(0);
    ReadFile file;
    file.warehouse = invoice->warehouse;
    file.post = [invoice, number](zodra::Session& session, CommandLinePrompter& prompter) {
        const std::optional<s::PostedInvoice> posted =
            s::PostInvoiceFromJson(session, prompter, *invoice);
        if (!posted) {
            throw zodra::UserError(QStringLiteral("Račun nije proknjižen."));
        }
        *number = posted->number;
        return s::PostedMessage(posted->number);
    };
    file.print = [invoice, number](zodra::Session& session, const QString& pdf) {
        zodra::reports::ReportEngine(session.Db())
            .ToPdf(s::InvoicePrintRequest(session, invoice->book, *number), pdf);
    };
    return file;
}

void CancelInvoice(zodra::Session& session, CommandLinePrompter& prompter,
                   const DocumentArgs& args) {
    // As in "Izbor računa": the guards first, then the question, then the date.
    s::CheckCanBeCancelled(session, args.book, args.number);
    if (!prompter.AskYesNo(s::CancelQuestion(), s::CancelTitle(), false)) {
        throw zodra::UserError(QStringLiteral("Račun nije storniran."));
    }
    const QDate date = s::CheckCancellationDate(session, args.book, args.number,
                                                args.date.toString(QStringLiteral("dd.MM.yyyy")));
    if (!s::CancelInvoice(session, prompter, args.book, args.number, date)) {
        throw zodra::UserError(QStringLiteral("Račun nije storniran."));
    }
    Out(QStringLiteral("Račun broj %1 je storniran.").arg(args.number));
}

void DeleteInvoice(zodra::Session& session, CommandLinePrompter& prompter,
                   const DocumentArgs& args) {
    if (!prompter.AskYesNo(s::DeleteQuestion(), s::DeleteTitle(), false) ||
        !s::DeleteInvoice(session, prompter, args.book, args.number)) {
        throw zodra::UserError(QStringLiteral("Račun nije izbrisan."));
    }
    Out(QStringLiteral("Račun broj %1 je izbrisan.").arg(args.number));
}

void PrintReceipt(zodra::Session& session, const DocumentArgs& args) {
    const zodra::reports::ReportRequest request = p::ReceiptPrintRequest(session, args.number);
    const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, args.pdf);
    Out(request.title + QStringLiteral(" je zapisan u ") + args.pdf +
        QStringLiteral(" (stranica: ") + QString::number(pages) + QStringLiteral(")."));
}

void PrintInvoice(zodra::Session& session, const DocumentArgs& args) {
    const zodra::reports::ReportRequest request = s::InvoicePrintRequest(
        session, args.book, args.number, args.printKind, args.withoutDiscount);
    const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, args.pdf);
    Out(request.title + QStringLiteral(" je zapisan u ") + args.pdf +
        QStringLiteral(" (stranica: ") + QString::number(pages) + QStringLiteral(")."));
}

std::vector<DocumentDoors> AllKinds() {
    std::vector<DocumentDoors> kinds{
        {QStringLiteral("primka"), ReadReceipt, CancelReceipt, DeleteReceipt, PrintReceipt},
        {QStringLiteral("izmjena"), ReadPriceChange, CancelPriceChange, DeletePriceChange,
         [](zodra::Session& session, const DocumentArgs& args) {
             PrintPriceChange(session, args.number, args.pdf);
         }},
        {QStringLiteral("racun"), ReadInvoice, CancelInvoice, DeleteInvoice, PrintInvoice},
        {QStringLiteral("inventura"), ReadStockCount, CancelStockCount, DeleteStockCount,
         [](zodra::Session& session, const DocumentArgs& args) {
             PrintStockCount(session, args.number, args.pdf);
         }},
    };
    // Transfers and the five simple stock documents (StockDocumentDoors.cpp).
    for (DocumentDoors& doors : StockDocumentDoors()) {
        kinds.push_back(std::move(doors));
    }
    for (DocumentDoors& doors : ProductionDoors()) {
        kinds.push_back(std::move(doors));
    }
    for (DocumentDoors& doors : RetailDoors()) {
        kinds.push_back(std::move(doors));
    }
    for (DocumentDoors& doors : OutgoingDocumentDoors()) {
        kinds.push_back(std::move(doors));
    }
    kinds.push_back(InputInvoiceDoors());
    for (DocumentDoors& doors : KpiDoors()) {
        kinds.push_back(std::move(doors));
    }
    for (DocumentDoors& doors : PaymentDoors()) {
        kinds.push_back(std::move(doors));
    }
    return kinds;
}

const std::vector<DocumentDoors>& Kinds() {
    static const std::vector<DocumentDoors> kinds = AllKinds();
    return kinds;
}

const DocumentDoors* KindNamed(const QString& word) {
    for (const DocumentDoors& kind : Kinds()) {
        if (kind.word == word) {
            return &kind;
        }
    }
    return nullptr;
}

QString KnownKinds() {
    QStringList words;
    for (const DocumentDoors& kind : Kinds()) {
        words << kind.word;
    }
    return words.join(QStringLiteral(", "));
}

QString UnknownKind(const QString& word) {
    return QStringLiteral("Nepoznata vrsta dokumenta: ") + word + QStringLiteral(" (poznate: ") +
           KnownKinds() + QStringLiteral(")");
}

}  // namespace

int Post(const QStringList& args) {
    if (args.size() < 2) {
        Err(QString::fromUtf8(kPostUsage));
        return kUsage;
    }
    bool yes = false;
    QString pdf;
    // Several files are posted one after another in one session, each in its own transaction
    // (a till's batch): one line per posted document, a refused one reported and skipped.
    QStringList names;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--da")) {
            yes = true;
        } else if (args.at(i) == QLatin1String("--pdf") && i + 1 < args.size()) {
            pdf = args.at(++i);
        } else if (args.at(i).startsWith(QLatin1String("--"))) {
            Err(QString::fromUtf8(kPostUsage));
            return kUsage;
        } else {
            names << args.at(i);
        }
    }
    if (names.isEmpty() || (!pdf.isEmpty() && names.size() > 1)) {
        Err(QString::fromUtf8(kPostUsage));
        return kUsage;
    }
    std::vector<std::pair<const DocumentDoors*, QByteArray>> inputs;
    for (const QString& name : names) {
        QFile input(name);
        if (!input.open(QIODevice::ReadOnly)) {
            Err(QStringLiteral("Datoteka ") + name + QStringLiteral(" se ne može pročitati."));
            return kRefused;
        }
        const QByteArray json = input.readAll();
        // The file says what it is ("vrsta"); a file that does not is an invoice when it names
        // a customer, else a receipt.
        const QString word =
            QJsonDocument::fromJson(json)
                .object()
                .value(QStringLiteral("vrsta"))
                .toString(zodra::sales::IsInvoiceJson(json) ? QStringLiteral("racun")
                                                            : QStringLiteral("primka"));
        if (word == QLatin1String("dugotrajna-imovina")) {
            if (!pdf.isEmpty() || names.size() > 1) {
                // The register is printed as a whole list (zodractl pdi), one row a call.
                Err(QStringLiteral("Ispis u PDF za ovu vrstu dokumenta ne postoji."));
                return kUsage;
            }
            return PostFixedAsset(args.at(0), json);
        }
        const DocumentDoors* kind = KindNamed(word);
        if (!kind || !kind->read) {
            Err(UnknownKind(word));
            return kUsage;
        }
        inputs.emplace_back(kind, json);
    }
    zodra::Database::OpenResult opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    CommandLinePrompter prompter(yes, true);
    zodra::Session session;
    session.databasePath = args.at(0);
    session.userName = QStringLiteral("zodractl");
    session.afterRetailCollections = &zodra::books::AfterRetailCollections;
    zodra::fiscal::InstallFiscalHooks(session, QSettings().fileName());
    session.Attach(std::move(opened.db));
    bool started = false;
    int warehouse = 0;
    int code = kOk;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        try {
            const ReadFile file = inputs[i].first->read(session.Db(), inputs[i].second);
            if (!pdf.isEmpty() && !file.print) {
                throw zodra::UserError(
                    QStringLiteral("Ispis u PDF za ovu vrstu dokumenta ne postoji."));
            }
            if (!started) {
                SessionStartPrompter starting;
                zodra::sessionstart::Start(session, file.warehouse, starting, QDate::currentDate());
                started = true;
                warehouse = file.warehouse;
                // A posting from a file always ends with the consistency check of lots and card.
                session.workstation.debugMode = true;
            } else if (file.warehouse != warehouse) {
                throw zodra::UserError(
                    QStringLiteral("Datoteke jednog poziva knjiže se u isto skladište."));
            }
            Out(file.post(session, prompter));
            // Whoever reads the batch's reports sees each posting as soon as it is made.
            std::fflush(stdout);
            if (!pdf.isEmpty()) {
                file.print(session, pdf);
            }
        } catch (const zodra::UserError& e) {
            Err(names.size() > 1
                    ? names.at(static_cast<int>(i)) + QStringLiteral(": ") + e.message()
                    : e.message());
            code = kRefused;
        } catch (const zodra::DbError& e) {
            Err(names.size() > 1 ? names.at(static_cast<int>(i)) + QStringLiteral(": ") +
                                       QString::fromUtf8(e.what())
                                 : QString::fromUtf8(e.what()));
            code = kRefused;
            if (e.isConnectionLost() && i + 1 < inputs.size()) {
                // Without the connection the rest cannot be posted either: they are left for
                // the repetition.
                Err(QStringLiteral("Nisu knjižene ni preostale datoteke (%1), od %2 dalje.")
                        .arg(inputs.size() - i - 1)
                        .arg(names.at(static_cast<int>(i) + 1)));
                break;
            }
        }
        if (!started) {
            break;
        }
    }
    if (started) {
        zodra::sessionstart::End(session);
    }
    return code;
}

namespace {

// Reads "VRSTA BROJ [--skladiste N] [--knjiga B] [--datum D] [--da]" and the kind's door;
// std::nullopt on a usage fault, which it reports. The book is an invoice's only.
std::optional<zodra::sales::InvoicePrintKind> PrintKindNamed(const QString& word) {
    using K = zodra::sales::InvoicePrintKind;
    if (word == QLatin1String("racun"))
        return K::Invoice;
    if (word == QLatin1String("racun-otpremnica"))
        return K::InvoiceDeliveryNote;
    if (word == QLatin1String("otpremnica"))
        return K::DeliveryNote;
    if (word == QLatin1String("storno"))
        return K::Cancellation;
    if (word == QLatin1String("devizni"))
        return K::ForeignCurrency;
    return std::nullopt;
}

std::optional<DocumentArgs> ParseDocumentArgs(const QStringList& args, bool withDate,
                                              const char* usage, bool forPrint = false) {
    if (args.size() < 3) {
        Err(QString::fromUtf8(usage));
        return std::nullopt;
    }
    if (!KindNamed(args.at(1))) {
        Err(UnknownKind(args.at(1)));
        return std::nullopt;
    }
    DocumentArgs parsed;
    bool ok = false;
    parsed.number = args.at(2).toInt(&ok);
    if (!ok || parsed.number <= 0) {
        Err(QStringLiteral("Broj dokumenta nije ispravan: ") + args.at(2));
        return std::nullopt;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--skladiste") && i + 1 < args.size()) {
            parsed.warehouse = args.at(++i).toInt(&ok);
            if (!ok || parsed.warehouse <= 0) {
                Err(QStringLiteral("Šifra skladišta nije ispravna: ") + args.at(i));
                return std::nullopt;
            }
        } else if ((args.at(1) == QLatin1String("racun") || args.at(1) == QLatin1String("ponuda") ||
                    args.at(1) == QLatin1String("predracun") ||
                    args.at(1) == QLatin1String("ura")) &&
                   flag == QLatin1String("--knjiga") && i + 1 < args.size()) {
            parsed.book = args.at(++i).toInt(&ok);
            if (!ok || parsed.book <= 0) {
                Err(QStringLiteral("Šifra knjige IRA nije ispravna: ") + args.at(i));
                return std::nullopt;
            }
        } else if (withDate && flag == QLatin1String("--datum") && i + 1 < args.size()) {
            parsed.date = QDate::fromString(args.at(++i), QStringLiteral("dd.MM.yyyy"));
            if (!parsed.date.isValid()) {
                Err(QStringLiteral("Datum nije ispravan: ") + args.at(i));
                return std::nullopt;
            }
        } else if (!forPrint && flag == QLatin1String("--da")) {
            parsed.yes = true;
        } else if (forPrint && flag == QLatin1String("--pdf") && i + 1 < args.size()) {
            parsed.pdf = args.at(++i);
        } else if (forPrint && args.at(1) == QLatin1String("racun") &&
                   flag == QLatin1String("--ispis") && i + 1 < args.size()) {
            const std::optional<zodra::sales::InvoicePrintKind> kind = PrintKindNamed(args.at(++i));
            if (!kind) {
                Err(QStringLiteral("Nepoznata vrsta ispisa: ") + args.at(i));
                return std::nullopt;
            }
            parsed.printKind = *kind;
        } else if (forPrint &&
                   (args.at(1) == QLatin1String("racun") ||
                    KindNamed(args.at(1))->printsWithoutDiscount) &&
                   flag == QLatin1String("--bez-rabata")) {
            parsed.withoutDiscount = true;
        } else if (forPrint && KindNamed(args.at(1))->printsPurchaseValues &&
                   flag == QLatin1String("--nabavne")) {
            parsed.purchaseValues = true;
        } else if (forPrint && KindNamed(args.at(1))->printsQuantities &&
                   flag == QLatin1String("--kolicine")) {
            parsed.quantitiesOnly = true;
        } else {
            Err(QString::fromUtf8(usage));
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace

int Print(const QStringList& args) {
    const std::optional<DocumentArgs> parsed = ParseDocumentArgs(args, false, kPrintUsage, true);
    if (!parsed) {
        return kUsage;
    }
    if (parsed->pdf.isEmpty()) {
        Err(QString::fromUtf8(kPrintUsage));
        return kUsage;
    }
    const DocumentDoors* kind = KindNamed(args.at(1));
    if (!kind->print) {
        Err(QStringLiteral("Ispis u PDF za ovu vrstu dokumenta ne postoji."));
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse,
                     [&](zodra::Session& session) { kind->print(session, *parsed); });
}

int Cancel(const QStringList& args) {
    const std::optional<DocumentArgs> parsed = ParseDocumentArgs(args, true, kCancelUsage);
    if (!parsed) {
        return kUsage;
    }
    const DocumentDoors* kind = KindNamed(args.at(1));
    if (!kind->cancel) {
        // Offers, pro-formas and delivery notes are deleted, never cancelled.
        Err(QStringLiteral("Ova vrsta dokumenta se ne stornira nego briše (zodractl delete)."));
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        CommandLinePrompter prompter(parsed->yes, true);
        kind->cancel(session, prompter, *parsed);
    });
}

int Delete(const QStringList& args) {
    if (args.size() > 1 && args.at(1) == QLatin1String("dugotrajna-imovina")) {
        return DeleteFixedAsset(args);
    }
    const std::optional<DocumentArgs> parsed = ParseDocumentArgs(args, false, kDeleteUsage);
    if (!parsed) {
        return kUsage;
    }
    const DocumentDoors* kind = KindNamed(args.at(1));
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        CommandLinePrompter prompter(parsed->yes, true);
        kind->remove(session, prompter, *parsed);
    });
}

}  // namespace zodractl

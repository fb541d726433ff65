#include <QDate>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <optional>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptJson.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptPrint.h"
#include "purchasing/ReceiptRemoval.h"
#include "reports/ReportEngine.h"
#include "sales/InvoiceJson.h"
#include "sales/InvoiceRemoval.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kPostUsage =
    "upotreba: zodractl post PUTANJA primka.json [--da] [--pdf IZLAZ.pdf]\n"
    "          zodractl post PUTANJA racun.json [--da]\n"
    "          (oblik datoteka: docs/receipt-json.md, docs/invoice-json.md)";
const char* kCancelUsage =
    "upotreba: zodractl cancel PUTANJA primka|racun BROJ [--skladiste N] [--knjiga B] "
    "[--datum DD.MM.GGGG] [--da]";
const char* kDeleteUsage =
    "upotreba: zodractl delete PUTANJA primka|racun BROJ [--skladiste N] [--knjiga B] [--da]";

// Posts an invoice file in the warehouse it names, with the consistency check of lots and card
// before the commit; merge questions are answered Yes (the window's default), others No unless
// --da.
int PostInvoiceFile(const QString& path, const QByteArray& json, bool yes) {
    const int warehouse =
        QJsonDocument::fromJson(json).object().value(QStringLiteral("skladiste")).toInt(0);
    return InSession(path, warehouse, [&](zodra::Session& session) {
        namespace s = zodra::sales;
        CommandLinePrompter prompter(yes, true);
        const s::JsonInvoice invoice = s::ParseInvoiceJson(session.Db(), json);
        if (invoice.warehouse != session.activeWarehouse.code) {
            throw zodra::UserError(
                QStringLiteral("Datoteka računa: \"skladiste\" nije šifra "
                               "postojećeg skladišta."));
        }
        const std::optional<s::PostedInvoice> posted =
            s::PostInvoiceFromJson(session, prompter, invoice);
        if (!posted) {
            throw zodra::UserError(QStringLiteral("Račun nije proknjižen."));
        }
        Out(s::PostedMessage(posted->number));
    });
}

}  // namespace

int Post(const QStringList& args) {
    if (args.size() < 2) {
        Err(QString::fromUtf8(kPostUsage));
        return kUsage;
    }
    bool yes = false;
    QString pdf;
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--da")) {
            yes = true;
        } else if (args.at(i) == QLatin1String("--pdf") && i + 1 < args.size()) {
            pdf = args.at(++i);
        } else {
            Err(QString::fromUtf8(kPostUsage));
            return kUsage;
        }
    }
    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Datoteka ") + args.at(1) + QStringLiteral(" se ne može pročitati."));
        return kRefused;
    }
    const QByteArray json = file.readAll();
    if (zodra::sales::IsInvoiceJson(json)) {
        if (!pdf.isEmpty()) {
            Err(QString::fromUtf8(kPostUsage));
            return kUsage;
        }
        return PostInvoiceFile(args.at(0), json, yes);
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
    session.Attach(std::move(opened.db));
    bool started = false;
    try {
        const zodra::purchasing::JsonReceipt receipt =
            zodra::purchasing::ParseReceiptJson(session.Db(), json);
        SessionStartPrompter starting;
        zodra::sessionstart::Start(session, receipt.warehouse, starting, QDate::currentDate());
        started = true;
        // A posting from a file always ends with the consistency check of lots and card.
        session.workstation.debugMode = true;
        const std::optional<int> number =
            zodra::purchasing::PostReceiptFromJson(session, prompter, receipt);
        if (!number) {
            Err(QStringLiteral("Primka nije proknjižena."));
            zodra::sessionstart::End(session);
            return kRefused;
        }
        Out(zodra::purchasing::PostedMessage(*number));
        if (!pdf.isEmpty()) {
            zodra::reports::ReportEngine(session.Db())
                .ToPdf(zodra::purchasing::ReceiptPrintRequest(session, *number), pdf);
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        if (started) {
            zodra::sessionstart::End(session);
        }
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        if (started) {
            zodra::sessionstart::End(session);
        }
        return kRefused;
    }
    zodra::sessionstart::End(session);
    return kOk;
}

namespace {

// What cancel and delete are given: the document, its warehouse, the date of a cancellation and
// whether further questions are answered Yes.
struct DocumentArgs {
    bool invoice = false;  // "racun"; else "primka"
    int number = 0;
    int warehouse = 0;
    int book = 1;
    QDate date = QDate::currentDate();
    bool yes = false;
};

// Reads "primka BROJ --skladiste N [--datum D] [--da]"; std::nullopt on a usage fault, which it
// reports. Receipts ("primka") and invoices ("racun", in book --knjiga, 1 unless given) have these
// doors; another kind is named as unknown.
std::optional<DocumentArgs> ParseDocumentArgs(const QStringList& args, bool withDate,
                                              const char* usage) {
    if (args.size() < 3) {
        Err(QString::fromUtf8(usage));
        return std::nullopt;
    }
    if (args.at(1) != QLatin1String("primka") && args.at(1) != QLatin1String("racun")) {
        Err(QStringLiteral("Nepoznata vrsta dokumenta: ") + args.at(1) +
            QStringLiteral(" (poznate: primka, racun)"));
        return std::nullopt;
    }
    DocumentArgs parsed;
    parsed.invoice = args.at(1) == QLatin1String("racun");
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
        } else if (parsed.invoice && flag == QLatin1String("--knjiga") && i + 1 < args.size()) {
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
        } else if (flag == QLatin1String("--da")) {
            parsed.yes = true;
        } else {
            Err(QString::fromUtf8(usage));
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace

int Cancel(const QStringList& args) {
    const std::optional<DocumentArgs> parsed = ParseDocumentArgs(args, true, kCancelUsage);
    if (!parsed) {
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        CommandLinePrompter prompter(parsed->yes, true);
        if (parsed->invoice) {
            namespace s = zodra::sales;
            // As in "Izbor računa": the guards first, then the question, then the date.
            s::CheckCanBeCancelled(session, parsed->book, parsed->number);
            if (!prompter.AskYesNo(s::CancelQuestion(), s::CancelTitle(), false)) {
                throw zodra::UserError(QStringLiteral("Račun nije storniran."));
            }
            const QDate date =
                s::CheckCancellationDate(session, parsed->book, parsed->number,
                                         parsed->date.toString(QStringLiteral("dd.MM.yyyy")));
            s::CancelInvoice(session, parsed->book, parsed->number, date);
            Out(QStringLiteral("Račun broj %1 je storniran.").arg(parsed->number));
            return;
        }
        namespace p = zodra::purchasing;
        // As in the list window: the guards first, then the question, answered No unless --da.
        p::CheckCanBeCancelled(session, parsed->number);
        if (!prompter.AskYesNo(p::CancelQuestion(), QStringLiteral("Storno primke"), false)) {
            throw zodra::UserError(QStringLiteral("Primka nije stornirana."));
        }
        Out(p::CancelledMessage(p::CancelReceipt(session, prompter, parsed->number, parsed->date)));
    });
}

int Delete(const QStringList& args) {
    const std::optional<DocumentArgs> parsed = ParseDocumentArgs(args, false, kDeleteUsage);
    if (!parsed) {
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        CommandLinePrompter prompter(parsed->yes, true);
        if (parsed->invoice) {
            namespace s = zodra::sales;
            if (!prompter.AskYesNo(s::DeleteQuestion(), s::DeleteTitle(), false) ||
                !s::DeleteInvoice(session, prompter, parsed->book, parsed->number)) {
                throw zodra::UserError(QStringLiteral("Račun nije izbrisan."));
            }
            Out(QStringLiteral("Račun broj %1 je izbrisan.").arg(parsed->number));
            return;
        }
        namespace p = zodra::purchasing;
        if (!prompter.AskYesNo(p::DeleteQuestion(), p::DeleteTitle(), false)) {
            throw zodra::UserError(QStringLiteral("Primka nije izbrisana."));
        }
        p::DeleteReceipt(session, parsed->number);
        Out(QStringLiteral("Primka broj %1 je izbrisana.").arg(parsed->number));
    });
}

}  // namespace zodractl

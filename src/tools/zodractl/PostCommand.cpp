#include <QDate>
#include <QFile>
#include <memory>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptJson.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptPrint.h"
#include "reports/ReportEngine.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kPostUsage =
    "upotreba: zodractl post PUTANJA primka.json [--da] [--pdf IZLAZ.pdf]\n"
    "          (oblik datoteke: docs/receipt-json.md)";

// Questions of a posting without a window: written to the error output with the answer taken,
// which is Yes for every question when --da is given and the question's default otherwise
// (No for the control totals: a receipt whose sums differ is not posted unless asked to).
class CommandLinePrompter final : public zodra::Prompter {
public:
    explicit CommandLinePrompter(bool yes) : m_yes(yes) {}
    bool AskYesNo(const QString& text, const QString&, bool defaultYes) override {
        const bool answer = m_yes || defaultYes;
        Err(text + (answer ? QStringLiteral(" Da") : QStringLiteral(" Ne")));
        return answer;
    }
    void Inform(const QString& text, const QString&) override { Out(text); }
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString ChooseFileToOpen(const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString ChooseFileToSave(const QString&, const QString&, const QString&,
                             const QString&) override {
        return QString();
    }

private:
    bool m_yes;
};

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
    zodra::Database::OpenResult opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    CommandLinePrompter prompter(yes);
    zodra::Session session;
    session.databasePath = args.at(0);
    session.userName = QStringLiteral("zodractl");
    session.Attach(std::move(opened.db));
    bool started = false;
    try {
        const zodra::purchasing::JsonReceipt receipt =
            zodra::purchasing::ParseReceiptJson(session.Db(), json);
        // Rates of the day missing at session start are the window's business, not the file's.
        zodra::ScriptedPrompter quiet;
        zodra::sessionstart::Start(session, receipt.warehouse, quiet, QDate::currentDate());
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

}  // namespace zodractl

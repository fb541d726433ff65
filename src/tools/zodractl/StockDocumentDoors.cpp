#include <memory>

#include "data/Errors.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "stockdocs/IssueDocumentList.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/StockDocumentJson.h"
#include "stockdocs/TransferList.h"
#include "stockdocs/TransferRemoval.h"
#include "tools/zodractl/DocumentDoors.h"

namespace zodractl {

namespace {

namespace sd = zodra::stockdocs;

// Writes the printout to the PDF file and says so: "Ispis izdatnice br. 3 je zapisan u
// izdatnica.pdf (stranica: 1)."
void ToPdf(zodra::Session& session, const zodra::reports::ReportRequest& request,
           const QString& pdf) {
    const int pages = zodra::reports::ReportEngine(session.Db()).ToPdf(request, pdf);
    Out(request.title + QStringLiteral(" je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")."));
}

ReadFile ReadTransfer(zodra::Database& db, const QByteArray& json) {
    const auto transfer = std::make_shared<sd::JsonTransfer>(sd::ParseTransferJson(db, json));
    auto number = std::make_shared<int>(0);
    ReadFile file;
    file.warehouse = transfer->warehouse;
    file.post = [transfer, number](zodra::Session& session, CommandLinePrompter&) {
        const zodra::documents::PostedTransfer posted =
            sd::PostTransferFromJson(session, *transfer);
        *number = posted.number;
        return zodra::documents::TransferPostedMessage(posted.number) +
               QStringLiteral(" (odredišna primka %1)").arg(posted.receipt);
    };
    file.print = [number](zodra::Session& session, const QString& pdf) {
        ToPdf(session, sd::TransferPrintRequest(session, *number, false), pdf);
    };
    return file;
}

void PrintTransfer(zodra::Session& session, const DocumentArgs& args) {
    ToPdf(session, sd::TransferPrintRequest(session, args.number, args.quantitiesOnly), args.pdf);
}

void CancelTransfer(zodra::Session& session, CommandLinePrompter& prompter,
                    const DocumentArgs& args) {
    if (!sd::CancelTransfer(session, prompter, args.number, args.date)) {
        throw zodra::UserError(QStringLiteral("Međuskladišnica nije stornirana."));
    }
    Out(QStringLiteral("Međuskladišnica broj %1 je stornirana.").arg(args.number));
}

// A transfer is undone only by its cancellation, the five documents only by their deletion:
// the other door says which one to use.
void OnlyCancelled(zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
    throw zodra::UserError(
        QStringLiteral("Međuskladišnica se ne briše nego stornira (zodractl cancel)."));
}

DocumentDoors IssueDoors(const sd::IssueDocumentTexts& texts) {
    const zodra::DocumentKind kind = texts.kind;
    const QString caption = texts.caption;
    // "Rashod" is masculine, the other four feminine.
    const QString done = kind == zodra::DocumentKind::WriteOff ? QStringLiteral("izbrisan")
                                                               : QStringLiteral("izbrisana");
    DocumentDoors doors;
    doors.word = texts.word;
    doors.read = [](zodra::Database& db, const QByteArray& json) {
        const auto document =
            std::make_shared<sd::JsonIssueDocument>(sd::ParseIssueDocumentJson(db, json));
        auto number = std::make_shared<int>(0);
        ReadFile file;
        file.warehouse = document->warehouse;
        file.post = [document, number](zodra::Session& session, CommandLinePrompter&) {
            *number = sd::PostIssueDocumentFromJson(session, *document);
            return sd::IssueDocument(document->kind).postedMessage + QString::number(*number);
        };
        file.print = [document, number](zodra::Session& session, const QString& pdf) {
            ToPdf(session, sd::IssuePrintRequest(session, document->kind, *number), pdf);
        };
        return file;
    };
    doors.cancel = [caption](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(caption +
                               QStringLiteral(" se ne stornira nego briše (zodractl delete)."));
    };
    doors.remove = [kind, caption, done](zodra::Session& session, CommandLinePrompter& prompter,
                                         const DocumentArgs& args) {
        if (!sd::DeleteIssueDocument(session, prompter, kind, args.number)) {
            throw zodra::UserError(caption + QStringLiteral(" nije ") + done + QLatin1Char('.'));
        }
        Out(caption + QStringLiteral(" broj %1 je ").arg(args.number) + done + QLatin1Char('.'));
    };
    doors.print = [kind](zodra::Session& session, const DocumentArgs& args) {
        ToPdf(session, sd::IssuePrintRequest(session, kind, args.number, args.quantitiesOnly),
              args.pdf);
    };
    doors.printsQuantities = !texts.quantityReport.isEmpty();
    return doors;
}

}  // namespace

std::vector<DocumentDoors> StockDocumentDoors() {
    std::vector<DocumentDoors> doors{
        {sd::TransferWord(), ReadTransfer, CancelTransfer, OnlyCancelled, PrintTransfer, true},
    };
    for (const sd::IssueDocumentTexts& texts : sd::IssueDocuments()) {
        doors.push_back(IssueDoors(texts));
    }
    return doors;
}

}  // namespace zodractl

#include "purchasing/ui/ReceiptWindows.h"

#include <QDate>

#include "data/CommandCatalogue.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptChoices.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptPrint.h"
#include "purchasing/ReceiptRemoval.h"
#include "purchasing/ReceiptSummary.h"
#include "purchasing/ui/CalculationDialog.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "purchasing/ui/PackagingLineDialog.h"
#include "purchasing/ui/SummaryDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindows.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

using zodra::ui::DocumentAction;
using zodra::ui::DocumentDescription;
using zodra::ui::DocumentHeader;
using zodra::ui::DocumentWindow;
using zodra::ui::FieldSpec;
using zodra::ui::ListAction;
using zodra::ui::PostResult;
using zodra::ui::WindowHost;

namespace {

const QString kCommand = QStringLiteral("Knjizenje_primka");
const QString kListCommand = QStringLiteral("Pregledi_primke");

// What one receipt window keeps while it is open: the mode, the posted receipt under
// correction, and the summary data accepted in "Zbirni podaci primke".
struct ReceiptWindowState {
    bool correction = false;
    int number = 0;
    std::optional<ReceiptSummary> summary;

    ReceiptTarget Target(const Session& session) const {
        return correction ? ReceiptTarget::Posted(session, number)
                          : ReceiptTarget::WorkingCopy(session);
    }
};

ReceiptHeaderData FromHeader(const DocumentHeader& h) {
    ReceiptHeaderData r;
    r.number = h.number;
    r.date = h.date;
    const QVariant supplier = h.extra.value(SupplierField());
    if (!supplier.isNull() && supplier.toInt() > 0) {
        r.supplier = supplier.toInt();
    }
    r.supplierDocument = h.extra.value(SupplierDocumentField()).toString();
    r.supplierDocumentDate = h.extra.value(SupplierDocumentDateField()).toDate();
    return r;
}

// The header of the window that runs a line action (every line callback gets its window).
ReceiptHeaderData HeaderOf(QWidget* parent) {
    if (auto* window = qobject_cast<DocumentWindow*>(parent)) {
        return FromHeader(window->Header());
    }
    return {};
}

QList<FieldSpec> HeaderFields(const zodra::ui::CommandRegistry* registry) {
    FieldSpec supplier;
    supplier.key = SupplierField();
    supplier.label = QStringLiteral("Dobavljač :");
    supplier.kind = FieldSpec::Kind::Choice;
    supplier.noneText = QString(QLatin1String(""));
    supplier.choices = [](Session& s) {
        QList<zodra::ui::Choice> list;
        for (const Choice& row : Suppliers(s.Db())) {
            list.push_back({row.name, row.code});
        }
        return list;
    };
    if (registry) {
        supplier.reference = QStringLiteral("PARTNERI");
        supplier.referenceCaption = QStringLiteral("Novi dobavljač");
    }
    FieldSpec document;
    document.key = SupplierDocumentField();
    document.label = QStringLiteral("Dokument dobavljača :");
    FieldSpec documentDate;
    documentDate.key = SupplierDocumentDateField();
    documentDate.label = QStringLiteral("Datum dokumenta dobavljača :");
    documentDate.kind = FieldSpec::Kind::Date;
    return {supplier, document, documentDate};
}

// The line of a grid row (the grid shows the receipt's lines in line order).
ReceiptRow LineAt(Session& session, const ReceiptTarget& target, int row) {
    const std::vector<ReceiptRow> lines = receiptlines::Read(session.Db(), target);
    if (row < 0 || row >= static_cast<int>(lines.size())) {
        throw UserError(QStringLiteral("Nije pronađena stavka primke."));
    }
    return lines.at(static_cast<size_t>(row));
}

QString Totals(Session& session, const ReceiptTarget& target) {
    const ReceiptTotals t = receiptlines::Totals(session.Db(), target);
    const QString currency = CurrencyName(session.Db(), 1);
    return QStringLiteral("Nabavna vr.: ") + CurrencyText(t.costValue, currency) +
           QStringLiteral("        Prodajna vr.: ") + CurrencyText(t.value, currency);
}

void PrintReceipt(WindowHost& host, int number, ReceiptReport report) {
    reports::ui::ShowReport(host, ReceiptPrintRequest(host.CurrentSession(), number, report));
}

CalculationContext ContextOf(Session& session, const ReceiptWindowState& state,
                             const ReceiptHeaderData& header) {
    CalculationContext context;
    if (state.summary) {
        context.summary = *state.summary;
    } else if (state.correction) {
        context.summary = PostedSummary(session.Db(), session.activeWarehouse.code,
                                        session.businessYear, state.number);
    }
    context.supplier = header.supplier;
    context.proposeFromLastReceipt = session.company.previousArticleDataInCalculation;
    return context;
}

// "Artikli": the quick line entry (and from it the calculation window).
bool AddLines(WindowHost& host, QWidget* parent, const ReceiptWindowState& state) {
    Session& session = host.CurrentSession();
    LineEntryDialog dialog(host, state.Target(session), ContextOf(session, state, HeaderOf(parent)),
                           parent);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

// "Promjena": the calculation window on the line ("PROMJENA").
bool ChangeLine(WindowHost& host, QWidget* parent, int row, const ReceiptWindowState& state) {
    Session& session = host.CurrentSession();
    const ReceiptTarget target = state.Target(session);
    const ReceiptRow line = LineAt(session, target, row);
    if (line.kind != ArticleKind()) {
        host.UserPrompter().Inform(QStringLiteral("Mijenjati se mogu samo stavke artikala."),
                                   QStringLiteral("Primka"));
        return false;
    }
    const ArticleFacts facts = ReadArticleFacts(session, line.code);
    const CalculationContext context = ContextOf(session, state, HeaderOf(parent));
    CalculationDialog dialog(host, facts, CalculationOfLine(facts, line, context.summary.rate),
                             parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const PriceCalculation& c = dialog.Calculation();
    AcceptArticleLine(session, host.UserPrompter(), target,
                      ReceiptRow::FromCalculation(
                          line.code, c, c.Value(PriceCalculation::Box::RetailMarginPercent)),
                      CalculationMode::Change, line.lineNumber);
    return true;
}

bool AddPackagingLines(WindowHost& host, QWidget* parent, const ReceiptWindowState& state) {
    PackagingLineDialog dialog(host, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    Session& session = host.CurrentSession();
    AddPackagingLine(session, state.Target(session), dialog.Packaging(), dialog.Quantity());
    return true;
}

// "Zbirni p.": the summary data; accepted, their percentages go into the lines (and, for a
// posted receipt, into its lots and the issues that took from them).
bool EditSummary(WindowHost& host, QWidget* parent, ReceiptWindowState& state) {
    Session& session = host.CurrentSession();
    Database& db = session.Db();
    ReceiptSummary current;
    if (state.summary) {
        current = *state.summary;
    } else if (state.correction) {
        current =
            PostedSummary(db, session.activeWarehouse.code, session.businessYear, state.number);
    } else {
        current.rateDate = HeaderOf(parent).date;
    }
    SummaryDialog dialog(host, current, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const ReceiptSummary accepted = dialog.Accepted();
    if (state.correction) {
        ApplySummaryToPosted(session, state.number, accepted);
    } else {
        Transaction transaction(db);
        const ReceiptTarget working = state.Target(session);
        ApplyPercentages(db, working,
                         PercentagesOf(accepted, receiptlines::Totals(db, working).packagingValue),
                         accepted.customsFromArticles);
        transaction.Commit();
    }
    state.summary = accepted;
    return true;
}

// What the entry and the correction windows share.
void DescribeLines(DocumentDescription& d, const std::shared_ptr<ReceiptWindowState>& state,
                   const zodra::ui::CommandRegistry* registry) {
    d.headerFields = HeaderFields(registry);
    d.hasDescription = false;
    d.workingLines = [state](Session& s) { return receiptlines::Grid(s.Db(), state->Target(s)); };
    d.totals = [state](Session& s) { return Totals(s, state->Target(s)); };
    d.addLineCaption = QStringLiteral("&Artikli");
    d.addLine = [state](WindowHost& host, QWidget* parent) {
        return AddLines(host, parent, *state);
    };
    d.changeLine = [state](WindowHost& host, QWidget* parent, int row) {
        return ChangeLine(host, parent, row, *state);
    };
    d.deleteLineCaption = QStringLiteral("&Brisanje");
    d.deleteLineQuestion = [state](Session& s, int row) {
        return DeleteLineQuestion(LineAt(s, state->Target(s), row).kind);
    };
    d.deleteLine = [state](Session& s, int row) {
        const ReceiptTarget target = state->Target(s);
        DeleteReceiptLine(s, target, LineAt(s, target, row).lineNumber);
    };
    d.checkBeforeLines = [](const DocumentHeader& h) { CheckReadyForLines(FromHeader(h)); };
    d.editableColumn = 2;  // "Rbr"
    d.editCell = [state](Session& s, int row, const QVariant& value) {
        const ReceiptTarget target = state->Target(s);
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        if (!ok) {
            throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
        }
        Transaction transaction(s.Db());
        receiptlines::Renumber(s.Db(), target, LineAt(s, target, row).lineNumber, number);
        transaction.Commit();
    };
    d.readOnlyCellMessage = QStringLiteral("Mijenjati možete samo redni broj.");
    d.actions = {
        DocumentAction{QStringLiteral("A&mbalaža"), QStringLiteral("Ambalaza"),
                       [state](WindowHost& host, QWidget* parent) {
                           return AddPackagingLines(host, parent, *state);
                       },
                       true},
        DocumentAction{QStringLiteral("&Zbirni p."), QStringLiteral("ZbirniPodaci"),
                       [state](WindowHost& host, QWidget* parent) {
                           return EditSummary(host, parent, *state);
                       },
                       false},
        DocumentAction{QStringLiteral("&Ispis"), QStringLiteral("IspisPrimke"),
                       [state](WindowHost& host, QWidget* parent) {
                           if (state->correction) {
                               PrintReceipt(host, state->number, ReceiptReport::Calculation);
                           } else {
                               // Before posting: the calculation as it stands, to check.
                               reports::ui::ShowReport(
                                   host, WorkingReceiptPrintRequest(host.CurrentSession(),
                                                                    HeaderOf(parent)));
                           }
                           return false;
                       },
                       false},
    };
}

}  // namespace

std::shared_ptr<DocumentDescription> ReceiptEntryDescription(
    const zodra::ui::CommandRegistry* registry) {
    auto state = std::make_shared<ReceiptWindowState>();
    auto d = std::make_shared<DocumentDescription>();
    d->command = kCommand;
    d->caption = QStringLiteral("Primka");
    DescribeLines(*d, state, registry);
    d->hasPrintBox = true;
    d->closeAfterPost = true;
    d->nextNumber = [](Session& s) {
        return numbering::NextDocumentNumber(s.Db(), DocumentKind::GoodsReceipt,
                                             s.activeWarehouse.code, s.businessYear,
                                             numbering::kReceiptEntered);
    };
    d->numberInvalidMessage = QStringLiteral("Nije ispravno upisan broj !");
    d->checkNumber = [](Session& s, const QString& typed) {
        CheckReceiptNumber(s.Db(), s.activeWarehouse.code, s.businessYear, typed);
    };
    d->prepareWorkingCopy = [](Session& s) { PrepareWorkingCopy(s); };
    d->post = [state](WindowHost& host, const DocumentHeader& h) {
        const std::optional<int> number =
            PostReceipt(host.CurrentSession(), host.UserPrompter(), FromHeader(h), state->summary);
        if (!number) {
            return PostResult{QVariant(), QString()};
        }
        state->summary.reset();
        return PostResult{*number, PostedMessage(*number)};
    };
    d->print = [](WindowHost& host, const QVariant& key) {
        PrintReceipt(host, key.toInt(), ReceiptReport::Calculation);
    };
    d->clearWorkingCopy = [](Session& s) { ClearWorkingReceipt(s); };
    d->abandonQuestion = QStringLiteral("Želite li odustati od primke ?");
    return d;
}

std::shared_ptr<DocumentDescription> ReceiptCorrectionDescription(
    const zodra::ui::CommandRegistry* registry, int number, const QString& supplierName) {
    auto state = std::make_shared<ReceiptWindowState>();
    state->correction = true;
    state->number = number;
    auto d = std::make_shared<DocumentDescription>();
    d->command = kCommand + QStringLiteral("_ispravak_") + QString::number(number);
    d->caption = CorrectionCaption(number, supplierName);
    DescribeLines(*d, state, registry);
    d->hasPrintBox = false;
    d->numberEditable = false;
    d->nextNumber = [number](Session&) { return number; };
    d->initialHeader = [number](Session& s) -> std::optional<DocumentHeader> {
        const std::optional<PostedReceipt> r =
            ReadPostedReceipt(s.Db(), s.activeWarehouse.code, s.businessYear, number);
        if (!r) {
            throw UserError(NoSuchReceiptMessage(number));
        }
        DocumentHeader h;
        h.number = number;
        h.date = r->header.date;
        h.extra[SupplierField()] = r->header.supplier ? QVariant(*r->header.supplier) : QVariant();
        h.extra[SupplierDocumentField()] = r->header.supplierDocument;
        h.extra[SupplierDocumentDateField()] = r->header.supplierDocumentDate;
        return h;
    };
    // Every accepted header change is written at once; the caption names the supplier.
    d->headerChanged = [number, command = d->command](WindowHost& host, const DocumentHeader& h) {
        ReceiptHeaderData header = FromHeader(h);
        header.number = number;
        UpdatePostedHeader(host.CurrentSession(), number, header);
        if (QWidget* window = host.FindWindow(command)) {
            Session& session = host.CurrentSession();
            if (const auto posted = ReadPostedReceipt(session.Db(), session.activeWarehouse.code,
                                                      session.businessYear, number)) {
                window->setWindowTitle(CorrectionCaption(number, posted->supplierName));
            }
        }
    };
    d->print = [](WindowHost& host, const QVariant& key) {
        PrintReceipt(host, key.toInt(), ReceiptReport::Calculation);
    };
    // The lines are posted already: closing asks nothing and clears nothing.
    d->abandonQuestion.clear();
    return d;
}

std::shared_ptr<DocumentDescription> ReceiptListDescription(
    const zodra::ui::CommandRegistry* registry) {
    auto d = std::make_shared<DocumentDescription>();
    d->caption = QStringLiteral("Primka");
    d->listCommand = kListCommand;
    d->listCaption = QStringLiteral("Izbor primke");
    d->postedDocuments = [](Session& s) {
        return ReceiptChoice(s.Db(), s.activeWarehouse.code, s.businessYear);
    };
    d->keyColumn = 0;
    d->listDetails = [](Session& s, const QVariant& key) {
        return ReceiptChoiceDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt());
    };
    d->postedCaption = QStringLiteral("Primka br.");
    d->postedSummary = [](Session& s, const QVariant& key) {
        return ReceiptChoiceDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt()) +
               QStringLiteral("\n") + Totals(s, ReceiptTarget::Posted(s, key.toInt()));
    };
    d->postedLines = [](Session& s, const QVariant& key) {
        return receiptlines::Grid(s.Db(), ReceiptTarget::Posted(s, key.toInt()));
    };
    d->print = [](WindowHost& host, const QVariant& key) {
        PrintReceipt(host, key.toInt(), ReceiptReport::Calculation);
    };
    d->deleteQuestion = DeleteQuestion();
    d->deleteTitle = DeleteTitle();
    d->deletePosted = [](WindowHost& host, const QVariant& key) {
        DeleteReceipt(host.CurrentSession(), key.toInt());
    };
    d->cancelQuestion = CancelQuestion();
    d->cancelTitle = QStringLiteral("Storno primke");
    d->cancelPosted = [](WindowHost& host, const QVariant& key) {
        const int cancellation = CancelReceipt(host.CurrentSession(), host.UserPrompter(),
                                               key.toInt(), QDate::currentDate());
        host.UserPrompter().Inform(CancelledMessage(cancellation), QStringLiteral("Storno primke"));
    };
    d->listActions = {
        ListAction{QStringLiteral("Is&pravak"), QStringLiteral("Ispravak"),
                   [registry](WindowHost& host, const QVariant& key) {
                       OpenReceiptCorrection(host, registry, key.toInt());
                   },
                   false},
        ListAction{QStringLiteral("Ispis s &MPC"), QStringLiteral("IspisMPC"),
                   [](WindowHost& host, const QVariant& key) {
                       PrintReceipt(host, key.toInt(), ReceiptReport::RetailPrices);
                   },
                   false},
    };
    d->tableCaption = QStringLiteral("Primke");
    d->tableRows = [](Session& s) {
        return ReceiptTable(s.Db(), s.activeWarehouse.code, s.businessYear);
    };
    d->tableTotals = [](Session& s) {
        return ReceiptTableTotals(s.Db(), s.activeWarehouse.code, s.businessYear);
    };
    return d;
}

DocumentWindow* OpenReceiptWindow(WindowHost& host, const zodra::ui::CommandRegistry* registry) {
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(kCommand))) {
        return open;
    }
    return zodra::ui::ShowDocumentWindow(host, ReceiptEntryDescription(registry), registry);
}

DocumentWindow* OpenReceiptCorrection(WindowHost& host, const zodra::ui::CommandRegistry* registry,
                                      int number) {
    Session& session = host.CurrentSession();
    const std::optional<PostedReceipt> r =
        ReadPostedReceipt(session.Db(), session.activeWarehouse.code, session.businessYear, number);
    if (!r) {
        throw UserError(NoSuchReceiptMessage(number));
    }
    return zodra::ui::ShowDocumentWindow(
        host, ReceiptCorrectionDescription(registry, number, r->supplierName), registry);
}

zodra::ui::PostedDocumentsWindow* OpenReceiptList(WindowHost& host,
                                                  const zodra::ui::CommandRegistry* registry) {
    return zodra::ui::ShowPostedDocuments(host, ReceiptListDescription(registry));
}

void RegisterPurchasingCommands(zodra::ui::CommandRegistry& registry) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(kCommand, [r](WindowHost& host) { OpenReceiptWindow(host, r); });
    registry.Register(kListCommand, [r](WindowHost& host) { OpenReceiptList(host, r); });
}

}  // namespace zodra::purchasing::ui

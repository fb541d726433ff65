#include "purchasing/ui/ReceiptController.h"

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptChoices.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ui/CalculationDialog.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "purchasing/ui/PackagingLineDialog.h"
#include "purchasing/ui/SummaryDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

using zodra::ui::DocumentAction;
using zodra::ui::DocumentHeader;
using zodra::ui::FieldSpec;
using zodra::ui::WindowHost;

namespace {

const QString kPackagingAction = QStringLiteral("Ambalaza");
const QString kSummaryAction = QStringLiteral("ZbirniPodaci");
const QString kPrintAction = QStringLiteral("IspisPrimke");

// The line of a grid row (the grid shows the receipt's lines in line order).
ReceiptRow LineAt(Session& session, const ReceiptTarget& target, int row) {
    const std::vector<ReceiptRow> lines = receiptlines::Read(session.Db(), target);
    if (row < 0 || row >= static_cast<int>(lines.size())) {
        throw UserError(QStringLiteral("Nije pronađena stavka primke."));
    }
    return lines.at(static_cast<size_t>(row));
}

}  // namespace

ReceiptHeaderData ReceiptHeaderOf(const DocumentHeader& h) {
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

QString ReceiptTotalsText(Session& session, const ReceiptTarget& target) {
    const ReceiptTotals t = receiptlines::Totals(session.Db(), target);
    const QString currency = CurrencyName(session.Db(), 1);
    return QStringLiteral("Nabavna vr.: ") + CurrencyText(t.costValue, currency) +
           QStringLiteral("        Prodajna vr.: ") + CurrencyText(t.value, currency);
}

void PrintReceipt(WindowHost& host, int number, ReceiptReport report) {
    reports::ui::ShowReport(host, ReceiptPrintRequest(host.CurrentSession(), number, report));
}

ReceiptController::ReceiptController(const zodra::ui::CommandRegistry* registry)
    : m_registry(registry) {}

QList<FieldSpec> ReceiptController::HeaderFields() const {
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
    if (m_registry) {
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

QString ReceiptController::AddLineCaption() const {
    return QStringLiteral("&Artikli");
}

QString ReceiptController::DeleteLineCaption() const {
    return QStringLiteral("&Brisanje");
}

QList<DocumentAction> ReceiptController::Actions() const {
    return {
        DocumentAction{QStringLiteral("Amba&laža"), kPackagingAction, true},
        DocumentAction{QStringLiteral("Zbir&ni p."), kSummaryAction, false},
        DocumentAction{QStringLiteral("I&spis"), kPrintAction, false},
    };
}

QString ReceiptController::ReadOnlyCellMessage() const {
    return QStringLiteral("Mijenjati možete samo redni broj.");
}

TableData ReceiptController::WorkingLines(Session& session) {
    return receiptlines::Grid(session.Db(), Target(session));
}

QString ReceiptController::Totals(Session& session) {
    return ReceiptTotalsText(session, Target(session));
}

void ReceiptController::CheckBeforeLines(const DocumentHeader& header) {
    CheckReadyForLines(ReceiptHeaderOf(header));
}

CalculationContext ReceiptController::ContextOf(Session& session,
                                                const ReceiptHeaderData& header) const {
    CalculationContext context;
    if (m_summary) {
        context.summary = *m_summary;
    } else if (std::optional<ReceiptSummary> stored = StoredSummary(session)) {
        context.summary = *stored;
    }
    context.supplier = header.supplier;
    context.proposeFromLastReceipt = session.company.previousArticleDataInCalculation;
    return context;
}

// "Artikli": the quick line entry (and from it the calculation window).
bool ReceiptController::AddLine(WindowHost& host, QWidget* parent, const DocumentHeader& header) {
    Session& session = host.CurrentSession();
    LineEntryDialog dialog(host, Target(session), ContextOf(session, ReceiptHeaderOf(header)),
                           parent);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

// "Promjena": the calculation window on the line ("PROMJENA").
bool ReceiptController::ChangeLine(WindowHost& host, QWidget* parent, const DocumentHeader& header,
                                   int row) {
    Session& session = host.CurrentSession();
    const ReceiptTarget target = Target(session);
    const ReceiptRow line = LineAt(session, target, row);
    if (line.kind != ArticleKind()) {
        host.UserPrompter().Inform(QStringLiteral("Mijenjati se mogu samo stavke artikala."),
                                   QStringLiteral("Primka"));
        return false;
    }
    const ArticleFacts facts = ReadArticleFacts(session, line.code);
    const CalculationContext context = ContextOf(session, ReceiptHeaderOf(header));
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

QString ReceiptController::DeleteLineQuestion(Session& session, int row) {
    return purchasing::DeleteLineQuestion(LineAt(session, Target(session), row).kind);
}

void ReceiptController::DeleteLine(Session& session, int row) {
    const ReceiptTarget target = Target(session);
    DeleteReceiptLine(session, target, LineAt(session, target, row).lineNumber);
}

void ReceiptController::EditCell(Session& session, int row, const QVariant& value) {
    const ReceiptTarget target = Target(session);
    RenumberReceiptLine(session, target, LineAt(session, target, row).lineNumber, value.toString());
}

bool ReceiptController::RunAction(const QString& objectName, WindowHost& host, QWidget* parent,
                                  const DocumentHeader& header) {
    if (objectName == kPackagingAction) {
        return AddPackagingLines(host, parent);
    }
    if (objectName == kSummaryAction) {
        return EditSummary(host, parent, header);
    }
    if (objectName == kPrintAction) {
        PrintCalculation(host, header);
    }
    return false;
}

bool ReceiptController::AddPackagingLines(WindowHost& host, QWidget* parent) {
    PackagingLineDialog dialog(host, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    Session& session = host.CurrentSession();
    AddPackagingLine(session, Target(session), dialog.Packaging(), dialog.Quantity());
    return true;
}

// "Zbirni p.": the summary data; accepted, their percentages go into the lines (and, for a
// posted receipt, into its lots and the issues that took from them).
bool ReceiptController::EditSummary(WindowHost& host, QWidget* parent,
                                    const DocumentHeader& header) {
    Session& session = host.CurrentSession();
    ReceiptSummary current;
    if (m_summary) {
        current = *m_summary;
    } else if (std::optional<ReceiptSummary> stored = StoredSummary(session)) {
        current = *stored;
    } else {
        current.rateDate = header.date;
    }
    SummaryDialog dialog(host, current, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const ReceiptSummary accepted = dialog.Accepted();
    ApplyReceiptSummary(session, Target(session), accepted);
    m_summary = accepted;
    return true;
}

void ReceiptController::Print(WindowHost& host, const QVariant& key) {
    PrintReceipt(host, key.toInt(), ReceiptReport::Calculation);
}

}  // namespace zodra::purchasing::ui

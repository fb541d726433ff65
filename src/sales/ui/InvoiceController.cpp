#include "sales/ui/InvoiceController.h"

#include <QLineEdit>
#include <QStyledItemDelegate>

#include <QTimer>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/AmountInWords.h"
#include "reports/ValueFormat.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoicePosting.h"
#include "sales/InvoicePrint.h"
#include "sales/OutgoingPosting.h"
#include "sales/QuotationInvoice.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/CompositeLineDialog.h"
#include "sales/ui/InvoiceHeaderDialog.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/LinesTableDialog.h"
#include "sales/ui/PackagingLineDialog.h"
#include "sales/ui/ServiceLineDialog.h"
#include "ui/DataGrid.h"
#include "ui/DocumentWindow.h"
#include "ui/FieldForm.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::DocumentAction;
using zodra::ui::DocumentHeader;
using zodra::ui::FieldSpec;
using zodra::ui::WindowHost;

namespace {

const QString kServiceAction = QStringLiteral("Usluge");
const QString kPackagingAction = QStringLiteral("Ambalaza");
const QString kCompositeAction = QStringLiteral("SlozeniArtikli");
const QString kTableAction = QStringLiteral("Tablicno");
const QString kPrintWorking = QStringLiteral("IspisURadu");

std::optional<int> CodeOf(const QVariantMap& values, const QString& key) {
    const QVariant v = values.value(key);
    if (v.isNull() || !v.isValid() || v.toInt() <= 0) {
        return std::nullopt;
    }
    return v.toInt();
}

FieldSpec ChoiceField(const QString& key, const QString& label,
                      std::vector<NamedCode> (*read)(Database&), const QString& table,
                      const QString& shortcut, bool withShortcut) {
    FieldSpec f;
    f.key = key;
    f.label = label;
    f.kind = FieldSpec::Kind::Choice;
    f.noneText = QString(QLatin1String(""));
    f.choices = [read](Session& s) {
        QList<zodra::ui::Choice> list;
        for (const NamedCode& row : read(s.Db())) {
            list.push_back({row.name, row.code});
        }
        return list;
    };
    if (withShortcut) {
        f.reference = table;
        f.referenceCaption = shortcut;
    }
    return f;
}

}  // namespace

QString InvoiceTotalsText(Session& session, const InvoiceTotals& t) {
    if (!session.company.showInvoiceTotals) {
        return {};
    }
    const reports::ValueFormat format(zodra::HomeCurrencyName(session.Db()));
    const QString currency = QStringLiteral("Currency");
    return QStringLiteral("Vrijednost : ") + format.Format(t.value, currency) +
           QStringLiteral("      Porez : ") + format.Format(t.tax, currency) +
           QStringLiteral("      Ukupno : ") + format.Format(t.total, currency);
}

InvoiceController::InvoiceController(const zodra::ui::CommandRegistry* registry,
                                     const OutgoingDocument& document, InvoiceAfterPosting after)
    : m_registry(registry), m_document(document), m_after(std::move(after)) {}

InvoiceController::~InvoiceController() = default;

QString InvoiceController::IraField() {
    return QStringLiteral("IRA");
}

QString InvoiceController::TermsField() {
    return QStringLiteral("UVJET");
}

QString InvoiceController::CustomerField() {
    return QStringLiteral("KUPAC");
}

QString InvoiceController::Command() const {
    return m_document.command;
}

QString InvoiceController::Caption() const {
    return DocumentCaption(m_document, m_customerName);
}

QList<FieldSpec> InvoiceController::HeaderFields() const {
    const bool shortcuts = m_registry != nullptr;
    return {
        ChoiceField(IraField(), QStringLiteral("Knjiga IRA : "), &IraBooks,
                    QStringLiteral("KNJIGE_IRA"), QStringLiteral("Nova knjiga IRA"), shortcuts),
        ChoiceField(TermsField(), QStringLiteral("Uvjet pr. :"), &SalesTermsList,
                    QStringLiteral("UVJETI_PRODAJE"), QStringLiteral("Novi uvjet prodaje"),
                    shortcuts),
        ChoiceField(CustomerField(), QStringLiteral("Kupac :"), &Customers,
                    QStringLiteral("PARTNERI"), QStringLiteral("Novi kupac"), shortcuts),
    };
}

QString InvoiceController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QString InvoiceController::AddLineCaption() const {
    return QStringLiteral("&Artikli");
}

QString InvoiceController::DeleteLineCaption() const {
    return QStringLiteral("&Brisanje");
}

QList<DocumentAction> InvoiceController::Actions() const {
    QList<DocumentAction> actions = {
        DocumentAction{QStringLiteral("&Usluge"), kServiceAction, true},
        DocumentAction{QStringLiteral("A&mbalaža"), kPackagingAction, true},
        DocumentAction{QStringLiteral("&Tablično"), kTableAction, false},
        DocumentAction{QStringLiteral("I&spis"), kPrintWorking, false},
    };
    // Composite products are made when an invoice is posted; the other documents make nothing.
    if (m_document.kind == OutgoingKind::Invoice) {
        actions.insert(2, DocumentAction{QStringLiteral("Sl. artik&li"), kCompositeAction, true});
    }
    return actions;
}

QString InvoiceController::AbandonQuestion() const {
    return m_document.abandonQuestion;
}

void InvoiceController::PrepareWorkingCopy(Session& session) {
    m_draft = OpenInvoice(session, QDate::currentDate());
}

int InvoiceController::NextNumber(Session& session) {
    return ProposedOutgoingNumber(session.Db(), m_document, m_draft);
}

InvoiceLinesTarget InvoiceController::Target() const {
    return InvoiceLinesTarget{m_draft.sessionCode, std::nullopt};
}

TableData InvoiceController::WorkingLines(Session& session) {
    return InvoiceLinesGrid(session.Db(), Target());
}

QString InvoiceController::Totals(Session& session) {
    return InvoiceTotalsText(session, TotalsOf(session.Db(), Target()));
}

void InvoiceController::Sync(const DocumentHeader& header) {
    if (header.date.isValid()) {
        m_draft.date = header.date;
    }
    m_draft.book = CodeOf(header.extra, IraField());
    m_draft.salesTerms = CodeOf(header.extra, TermsField());
    m_draft.customer = CodeOf(header.extra, CustomerField());
}

void InvoiceController::CheckBeforeLines(const DocumentHeader& header) {
    Sync(header);
    CheckReadyForLines(m_draft);
}

std::optional<AcceptedLine> InvoiceController::AcceptArticle(Session& session, Prompter& prompter,
                                                             const ArticleLineInput& input) {
    return AddArticleLine(session, prompter, m_draft, input);
}

std::optional<AcceptedLine> InvoiceController::AcceptService(Session& session, Prompter& prompter,
                                                             const ServiceLineInput& input,
                                                             const std::vector<int>& employees) {
    return AddServiceLine(session, prompter, m_draft, input, employees);
}

void InvoiceController::RemoveLine(Session& session, int lineNumber) {
    sales::DeleteLine(session, m_draft, lineNumber);
}

bool InvoiceController::AddLine(WindowHost& host, QWidget* parent, const DocumentHeader& header) {
    Sync(header);
    CheckSalesTerms(host.CurrentSession(), *m_draft.salesTerms);
    ArticleLineDialog dialog(
        host, m_draft,
        [this, &host](const ArticleLineInput& input) {
            return AcceptArticle(host.CurrentSession(), host.UserPrompter(), input);
        },
        parent);
    dialog.ShareCurrencyNotice(&m_currencyNoticeShown);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

namespace {

// A cell typed as text: the editor starts with the number as shown and hands back what was typed.
class TextCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return new QLineEdit(parent);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::DisplayRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }
};

}  // namespace

void InvoiceController::Attach(zodra::ui::DocumentWindow* window) {
    m_window = window;
    if (window && window->Lines()) {
        window->Lines()->setItemDelegateForColumn(EditableColumn(),
                                                  new TextCellDelegate(window->Lines()));
    }
}

QString InvoiceController::ReadOnlyCellMessage() const {
    if (m_document.kind == OutgoingKind::Offer || m_document.kind == OutgoingKind::ProForma) {
        return DiscountOnlyMessage();
    }
    return QStringLiteral(
        "U tablici se mijenja samo postotak rabata; ostalo mijenjajte kroz "
        "upis stavke.");
}

void InvoiceController::EditCell(Session& session, int row, const QVariant& value) {
    const double discount = ParseGridDiscount(value);
    ChangeDiscount(session, LineAt(session, row).first, discount);
}

void InvoiceController::ChangeDiscount(Session& session, int lineNumber, double discountPercent) {
    ChangeLineDiscount(session, m_draft, lineNumber, discountPercent);
}

std::pair<int, QString> InvoiceController::LineAt(Session& session, int row) {
    const TableData lines = InvoiceLinesGrid(session.Db(), Target());
    if (row < 0 || row >= lines.RowCount()) {
        throw UserError(QStringLiteral("Nije pronađena stavka računa."));
    }
    const int kindColumn = static_cast<int>(lines.columns.size()) - 2;
    return {lines.Value(row, 0).toInt(), lines.Value(row, kindColumn).toString()};
}

QString InvoiceController::DeleteLineQuestion(Session& session, int row) {
    return sales::DeleteLineQuestion(LineAt(session, row).second);
}

void InvoiceController::DeleteLine(Session& session, int row) {
    RemoveLine(session, LineAt(session, row).first);
}

bool InvoiceController::RunAction(const QString& objectName, WindowHost& host, QWidget* parent,
                                  const DocumentHeader& header) {
    if (objectName == kServiceAction) {
        Sync(header);
        CheckSalesTerms(host.CurrentSession(), *m_draft.salesTerms);
        ServiceLineDialog dialog(
            host, m_draft,
            [this, &host](const ServiceLineInput& input, const std::vector<int>& employees) {
                return AcceptService(host.CurrentSession(), host.UserPrompter(), input, employees);
            },
            parent);
        dialog.exec();
        return dialog.LinesWritten() > 0;
    }
    if (objectName == kPackagingAction) {
        Sync(header);
        PackagingLineDialog dialog(
            host,
            [this, &host](const PackagingLineInput& input) {
                return AddPackagingLine(host.CurrentSession(), host.UserPrompter(), m_draft, input);
            },
            parent);
        dialog.exec();
        return dialog.LinesWritten() > 0;
    }
    if (objectName == kCompositeAction) {
        Sync(header);
        CompositeLineDialog dialog(
            host, m_draft,
            [this, &host](const CompositeLineInput& input) {
                return AddCompositeLine(host.CurrentSession(), host.UserPrompter(), m_draft, input);
            },
            parent);
        dialog.exec();
        return dialog.LinesWritten() > 0;
    }
    if (objectName == kPrintWorking) {
        // The working copy as it stands, not posted: no number is taken.
        Sync(header);
        reports::ui::ShowReport(host, WorkingInvoicePrintRequest(host.CurrentSession(), m_draft));
        return false;
    }
    if (objectName == kTableAction) {
        LinesTableDialog dialog(InvoiceLinesTable(host.CurrentSession().Db(), Target()),
                                m_document.name, parent);
        dialog.exec();
    }
    return false;
}

void InvoiceController::CheckNumber(Session& session, const QString& typed) {
    CheckOutgoingNumber(session.Db(), m_document, m_draft, typed);
}

void InvoiceController::RestoreBox(const QString& key, std::optional<int> value) {
    if (!m_window || !m_window->Extra()) {
        return;
    }
    zodra::ui::FieldForm* form = m_window->Extra();
    QTimer::singleShot(0, form, [form, key, value] {
        form->SetValues({{key, value ? QVariant(*value) : QVariant()}});
    });
}

// Every header box the user leaves: the sales terms are checked against the warehouse (a
// refusal puts the previous terms back), the caption names the customer, a new book or new
// terms bring the number of their numbering.
void InvoiceController::HeaderChanged(WindowHost& host, const DocumentHeader& header) {
    Session& session = host.CurrentSession();
    const std::optional<int> oldTerms = m_draft.salesTerms;
    const std::optional<int> oldBook = m_draft.book;
    const std::optional<int> terms = CodeOf(header.extra, TermsField());
    if (terms && terms != oldTerms) {
        try {
            CheckSalesTerms(session, *terms);
        } catch (const UserError& e) {
            RestoreBox(TermsField(), oldTerms);
            throw FieldError(TermsField(), e.message());
        }
    }
    Sync(header);
    m_customerName = m_draft.customer ? PartnerName(session.Db(), *m_draft.customer) : QString();
    if (m_window && (m_draft.salesTerms != oldTerms || m_draft.book != oldBook)) {
        DocumentHeader renumbered = m_window->Header();
        renumbered.number = ProposedOutgoingNumber(session.Db(), m_document, m_draft);
        zodra::ui::DocumentWindow* window = m_window;
        QTimer::singleShot(0, window, [window, renumbered] { window->SetHeader(renumbered); });
    }
}

zodra::ui::PostResult InvoiceController::Post(WindowHost& host, const DocumentHeader& header) {
    Sync(header);
    Session& session = host.CurrentSession();
    CheckReadyForLines(m_draft);
    if (TotalsOf(session.Db(), Target()).lines == 0) {
        throw UserError(m_document.noLinesMessage);
    }
    InvoiceHeader proposal = ProposeHeader(session, m_draft);
    proposal.number = header.number > 0 ? header.number
                                        : ProposedOutgoingNumber(session.Db(), m_document, m_draft);
    const bool invoice = m_document.kind == OutgoingKind::Invoice;
    InvoiceHeaderDialog dialog(host, m_document, m_draft, proposal,
                               !invoice || static_cast<bool>(m_after.printAfterPosting), m_window);
    if (dialog.exec() != QDialog::Accepted || !dialog.Posted()) {
        return {};
    }
    const PostedInvoice posted = *dialog.Posted();
    const InvoiceKey key{m_draft.warehouse, *m_draft.book, m_draft.year, posted.number};
    if (invoice && posted.wantsPayment && m_after.openRetailPayment &&
        session.company.paymentDialogAfterRetailInvoice) {
        m_after.openRetailPayment(host, key, dialog.AlreadyPaid());
    }
    if (posted.numberChanged) {
        host.UserPrompter().Inform(OutgoingPostedMessage(m_document, posted.number), Caption());
    }
    if (invoice && m_after.printAfterPosting && dialog.PrintChoice().Any()) {
        m_after.printAfterPosting(host, key, dialog.PrintChoice());
    }
    if (!invoice && dialog.PrintChoice().document) {
        ShowPostedDocumentPrint(host, m_document.kind, key, dialog.PrintChoice());
    }
    // The window waits for the next invoice: its boxes are emptied, the draft follows.
    m_draft.book.reset();
    m_draft.salesTerms.reset();
    m_draft.customer.reset();
    m_customerName.clear();
    if (m_window) {
        QTimer::singleShot(0, m_window,
                           [w = m_window, caption = Caption()] { w->setWindowTitle(caption); });
    }
    return zodra::ui::PostResult{posted.number, QString()};
}

void InvoiceController::CopyFrom(WindowHost& host, const OutgoingDocument& source, int book,
                                 int number) {
    Session& session = host.CurrentSession();
    MakeInvoiceFrom(session, host.UserPrompter(), source, book, number, m_draft);
    m_customerName = m_draft.customer ? PartnerName(session.Db(), *m_draft.customer) : QString();
    if (!m_window) {
        return;
    }
    DocumentHeader header = m_window->Header();
    const auto put = [&header](const QString& key, const std::optional<int>& code) {
        header.extra[key] = code ? QVariant(*code) : QVariant();
    };
    put(IraField(), m_draft.book);
    put(TermsField(), m_draft.salesTerms);
    put(CustomerField(), m_draft.customer);
    header.number = ProposedOutgoingNumber(session.Db(), m_document, m_draft);
    m_window->SetHeader(header);
    m_window->RefreshLines();
    m_window->setWindowTitle(Caption());
}

void InvoiceController::ClearWorkingCopy(Session& session) {
    DiscardInvoice(session, m_draft);
}

void InvoiceController::WindowClosed(Session& session) {
    DiscardInvoice(session, m_draft);
}

}  // namespace zodra::sales::ui

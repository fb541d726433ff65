#include "sales/ui/InvoiceCorrectionController.h"

#include <QTimer>

#include "data/Errors.h"
#include "data/Session.h"
#include "sales/ui/LineChangeDialog.h"
#include "ui/DocumentWindow.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::DocumentHeader;

InvoiceCorrectionController::InvoiceCorrectionController(const zodra::ui::CommandRegistry* registry,
                                                         const OutgoingDocument& document,
                                                         PostedInvoiceHeader header)
    : InvoiceController(registry, document, {}), m_header(std::move(header)) {
    m_draft = CorrectionDraft(m_header);
    m_customerName = m_header.customerName;
}

QString InvoiceCorrectionController::CommandName(int book, int number) {
    return QStringLiteral("Knjizenje_racun_ispravak_") + QString::number(book) + QLatin1Char('_') +
           QString::number(number);
}

QString InvoiceCorrectionController::Command() const {
    return CommandName(m_header.key.book, m_header.key.number);
}

QString InvoiceCorrectionController::Caption() const {
    return CorrectionCaption(m_document, m_header.key.number, m_customerName);
}

// The book and the terms decide the invoice's number and taxes: they stay as posted.
QList<zodra::ui::FieldSpec> InvoiceCorrectionController::HeaderFields() const {
    QList<zodra::ui::FieldSpec> fields = InvoiceController::HeaderFields();
    for (zodra::ui::FieldSpec& f : fields) {
        if (f.key != CustomerField()) {
            f.readOnly = true;
            f.reference.clear();
        }
    }
    return fields;
}

void InvoiceCorrectionController::PrepareWorkingCopy(Session&) {}

int InvoiceCorrectionController::NextNumber(Session&) {
    return m_header.key.number;
}

std::optional<DocumentHeader> InvoiceCorrectionController::InitialHeader(Session&) {
    DocumentHeader h;
    h.date = m_header.date;
    h.number = m_header.key.number;
    h.extra[IraField()] = m_header.key.book;
    h.extra[TermsField()] = m_header.salesTerms;
    h.extra[CustomerField()] = m_header.customer;
    return h;
}

InvoiceLinesTarget InvoiceCorrectionController::Target() const {
    return InvoiceLinesTarget{0, m_header.key};
}

std::optional<AcceptedLine> InvoiceCorrectionController::AcceptArticle(
    Session& session, Prompter& prompter, const ArticleLineInput& input) {
    return AddPostedArticleLine(session, prompter, m_header.key, input);
}

std::optional<AcceptedLine> InvoiceCorrectionController::AcceptService(
    Session& session, Prompter& prompter, const ServiceLineInput& input,
    const std::vector<int>& employees) {
    return AddPostedServiceLine(session, prompter, m_header.key, input, employees);
}

void InvoiceCorrectionController::RemoveLine(Session& session, int lineNumber) {
    DeletePostedLine(session, m_header.key, lineNumber);
}

void InvoiceCorrectionController::ChangeDiscount(Session& session, int lineNumber,
                                                 double discountPercent) {
    const TableData lines = InvoiceLinesGrid(session.Db(), Target());
    for (int row = 0; row < lines.RowCount(); ++row) {
        if (lines.Value(row, 0).toInt() == lineNumber) {
            ChangePostedLine(
                session, m_header.key, lineNumber,
                {lines.Value(row, 3).toDouble(), lines.Value(row, 5).toDouble(), discountPercent});
            return;
        }
    }
    throw UserError(QStringLiteral("Nije pronađena stavka računa."));
}

bool InvoiceCorrectionController::ChangeLine(zodra::ui::WindowHost& host, QWidget* parent,
                                             const DocumentHeader&, int row) {
    const TableData lines = InvoiceLinesGrid(host.CurrentSession().Db(), Target());
    if (row < 0 || row >= lines.RowCount()) {
        return false;
    }
    // Rbr, Naziv, …, Količina (3), Cijena (5), Rabat % (6).
    LineChangeDialog dialog(host, lines.Value(row, 1).toString(), lines.Value(row, 3).toDouble(),
                            lines.Value(row, 5).toDouble(), lines.Value(row, 6).toDouble(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    ChangePostedLine(host.CurrentSession(), m_header.key, lines.Value(row, 0).toInt(),
                     dialog.Change());
    return true;
}

// Only the customer may change: written at once, the caption follows. Anything else the user
// touched goes back to the posted value.
void InvoiceCorrectionController::HeaderChanged(zodra::ui::WindowHost& host,
                                                const DocumentHeader& header) {
    const QVariant chosen = header.extra.value(CustomerField());
    const int customer = chosen.isNull() ? 0 : chosen.toInt();
    if (customer == m_header.customer) {
        if (header.date.isValid() && header.date != m_header.date && m_window) {
            zodra::ui::DocumentWindow* window = m_window;
            const DocumentHeader posted = *InitialHeader(host.CurrentSession());
            QTimer::singleShot(0, window, [window, posted] { window->SetHeader(posted); });
        }
        return;
    }
    try {
        ChangePostedCustomer(host.CurrentSession(), host.UserPrompter(), m_header.key, customer);
    } catch (const UserError& e) {
        RestoreBox(CustomerField(), m_header.customer);
        throw FieldError(CustomerField(), e.message());
    }
    m_header.customer = customer;
    m_draft.customer = customer;
    m_customerName = PartnerName(host.CurrentSession().Db(), customer);
}

QList<zodra::ui::DocumentAction> InvoiceCorrectionController::Actions() const {
    QList<zodra::ui::DocumentAction> actions = InvoiceController::Actions();
    actions.removeIf([](const zodra::ui::DocumentAction& a) {
        return a.objectName == QLatin1String("Ambalaza") ||
               a.objectName == QLatin1String("SlozeniArtikli");
    });
    return actions;
}

}  // namespace zodra::sales::ui

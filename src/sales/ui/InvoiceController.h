#pragma once

#include <optional>

#include "sales/InvoiceEntry.h"
#include "sales/InvoiceLines.h"
#include "sales/OutgoingDocument.h"
#include "sales/ui/InvoiceWindows.h"
#include "ui/DocumentController.h"

namespace zodra::ui {
class CommandRegistry;
class DocumentWindow;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// The invoice window of a new invoice: the header boxes (date, the proposed number or one typed
// after "Upis broja", IRA book, sales terms, customer), the grid of its lines with the running
// totals, "Artikli", "Usluge", "Brisanje", "Tablično" and "Proknjiži" (the header dialog, whose
// "Prihvati" posts). The invoice holds a working copy under a session code of its own from the
// moment the window opens until it closes. Everything the window shows and every text comes
// from the document's description, so that offers, pro-formas and delivery notes can share it.
class InvoiceController : public zodra::ui::DocumentController {
public:
    InvoiceController(const zodra::ui::CommandRegistry* registry, const OutgoingDocument& document,
                      InvoiceAfterPosting after);
    ~InvoiceController() override;

    // The window that owns this controller: header changes that are refused put its box back.
    // The discount cell is typed as text, in the program's number format, so that any number
    // (and anything else, which is refused with its message) reaches EditCell.
    void Attach(zodra::ui::DocumentWindow* window);

    static QString IraField();       // "IRA"
    static QString TermsField();     // "UVJET"
    static QString CustomerField();  // "KUPAC"

    QString Command() const override;
    QString Caption() const override;
    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    bool HasDescription() const override { return false; }
    bool HasPrintBox() const override { return false; }
    QString NumberInvalidMessage() const override;
    QString AddLineCaption() const override;
    QString DeleteLineCaption() const override;
    QList<zodra::ui::DocumentAction> Actions() const override;
    bool CanPost() const override { return true; }
    QString AbandonQuestion() const override;
    // "Rabat %" of a line is changed in the grid; other cells are changed in the line dialogs.
    int EditableColumn() const override { return 6; }
    QString ReadOnlyCellMessage() const override;
    void EditCell(Session& session, int row, const QVariant& value) override;

    void PrepareWorkingCopy(Session& session) override;
    int NextNumber(Session& session) override;
    TableData WorkingLines(Session& session) override;
    QString Totals(Session& session) override;
    void CheckBeforeLines(const zodra::ui::DocumentHeader& header) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    QString DeleteLineQuestion(Session& session, int row) override;
    void DeleteLine(Session& session, int row) override;
    bool RunAction(const QString& objectName, zodra::ui::WindowHost& host, QWidget* parent,
                   const zodra::ui::DocumentHeader& header) override;
    void CheckNumber(Session& session, const QString& typed) override;
    void HeaderChanged(zodra::ui::WindowHost& host,
                       const zodra::ui::DocumentHeader& header) override;
    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    void ClearWorkingCopy(Session& session) override;
    void WindowClosed(Session& session) override;

    const InvoiceDraft& Draft() const { return m_draft; }

    // Draws the invoice up from a posted offer or pro-forma (MakeInvoiceFrom: an offer asks
    // whether it is realized); the working copy must still be empty. The header boxes and the
    // caption follow the copied customer, sales terms and book.
    void CopyFrom(zodra::ui::WindowHost& host, const OutgoingDocument& source, int book,
                  int number);

protected:
    // Where the lines are; the working copy of this window by default.
    virtual InvoiceLinesTarget Target() const;
    // Writes an accepted line; nothing when the merge question was answered No.
    virtual std::optional<AcceptedLine> AcceptArticle(Session& session, Prompter& prompter,
                                                      const ArticleLineInput& input);
    virtual std::optional<AcceptedLine> AcceptService(Session& session, Prompter& prompter,
                                                      const ServiceLineInput& input,
                                                      const std::vector<int>& employees);
    virtual void RemoveLine(Session& session, int lineNumber);
    virtual void ChangeDiscount(Session& session, int lineNumber, double discountPercent);
    // The line number and kind of a grid row.
    std::pair<int, QString> LineAt(Session& session, int row);
    // The header boxes into the draft (terms not checked here).
    void Sync(const zodra::ui::DocumentHeader& header);
    // Puts a header box back to the draft's value once the current event has finished.
    void RestoreBox(const QString& key, std::optional<int> value);

    const zodra::ui::CommandRegistry* m_registry;
    const OutgoingDocument& m_document;
    InvoiceAfterPosting m_after;
    InvoiceDraft m_draft;
    QString m_customerName;
    zodra::ui::DocumentWindow* m_window = nullptr;
    bool m_currencyNoticeShown = false;  // once per window
};

// The text under the grid: "Vrijednost : …   Porez : …   Ukupno : …" in the home currency;
// empty when the company does not show invoice totals.
QString InvoiceTotalsText(Session& session, const InvoiceTotals& totals);

}  // namespace zodra::sales::ui

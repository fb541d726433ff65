#pragma once

#include "sales/InvoiceCorrection.h"
#include "sales/ui/InvoiceController.h"

namespace zodra::sales::ui {

// The invoice window on a posted invoice ("ISPRAVAK"): its header as posted, its lines in the
// grid; "Artikli", "Usluge", "Promjena" (quantity, price, discount) and "Brisanje" write at once
// into the posted invoice (lots and trade book follow); a new customer rewrites the header at
// once and names itself in the caption "Račun br." n " - " customer. The book, the sales terms
// and the date stay as posted; no number to type, no posting, nothing held while it is open.
class InvoiceCorrectionController : public InvoiceController {
public:
    InvoiceCorrectionController(const zodra::ui::CommandRegistry* registry,
                                const OutgoingDocument& document, PostedInvoiceHeader header);

    // "Knjizenje_racun_ispravak_" book "_" n
    static QString CommandName(int book, int number);

    QString Command() const override;
    QString Caption() const override;
    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    bool NumberEditable() const override { return false; }
    bool CanPost() const override { return false; }
    QString AbandonQuestion() const override { return {}; }
    bool CanChangeLines() const override { return true; }
    // Packaging is followed on a new invoice only: a correction offers no "Ambalaža", and no
    // "Sl. artikli" (a composite product is made when a new invoice is posted).
    QList<zodra::ui::DocumentAction> Actions() const override;

    void PrepareWorkingCopy(Session& session) override;
    int NextNumber(Session& session) override;
    std::optional<zodra::ui::DocumentHeader> InitialHeader(Session& session) override;
    bool ChangeLine(zodra::ui::WindowHost& host, QWidget* parent,
                    const zodra::ui::DocumentHeader& header, int row) override;
    void HeaderChanged(zodra::ui::WindowHost& host,
                       const zodra::ui::DocumentHeader& header) override;

protected:
    InvoiceLinesTarget Target() const override;
    std::optional<AcceptedLine> AcceptArticle(Session& session, Prompter& prompter,
                                              const ArticleLineInput& input) override;
    std::optional<AcceptedLine> AcceptService(Session& session, Prompter& prompter,
                                              const ServiceLineInput& input,
                                              const std::vector<int>& employees) override;
    void RemoveLine(Session& session, int lineNumber) override;
    // The posted line's discount, with its lot and the trade book following.
    void ChangeDiscount(Session& session, int lineNumber, double discountPercent) override;

private:
    PostedInvoiceHeader m_header;
};

}  // namespace zodra::sales::ui

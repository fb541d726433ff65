#pragma once

#include "purchasing/ui/ReceiptController.h"

namespace zodra::purchasing::ui {

// The receipt window on a posted receipt ("ISPRAVAK"): its header as posted, every change of
// a header field or a line written at once (the lots and the trade book follow), no number to
// type, no posting; closing asks nothing. The caption names the receipt and its supplier and
// follows a change of supplier.
class ReceiptCorrectionController : public ReceiptController {
public:
    ReceiptCorrectionController(const zodra::ui::CommandRegistry* registry, int number,
                                QString supplierName);

    // "Knjizenje_primka_ispravak_" n
    static QString CommandName(int number);

    QString Command() const override { return CommandName(m_number); }
    QString Caption() const override;
    bool HasPrintBox() const override { return false; }
    bool NumberEditable() const override { return false; }

    int NextNumber(Session& session) override;
    std::optional<zodra::ui::DocumentHeader> InitialHeader(Session& session) override;
    void HeaderChanged(zodra::ui::WindowHost& host,
                       const zodra::ui::DocumentHeader& header) override;

protected:
    ReceiptTarget Target(const Session& session) const override;
    std::optional<ReceiptSummary> StoredSummary(Session& session) const override;
    void PrintCalculation(zodra::ui::WindowHost& host,
                          const zodra::ui::DocumentHeader& header) override;

private:
    int m_number;
    QString m_supplierName;
};

}  // namespace zodra::purchasing::ui

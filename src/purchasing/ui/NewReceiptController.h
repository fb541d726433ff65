#pragma once

#include "purchasing/ui/ReceiptController.h"

namespace zodra::purchasing::ui {

// The receipt window for a new receipt ("UPIS"): the lines in the session's working copy, the
// proposed number (or one typed after "Upis broja"), "Proknjiži" with its control-total
// questions, closing with lines asks whether to abandon the receipt.
class NewReceiptController : public ReceiptController {
public:
    using ReceiptController::ReceiptController;

    static QString CommandName();  // "Knjizenje_primka"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    QString NumberInvalidMessage() const override;
    bool CanPost() const override { return true; }
    bool CloseAfterPost() const override { return true; }
    QString AbandonQuestion() const override;

    void PrepareWorkingCopy(Session& session) override;
    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;
    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    void ClearWorkingCopy(Session& session) override;

protected:
    ReceiptTarget Target(const Session& session) const override;
    std::optional<ReceiptSummary> StoredSummary(Session& session) const override;
    void PrintCalculation(zodra::ui::WindowHost& host,
                          const zodra::ui::DocumentHeader& header) override;
};

}  // namespace zodra::purchasing::ui

#pragma once

#include <optional>

#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptPrint.h"
#include "purchasing/ReceiptSummary.h"
#include "ui/DocumentController.h"

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::purchasing::ui {

// What both receipt windows ("Primka" in "UPIS" and in "ISPRAVAK") do with their lines: the
// grid of the receipt's lines, "Artikli" (the quick line entry and from it the calculation
// window), "Promjena" (the calculation window on a line), "Brisanje", the line number edited
// in place, "Ambalaža", "Zbirni p." and "Ispis". The lines are the session's working copy or
// the posted receipt under correction (Target); every write is a core call of ReceiptEntry,
// which opens its own transaction (and, on a posted receipt, keeps its lots in step).
class ReceiptController : public zodra::ui::DocumentController {
public:
    explicit ReceiptController(const zodra::ui::CommandRegistry* registry);

    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    bool HasDescription() const override { return false; }
    QString AddLineCaption() const override;
    QString DeleteLineCaption() const override;
    QList<zodra::ui::DocumentAction> Actions() const override;
    int EditableColumn() const override { return 2; }  // "Rbr"
    QString ReadOnlyCellMessage() const override;

    TableData WorkingLines(Session& session) override;
    QString Totals(Session& session) override;
    void CheckBeforeLines(const zodra::ui::DocumentHeader& header) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    bool CanChangeLines() const override { return true; }
    bool ChangeLine(zodra::ui::WindowHost& host, QWidget* parent,
                    const zodra::ui::DocumentHeader& header, int row) override;
    QString DeleteLineQuestion(Session& session, int row) override;
    void DeleteLine(Session& session, int row) override;
    void EditCell(Session& session, int row, const QVariant& value) override;
    bool RunAction(const QString& objectName, zodra::ui::WindowHost& host, QWidget* parent,
                   const zodra::ui::DocumentHeader& header) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;

protected:
    // Where the lines are.
    virtual ReceiptTarget Target(const Session& session) const = 0;
    // The summary the receipt has before "Zbirni p." is accepted in this window: a posted
    // receipt's own; none for a new one.
    virtual std::optional<ReceiptSummary> StoredSummary(Session& session) const = 0;
    // "Ispis": the calculation of the receipt as it stands.
    virtual void PrintCalculation(zodra::ui::WindowHost& host,
                                  const zodra::ui::DocumentHeader& header) = 0;

    // The summary accepted in "Zbirni podaci primke" while the window is open.
    std::optional<ReceiptSummary> m_summary;

private:
    CalculationContext ContextOf(Session& session, const ReceiptHeaderData& header) const;
    bool AddPackagingLines(zodra::ui::WindowHost& host, QWidget* parent);
    bool EditSummary(zodra::ui::WindowHost& host, QWidget* parent,
                     const zodra::ui::DocumentHeader& header);

    const zodra::ui::CommandRegistry* m_registry;
};

// The receipt's header as the document window collects it.
ReceiptHeaderData ReceiptHeaderOf(const zodra::ui::DocumentHeader& header);
// The text under the grid: "Nabavna vr.: … EUR        Prodajna vr.: … EUR".
QString ReceiptTotalsText(Session& session, const ReceiptTarget& target);
// Shows a posted receipt's print in the report window.
void PrintReceipt(zodra::ui::WindowHost& host, int number, ReceiptReport report);

}  // namespace zodra::purchasing::ui

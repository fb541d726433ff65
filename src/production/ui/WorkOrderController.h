#pragma once

#include "production/WorkOrder.h"
#include "ui/DocumentController.h"

namespace zodra::production::ui {

// The two kinds of work order share one window: the ordinary one and the finishing one ("Radni
// nalog dorada", docs/finishing-work-order.md).
enum class WorkOrderKind { Ordinary, Finishing };

// "Radni nalog": date, number ("Upis broja" frees it), "Odredište :" (the warehouse that
// receives the products), "Opis :", " Ispis dokumenta", the grids of products, parts and costs,
// "Upis" (the product entry window), "Brisanje" (the last product line only), "Proknjiži",
// "Ispis" (a posted work order by its number), "Sastavnice" and "Učitaj otvoreni dokument".
// The window works under session codes of its own, taken when it opens and given back when it
// closes; closing with lines offers to save the order as an open document, else asks whether to
// abandon it.
//
// "Radni nalog dorada" (WorkOrderKind::Finishing): the same window with "Vlasnik robe :" (the
// partner who owns the goods) instead of the destination, the products entered in their own
// window (FinishedProductDialog) and the grids "Materijal :" and "Usluge :"; "Ispis" prints a
// posted finishing order; closing with lines offers to save it as an open document with its
// owner, and "Učitaj otvoreni dokument" lists and loads the saved finishing orders only.
class WorkOrderController : public zodra::ui::DocumentController {
public:
    explicit WorkOrderController(WorkOrderKind kind = WorkOrderKind::Ordinary) : m_kind(kind) {}

    static QString CommandName();            // "Knjizenje_radni_nalog"
    static QString FinishingCommandName();   // "Knjizenje_radni_nalog_dorada"
    static QString DestinationKey();         // "ODREDISNO_SKLADISTE"
    static QString PartnerKey();             // "SIFRA_PARTNERA"
    static QString SaveQuestion();           // asked when the window is closed with lines
    static QString AbandonText();            // asked after No to SaveQuestion
    static QString FinishingSaveQuestion();  // asked when a finishing order is closed with lines
    static QString FinishingAbandonText();   // asked after No to FinishingSaveQuestion

    QString Command() const override {
        return Finishing() ? FinishingCommandName() : CommandName();
    }
    QString Caption() const override;
    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    QString PrintBoxCaption() const override;
    QString NumberLabel() const override;
    QString NumberInvalidMessage() const override;
    QString AddLineCaption() const override;
    QString DeleteLineCaption() const override;
    QList<zodra::ui::DocumentAction> Actions() const override;
    bool CanPost() const override { return true; }
    QString AbandonQuestion() const override {
        return Finishing() ? FinishingAbandonText() : AbandonText();
    }

    void PrepareWorkingCopy(Session& session) override;
    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;

    TableData WorkingLines(Session& session) override;
    QString LinesCaption() const override;
    QList<zodra::ui::LinesPanel> FurtherPanels() const override;
    TableData FurtherLines(Session& session, int index) override;
    QString Totals(Session& session) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    QString DeleteLineQuestion(Session& session, int row) override;
    void DeleteLine(Session& session, int row) override;
    bool RunAction(const QString& objectName, zodra::ui::WindowHost& host, QWidget* parent,
                   const zodra::ui::DocumentHeader& header) override;

    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    zodra::ui::CloseStep BeforeClose(zodra::ui::WindowHost& host, QWidget* parent,
                                     const zodra::ui::DocumentHeader& header) override;
    void ClearWorkingCopy(Session& session) override;
    void WindowClosed(Session& session) override;

    const WorkOrderCodes& Codes() const { return m_codes; }

private:
    bool Finishing() const { return m_kind == WorkOrderKind::Finishing; }

    WorkOrderKind m_kind;
    WorkOrderCodes m_codes;
};

}  // namespace zodra::production::ui

#pragma once

#include "ui/DocumentController.h"

namespace zodra::stockdocs::ui {

// "Međuskladišnica" (frmMeduskladisnica): the number ("Međuskladišnica br. :"), date, the
// destination warehouse ("Odredišno skladište :", every warehouse but the active one), "Opis",
// the lines of the session's working copy with "Ukupno :" under them (only the line number,
// "Rb.", may be changed in the grid), and the buttons "Upis" (the line dialog), "Brisanje",
// "Uč. sklad." (every lot of the warehouse with its free stock), "Uč. primku" (the goods of a
// chosen receipt), "Proknjiži" and "Ispis" (the transfer printed right after posting). Lines
// need a destination first ("Nije izabrano odredišno skladište !"). The working lines stay on
// the session's working copy when the window closes and are there when it opens again.
class TransferController : public zodra::ui::DocumentController {
public:
    static QString CommandName();     // "Knjizenje_meduskladisnica"
    static QString DestinationKey();  // "ODREDISNO_SKLADISTE"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    QString PrintBoxCaption() const override;
    QString NumberLabel() const override;
    QString NumberInvalidMessage() const override;
    QString AddLineCaption() const override;
    QString DeleteLineCaption() const override;
    QList<zodra::ui::DocumentAction> Actions() const override;
    int EditableColumn() const override;
    QString ReadOnlyCellMessage() const override;
    bool CanPost() const override { return true; }

    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;

    TableData WorkingLines(Session& session) override;
    QString Totals(Session& session) override;
    void CheckBeforeLines(const zodra::ui::DocumentHeader& header) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    QString DeleteLineQuestion(Session& session, int row) override;
    void DeleteLine(Session& session, int row) override;
    void EditCell(Session& session, int row, const QVariant& value) override;
    bool RunAction(const QString& objectName, zodra::ui::WindowHost& host, QWidget* parent,
                   const zodra::ui::DocumentHeader& header) override;

    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    void ClearWorkingCopy(Session& session) override;
};

}  // namespace zodra::stockdocs::ui

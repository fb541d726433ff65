#pragma once

#include "ui/DocumentController.h"

namespace zodra::stockdocs::ui {

// "Izmjena cijena" (frmIzmjenaCijena): the number ("Izmjena cijena br. :") and date, the lots
// being repriced in the session's working copy, and the buttons that add them — "Upis" (one
// lot), "U postotku", "Na nabavnu", "Zaokruži MPC", "Izjednači" —, "Proknjiži" and "Ispis dok."
// (the price change printed right after posting). The window opens on an empty working copy.
class PriceChangeController : public zodra::ui::DocumentController {
public:
    static QString CommandName();  // "Knjizenje_izmjena_cijena"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    bool HasDescription() const override { return false; }
    QString PrintBoxCaption() const override;
    QString NumberLabel() const override;
    QString NumberInvalidMessage() const override;
    QString AddLineCaption() const override;
    QList<zodra::ui::DocumentAction> Actions() const override;
    bool CanPost() const override { return true; }

    void PrepareWorkingCopy(Session& session) override;
    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;

    TableData WorkingLines(Session& session) override;
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
    void ClearWorkingCopy(Session& session) override;
};

}  // namespace zodra::stockdocs::ui

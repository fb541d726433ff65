#pragma once

#include "data/DocumentKind.h"
#include "ui/DocumentController.h"

namespace zodra::stockdocs::ui {

// The menu commands of one of the five simple stock documents: its window under "Knjiženje"
// ("Knjizenje_izdatnica") and its list under "Pregledi" ("Pregledi_izdatnice").
QString IssueDocumentCommand(DocumentKind kind);
QString IssueListCommand(DocumentKind kind);

// The document window of the five simple stock documents, one design driven by the kind
// (IssueDocumentTexts): "Izdatnica", "Povratnica", "Rashod", "Odjava" or "Povratnica
// dobavljaču" with its date, number ("Izdatnica br. :", "Upis broja" frees it), the supplier of
// a return to supplier ("Dobavljač :"), "Opis", "Ispis dokumenta" (the document printed right
// after posting), the working lines with their values under them, "Dodaj stavku" (the line
// window "Upis artikla"), "Brisanje stavke" and "Proknjiži". A number taken meanwhile is
// posted under the next free one and the window says so ("Izdatnica je proknjižena pod brojem
// " n); otherwise posting says nothing. The working lines stay on the session's working copy
// when the window closes and are there when it opens again.
class IssueDocumentController : public zodra::ui::DocumentController {
public:
    explicit IssueDocumentController(DocumentKind kind);
    static QString SupplierKey();  // "SIFRA_DOBAVLJACA"

    QString Command() const override;
    QString Caption() const override;
    QList<zodra::ui::FieldSpec> HeaderFields() const override;
    QString NumberLabel() const override;
    QString NumberInvalidMessage() const override;
    bool CanPost() const override { return true; }

    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;

    TableData WorkingLines(Session& session) override;
    QString Totals(Session& session) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    void DeleteLine(Session& session, int row) override;

    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    void ClearWorkingCopy(Session& session) override;

private:
    DocumentKind m_kind;
};

}  // namespace zodra::stockdocs::ui

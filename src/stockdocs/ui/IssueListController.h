#pragma once

#include "data/DocumentKind.h"
#include "ui/DocumentListController.h"

namespace zodra::stockdocs::ui {

// The list of one of the five simple stock documents ("Izdatnice", "Povratnice", "Rashodi",
// "Odjave", "Povratnice dobavljačima"): the documents of the warehouse and year with the selected
// one's date and values under the list; "Otvori" ("Izdatnica br." n), "Ispis" (with values),
// "Ispis kol." (quantities only, where the kind has that printout) and "Izbriši" — refused before
// its question when a later price change or stock count, a lot's new price or (for a return
// note) goods gone out again stand in the way, and checked again when it deletes.
class IssueListController : public zodra::ui::DocumentListController {
public:
    explicit IssueListController(DocumentKind kind) : m_kind(kind) {}
    static QString QuantitiesPrintName();  // "IspisKolicina"

    QString Command() const override;
    QString Caption() const override;
    TableData Documents(Session& session) override;
    bool HasDetails() const override { return true; }
    QString Details(Session& session, const QVariant& key) override;
    std::unique_ptr<zodra::ui::PostedDocumentController> OpenDocument(const QVariant& key) override;
    QList<zodra::ui::ListAction> Actions() const override;
    void RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                   const QVariant& key) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    QString DeleteQuestion() const override;
    QString DeleteTitle() const override;
    void CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) override;
    void Delete(zodra::ui::WindowHost& host, const QVariant& key) override;

private:
    DocumentKind m_kind;
};

// One posted document, "Izdatnica br." n.
class PostedIssueController : public zodra::ui::PostedDocumentController {
public:
    PostedIssueController(DocumentKind kind, int number) : m_kind(kind), m_number(number) {}

    QString Caption() const override;
    QString Summary(Session& session) override;
    TableData Lines(Session& session) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override;

private:
    DocumentKind m_kind;
    int m_number;
};

}  // namespace zodra::stockdocs::ui

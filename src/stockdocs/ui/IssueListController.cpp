#include "stockdocs/ui/IssueListController.h"

#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/IssueDocumentList.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/ui/IssueDocumentController.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

void PrintIssueDocument(zodra::ui::WindowHost& host, DocumentKind kind, int number,
                        bool quantitiesOnly) {
    reports::ui::ShowReport(host,
                            IssuePrintRequest(host.CurrentSession(), kind, number, quantitiesOnly));
}

}  // namespace

QString IssueListController::QuantitiesPrintName() {
    return QStringLiteral("IspisKolicina");
}

QString IssueListController::Command() const {
    return IssueListCommand(m_kind);
}

QString IssueListController::Caption() const {
    return IssueDocument(m_kind).listCaption;
}

TableData IssueListController::Documents(Session& s) {
    return IssueDocumentChoices(s.Db(), m_kind, s.activeWarehouse.code, s.businessYear);
}

QString IssueListController::Details(Session& s, const QVariant& key) {
    return IssueDocumentDetails(s.Db(), m_kind, s.activeWarehouse.code, s.businessYear,
                                key.toInt());
}

std::unique_ptr<zodra::ui::PostedDocumentController> IssueListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedIssueController>(m_kind, key.toInt());
}

QList<zodra::ui::ListAction> IssueListController::Actions() const {
    if (IssueDocument(m_kind).quantityReport.isEmpty()) {
        return {};
    }
    return {{QStringLiteral("Ispis &kol."), QuantitiesPrintName(), false}};
}

void IssueListController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                    const QVariant& key) {
    if (objectName == QuantitiesPrintName()) {
        PrintIssueDocument(host, m_kind, key.toInt(), true);
    }
}

void IssueListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    PrintIssueDocument(host, m_kind, key.toInt(), false);
}

QString IssueListController::DeleteQuestion() const {
    return IssueDocument(m_kind).deleteQuestion;
}

QString IssueListController::DeleteTitle() const {
    return QStringLiteral("Brisanje");
}

void IssueListController::CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) {
    CheckIssueDocumentCanBeDeleted(host.CurrentSession(), m_kind, key.toInt());
}

void IssueListController::Delete(zodra::ui::WindowHost& host, const QVariant& key) {
    DeleteIssueDocument(host.CurrentSession(), m_kind, key.toInt());
}

QString PostedIssueController::Caption() const {
    return IssueDocument(m_kind).caption + QStringLiteral(" br.") + QString::number(m_number);
}

QString PostedIssueController::Summary(Session& s) {
    return IssueDocumentDetails(s.Db(), m_kind, s.activeWarehouse.code, s.businessYear, m_number);
}

TableData PostedIssueController::Lines(Session& s) {
    return PostedIssueLines(s.Db(), m_kind, s.activeWarehouse.code, s.businessYear, m_number);
}

void PostedIssueController::Print(zodra::ui::WindowHost& host) {
    PrintIssueDocument(host, m_kind, m_number, false);
}

}  // namespace zodra::stockdocs::ui

#include "stockdocs/ui/PriceChangeListController.h"

#include <QDate>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/PriceChangeList.h"
#include "stockdocs/PriceChangePrint.h"
#include "stockdocs/PriceChangeRemoval.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

void PrintPriceChange(zodra::ui::WindowHost& host, int number) {
    reports::ui::ShowReport(host, PriceChangePrintRequest(host.CurrentSession(), number));
}

QString PriceChangeListController::CommandName() {
    return QStringLiteral("Pregledi_izmjene_cijena");
}

QString PriceChangeListController::Caption() const {
    return QStringLiteral("Izbor izmjene cijena");
}

TableData PriceChangeListController::Documents(Session& s) {
    return PriceChangeChoices(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString PriceChangeListController::Details(Session& s, const QVariant& key) {
    return PriceChangeDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt());
}

std::unique_ptr<zodra::ui::PostedDocumentController> PriceChangeListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedPriceChangeController>(key.toInt());
}

void PriceChangeListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    PrintPriceChange(host, key.toInt());
}

QString PriceChangeListController::CancelQuestion() const {
    return stockdocs::CancelQuestion();
}

QString PriceChangeListController::CancelTitle() const {
    return stockdocs::CancelTitle();
}

void PriceChangeListController::CheckBeforeCancel(zodra::ui::WindowHost& host,
                                                  const QVariant& key) {
    CheckCanBeCancelled(host.CurrentSession(), key.toInt(), QDate::currentDate());
}

void PriceChangeListController::Cancel(zodra::ui::WindowHost& host, const QVariant& key) {
    const int cancellation =
        CancelPriceChange(host.CurrentSession(), key.toInt(), QDate::currentDate());
    host.UserPrompter().Inform(CancelledMessage(cancellation), CancelTitle());
}

QString PriceChangeListController::DeleteQuestion() const {
    return stockdocs::DeleteQuestion();
}

QString PriceChangeListController::DeleteTitle() const {
    return stockdocs::DeleteTitle();
}

void PriceChangeListController::CheckBeforeDelete(zodra::ui::WindowHost& host,
                                                  const QVariant& key) {
    CheckCanBeDeleted(host.CurrentSession(), key.toInt());
}

void PriceChangeListController::Delete(zodra::ui::WindowHost& host, const QVariant& key) {
    DeletePriceChange(host.CurrentSession(), key.toInt());
}

QString PostedPriceChangeController::Caption() const {
    return QStringLiteral("Izmjena cijena br.") + QString::number(m_number);
}

QString PostedPriceChangeController::Summary(Session& s) {
    return PriceChangeDetails(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

TableData PostedPriceChangeController::Lines(Session& s) {
    return PostedPriceChangeLines(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

void PostedPriceChangeController::Print(zodra::ui::WindowHost& host) {
    PrintPriceChange(host, m_number);
}

}  // namespace zodra::stockdocs::ui

#include "stockdocs/ui/StockCountListController.h"

#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/StockCountList.h"
#include "stockdocs/StockCountRemoval.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

QString StockCountListController::CommandName() {
    return QStringLiteral("Pregledi_inventure");
}

QString StockCountListController::Caption() const {
    return QStringLiteral("Izbor inventure");
}

TableData StockCountListController::Documents(Session& s) {
    return StockCountChoices(s.Db(), s.activeWarehouse.code, s.businessYear);
}

QString StockCountListController::Details(Session& s, const QVariant& key) {
    return StockCountDetails(s.Db(), s.activeWarehouse.code, s.businessYear, key.toInt());
}

std::unique_ptr<zodra::ui::PostedDocumentController> StockCountListController::OpenDocument(
    const QVariant& key) {
    return std::make_unique<PostedStockCountController>(key.toInt());
}

void StockCountListController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, StockCountPrintRequest(host.CurrentSession(), key.toInt()));
}

QString StockCountListController::DeleteQuestion() const {
    return StockCountDeleteQuestion();
}

QString StockCountListController::DeleteTitle() const {
    return StockCountDeleteTitle();
}

void StockCountListController::CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) {
    CheckStockCountCanBeDeleted(host.CurrentSession(), key.toInt());
}

// After "Želite li izbrisati inventuru!" was answered Yes: the below-zero question when some lot
// would fall below zero, then the deletion.
void StockCountListController::Delete(zodra::ui::WindowHost& host, const QVariant& key) {
    Session& session = host.CurrentSession();
    const bool belowZero = CheckStockCountCanBeDeleted(session, key.toInt());
    if (belowZero &&
        !host.UserPrompter().AskYesNo(BelowZeroQuestion(), StockCountDeleteTitle(), false)) {
        return;
    }
    DeleteStockCount(session, key.toInt(), belowZero);
}

QString PostedStockCountController::Caption() const {
    return QStringLiteral("Inventura br.") + QString::number(m_number);
}

QString PostedStockCountController::Summary(Session& s) {
    return StockCountDetails(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

TableData PostedStockCountController::Lines(Session& s) {
    return PostedStockCountLines(s.Db(), s.activeWarehouse.code, s.businessYear, m_number);
}

void PostedStockCountController::Print(zodra::ui::WindowHost& host) {
    reports::ui::ShowReport(host, StockCountPrintRequest(host.CurrentSession(), m_number));
}

}  // namespace zodra::stockdocs::ui

#include "stockdocs/ui/StockCountController.h"

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/StockCountEntry.h"
#include "stockdocs/StockCountList.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

const QString kPrintWorking = QStringLiteral("IspisURadu");
const QString kCountList = QStringLiteral("InventurnaLista");

}  // namespace

QString StockCountController::CommandName() {
    return QStringLiteral("Knjizenje_inventura");
}

QString StockCountController::Caption() const {
    return StockCountTitle();
}

QString StockCountController::NumberLabel() const {
    return QStringLiteral("Inventura br. :");
}

QString StockCountController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QList<zodra::ui::DocumentAction> StockCountController::Actions() const {
    return {{QStringLiteral("I&spis"), kPrintWorking, false},
            {QStringLiteral("Inventurna &l."), kCountList, false}};
}

int StockCountController::EditableColumn() const {
    return kCountedColumn;
}

QString StockCountController::ReadOnlyCellMessage() const {
    return OnlyCountedEditableMessage();
}

int StockCountController::NextNumber(Session& session) {
    return NextStockCountNumber(session);
}

void StockCountController::CheckNumber(Session& session, const QString& typed) {
    CheckStockCountNumber(session.Db(), session.activeWarehouse.code, session.businessYear, typed);
}

TableData StockCountController::WorkingLines(Session& session) {
    return WorkingStockCountGrid(session);
}

QString StockCountController::Totals(Session& session) {
    return WorkingStockCountTotals(session);
}

// The lines of a count come from the lots; there is nothing to add or delete.
bool StockCountController::AddLine(zodra::ui::WindowHost&, QWidget*,
                                   const zodra::ui::DocumentHeader&) {
    return false;
}

void StockCountController::DeleteLine(Session&, int) {
    throw UserError(OnlyCountedEditableMessage());
}

void StockCountController::EditCell(Session& session, int row, const QVariant& value) {
    const std::optional<double> counted = inputrules::ParseNumber(value.toString());
    if (!counted) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    const qint64 id = WorkingStockCountGrid(session).Value(row, 0).toLongLong();
    SetCountedQuantity(session, id, *counted);
}

QString StockCountController::CodeEntryLabel() const {
    return QStringLiteral("Barkod :");
}

QVariant StockCountController::EnterCode(Session& session, const QString& typed) {
    return AddScannedEntry(session, typed).row;
}

bool StockCountController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                     QWidget*, const zodra::ui::DocumentHeader& header) {
    const StockCountHeaderData data{header.number, header.date};
    if (objectName == kPrintWorking) {
        reports::ui::ShowReport(host, WorkingStockCountPrintRequest(host.CurrentSession(), data));
    } else if (objectName == kCountList) {
        reports::ui::ShowReport(host, StockCountListPrintRequest(host.CurrentSession(), data));
    }
    return false;
}

zodra::ui::PostResult StockCountController::Post(zodra::ui::WindowHost& host,
                                                 const zodra::ui::DocumentHeader& header) {
    const int number = PostStockCount(host.CurrentSession(), {header.number, header.date});
    return zodra::ui::PostResult{number, StockCountPostedMessage(number)};
}

void StockCountController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, StockCountPrintRequest(host.CurrentSession(), key.toInt()));
}

void StockCountController::ClearWorkingCopy(Session& session) {
    ClearWorkingStockCount(session);
}

}  // namespace zodra::stockdocs::ui

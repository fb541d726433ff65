#include "stockdocs/ui/PriceChangeController.h"

#include "data/DocumentKind.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/PriceChangeGenerators.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangeList.h"
#include "stockdocs/PriceChangePosting.h"
#include "stockdocs/PriceChangePrint.h"
#include "stockdocs/ui/PriceChangeArticleDialog.h"
#include "stockdocs/ui/PriceChangeLineDialog.h"
#include "stockdocs/ui/PriceEqualisationDialog.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

const QString kPercent = QStringLiteral("UPostotku");
const QString kAtCost = QStringLiteral("NaNabavnu");
const QString kRoundRetail = QStringLiteral("ZaokruziMPC");
const QString kEqualise = QStringLiteral("Izjednaci");
const QString kPrintWorking = QStringLiteral("IspisURadu");

// The row id the working grid carries in its hidden first column.
qint64 LineIdAt(Session& session, int row) {
    return WorkingPriceChangeGrid(session).Value(row, 0).toLongLong();
}

}  // namespace

QString PriceChangeController::CommandName() {
    return QStringLiteral("Knjizenje_izmjena_cijena");
}

QString PriceChangeController::Caption() const {
    return QStringLiteral("Izmjena cijena");
}

QString PriceChangeController::PrintBoxCaption() const {
    return QStringLiteral("Ispis dok.");
}

QString PriceChangeController::NumberLabel() const {
    return QStringLiteral("Izmjena cijena br. :");
}

QString PriceChangeController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QString PriceChangeController::AddLineCaption() const {
    return QStringLiteral("U&pis");
}

QList<zodra::ui::DocumentAction> PriceChangeController::Actions() const {
    return {{QStringLiteral("U p&ostotku"), kPercent, true},
            {QStringLiteral("Na &nabavnu"), kAtCost, true},
            {QStringLiteral("Zaokruži &MPC"), kRoundRetail, true},
            {QStringLiteral("Iz&jednači"), kEqualise, true},
            {QStringLiteral("I&spis"), kPrintWorking, false}};
}

void PriceChangeController::PrepareWorkingCopy(Session& session) {
    ClearWorkingPriceChange(session);
}

int PriceChangeController::NextNumber(Session& session) {
    return numbering::NextDocumentNumber(session.Db(), DocumentKind::PriceChange,
                                         session.activeWarehouse.code, session.businessYear);
}

void PriceChangeController::CheckNumber(Session& session, const QString& typed) {
    CheckPriceChangeNumber(session.Db(), session.activeWarehouse.code, session.businessYear, typed);
}

TableData PriceChangeController::WorkingLines(Session& session) {
    return WorkingPriceChangeGrid(session);
}

QString PriceChangeController::Totals(Session& session) {
    return WorkingPriceChangeTotals(session);
}

bool PriceChangeController::AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                                    const zodra::ui::DocumentHeader&) {
    PriceChangeLineDialog dialog(host, parent);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

QString PriceChangeController::DeleteLineQuestion(Session&, int) {
    return stockdocs::DeleteLineQuestion();
}

void PriceChangeController::DeleteLine(Session& session, int row) {
    RemovePriceChangeLine(session, LineIdAt(session, row));
}

bool PriceChangeController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                      QWidget* parent, const zodra::ui::DocumentHeader& header) {
    if (objectName == kPrintWorking) {
        reports::ui::ShowReport(host, WorkingPriceChangePrintRequest(host.CurrentSession(),
                                                                     {header.number, header.date}));
        return false;
    }
    if (objectName == kPercent) {
        PriceChangeArticleDialog dialog(host, parent);
        dialog.exec();
        return dialog.LinesWritten() > 0;
    }
    if (objectName == kEqualise) {
        PriceEqualisationDialog dialog(host, parent);
        dialog.exec();
        return dialog.LinesWritten() > 0;
    }
    if (objectName == kAtCost) {
        return AddLinesAtCost(host.CurrentSession()) > 0;
    }
    if (objectName == kRoundRetail) {
        return AddLinesRoundedRetail(host.CurrentSession()) > 0;
    }
    return false;
}

zodra::ui::PostResult PriceChangeController::Post(zodra::ui::WindowHost& host,
                                                  const zodra::ui::DocumentHeader& header) {
    const int number = PostPriceChange(host.CurrentSession(), {header.number, header.date});
    return zodra::ui::PostResult{number, PostedMessage(number)};
}

void PriceChangeController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, PriceChangePrintRequest(host.CurrentSession(), key.toInt()));
}

void PriceChangeController::ClearWorkingCopy(Session& session) {
    ClearWorkingPriceChange(session);
}

}  // namespace zodra::stockdocs::ui

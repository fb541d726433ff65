#include "stockdocs/ui/TransferController.h"

#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "documents/TransferPosting.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/TransferLines.h"
#include "stockdocs/TransferList.h"
#include "stockdocs/ui/ReceiptChoiceDialog.h"
#include "stockdocs/ui/TransferLineDialog.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

const QString kWarehouseLines = QStringLiteral("UcitajSkladiste");
const QString kReceiptLines = QStringLiteral("UcitajPrimku");

// The row id the working grid carries in its hidden first column.
qint64 LineIdAt(Session& session, int row) {
    return WorkingTransferGrid(session, session.sessionCode).Value(row, 0).toLongLong();
}

// The destination chosen in the header; a FieldError on its box when there is none.
int Destination(const zodra::ui::DocumentHeader& header) {
    const int destination = header.extra.value(TransferController::DestinationKey()).toInt();
    if (destination <= 0) {
        throw FieldError(TransferController::DestinationKey(), documents::NoDestinationMessage());
    }
    return destination;
}

}  // namespace

QString TransferController::CommandName() {
    return QStringLiteral("Knjizenje_meduskladisnica");
}

QString TransferController::DestinationKey() {
    return QStringLiteral("ODREDISNO_SKLADISTE");
}

QString TransferController::Caption() const {
    return QStringLiteral("Međuskladišnica");
}

QList<zodra::ui::FieldSpec> TransferController::HeaderFields() const {
    zodra::ui::FieldSpec destination;
    destination.key = DestinationKey();
    destination.label = QStringLiteral("Odredišno skladište :");
    destination.kind = zodra::ui::FieldSpec::Kind::Choice;
    destination.noneText = QString(QLatin1String(""));
    destination.choices = [](Session& session) {
        QList<zodra::ui::Choice> list;
        for (const auto& [code, name] : DestinationWarehouses(session)) {
            list.push_back({QString::number(code) + QStringLiteral(" - ") + name, code});
        }
        return list;
    };
    return {destination};
}

QString TransferController::PrintBoxCaption() const {
    return QStringLiteral("Ispis");
}

QString TransferController::NumberLabel() const {
    return QStringLiteral("Međuskladišnica br. :");
}

QString TransferController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QString TransferController::AddLineCaption() const {
    return QStringLiteral("U&pis");
}

QString TransferController::DeleteLineCaption() const {
    return QStringLiteral("&Brisanje");
}

QList<zodra::ui::DocumentAction> TransferController::Actions() const {
    return {{QStringLiteral("Uč. s&klad."), kWarehouseLines, true},
            {QStringLiteral("Uč. p&rimku"), kReceiptLines, true}};
}

int TransferController::EditableColumn() const {
    return kTransferLineNumberColumn;
}

QString TransferController::ReadOnlyCellMessage() const {
    return OnlyLineNumberMessage();
}

int TransferController::NextNumber(Session& session) {
    return numbering::NextDocumentNumber(session.Db(), DocumentKind::Transfer,
                                         session.activeWarehouse.code, session.businessYear);
}

void TransferController::CheckNumber(Session& session, const QString& typed) {
    CheckTransferNumber(session.Db(), session.activeWarehouse.code, session.businessYear, typed);
}

TableData TransferController::WorkingLines(Session& session) {
    return WorkingTransferGrid(session, session.sessionCode);
}

QString TransferController::Totals(Session& session) {
    return WorkingTransferTotals(session, session.sessionCode);
}

void TransferController::CheckBeforeLines(const zodra::ui::DocumentHeader& header) {
    Destination(header);
}

bool TransferController::AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                                 const zodra::ui::DocumentHeader& header) {
    TransferLineDialog dialog(host, Destination(header), parent);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

QString TransferController::DeleteLineQuestion(Session&, int) {
    return DeleteTransferLineQuestion();
}

void TransferController::DeleteLine(Session& session, int row) {
    RemoveTransferLine(session, session.sessionCode, LineIdAt(session, row));
}

void TransferController::EditCell(Session& session, int row, const QVariant& value) {
    SetTransferLineNumber(session, session.sessionCode, LineIdAt(session, row), value.toString());
}

bool TransferController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                   QWidget* parent, const zodra::ui::DocumentHeader& header) {
    Session& session = host.CurrentSession();
    const int destination = Destination(header);
    if (objectName == kWarehouseLines) {
        return AddWarehouseLines(session, session.sessionCode, destination) > 0;
    }
    if (objectName == kReceiptLines) {
        ReceiptChoiceDialog dialog(host, parent);
        if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) {
            return false;
        }
        return AddReceiptLines(session, session.sessionCode, destination, *dialog.Chosen()) > 0;
    }
    return false;
}

zodra::ui::PostResult TransferController::Post(zodra::ui::WindowHost& host,
                                               const zodra::ui::DocumentHeader& header) {
    Session& session = host.CurrentSession();
    TransferHeaderData data;
    data.number = header.number;
    data.date = header.date;
    data.destination = Destination(header);
    data.description = header.description;
    const documents::PostedTransfer posted =
        PostWorkingTransfer(session, data, session.sessionCode);
    return zodra::ui::PostResult{posted.number, documents::TransferPostedMessage(posted.number)};
}

void TransferController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, TransferPrintRequest(host.CurrentSession(), key.toInt(), false));
}

void TransferController::ClearWorkingCopy(Session& session) {
    ClearWorkingTransfer(session, session.sessionCode);
}

}  // namespace zodra::stockdocs::ui

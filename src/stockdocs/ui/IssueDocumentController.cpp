#include "stockdocs/ui/IssueDocumentController.h"

#include <stdexcept>

#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "stockdocs/IssueDocumentList.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/ui/IssueLineDialog.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

struct Commands {
    DocumentKind kind;
    const char16_t* document;
    const char16_t* list;
};

constexpr Commands kCommands[] = {
    {DocumentKind::IssueNote, u"Knjizenje_izdatnica", u"Pregledi_izdatnice"},
    {DocumentKind::ReturnNote, u"Knjizenje_povratnica", u"Pregledi_povratnice"},
    {DocumentKind::WriteOff, u"Knjizenje_rashod", u"Pregledi_rashodi"},
    {DocumentKind::CommissionReturn, u"Knjizenje_odjava", u"Pregledi_odjave"},
    {DocumentKind::SupplierReturn, u"Knjizenje_povratnica_dobavljacu",
     u"Pregledi_povratnice_dobavljacima"},
};

const Commands& CommandsOf(DocumentKind kind) {
    for (const Commands& c : kCommands) {
        if (c.kind == kind) {
            return c;
        }
    }
    throw std::logic_error("not one of the five issue documents");
}

}  // namespace

QString IssueDocumentCommand(DocumentKind kind) {
    return QString::fromUtf16(CommandsOf(kind).document);
}

QString IssueListCommand(DocumentKind kind) {
    return QString::fromUtf16(CommandsOf(kind).list);
}

IssueDocumentController::IssueDocumentController(DocumentKind kind) : m_kind(kind) {
    IssueDocument(kind);
}

QString IssueDocumentController::SupplierKey() {
    return QStringLiteral("SIFRA_DOBAVLJACA");
}

QString IssueDocumentController::Command() const {
    return IssueDocumentCommand(m_kind);
}

QString IssueDocumentController::Caption() const {
    return IssueDocument(m_kind).caption;
}

QList<zodra::ui::FieldSpec> IssueDocumentController::HeaderFields() const {
    if (m_kind != DocumentKind::SupplierReturn) {
        return {};
    }
    zodra::ui::FieldSpec supplier;
    supplier.key = SupplierKey();
    supplier.label = QStringLiteral("Dobavljač :");
    supplier.kind = zodra::ui::FieldSpec::Kind::Choice;
    supplier.noneText = QString(QLatin1String(""));
    supplier.choices = [](Session& session) {
        QList<zodra::ui::Choice> list;
        for (const auto& [code, name] : SupplierChoices(session.Db())) {
            list.push_back({name, code});
        }
        return list;
    };
    supplier.reference = QStringLiteral("PARTNERI");
    supplier.referenceCaption = QStringLiteral("Novi dobavljač");
    return {supplier};
}

QString IssueDocumentController::NumberLabel() const {
    return IssueDocument(m_kind).caption + QStringLiteral(" br. :");
}

QString IssueDocumentController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}

int IssueDocumentController::NextNumber(Session& session) {
    return numbering::NextDocumentNumber(session.Db(), m_kind, session.activeWarehouse.code,
                                         session.businessYear);
}

void IssueDocumentController::CheckNumber(Session&, const QString& typed) {
    CheckIssueNumber(typed);
}

TableData IssueDocumentController::WorkingLines(Session& session) {
    return WorkingIssueGrid(session, m_kind, session.sessionCode);
}

QString IssueDocumentController::Totals(Session& session) {
    return WorkingIssueTotals(session, m_kind, session.sessionCode);
}

bool IssueDocumentController::AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                                      const zodra::ui::DocumentHeader&) {
    IssueLineDialog dialog(host, m_kind, parent);
    dialog.exec();
    return dialog.LinesWritten() > 0;
}

void IssueDocumentController::DeleteLine(Session& session, int row) {
    const qint64 id =
        WorkingIssueGrid(session, m_kind, session.sessionCode).Value(row, 0).toLongLong();
    RemoveIssueLine(session, m_kind, session.sessionCode, id);
}

zodra::ui::PostResult IssueDocumentController::Post(zodra::ui::WindowHost& host,
                                                    const zodra::ui::DocumentHeader& header) {
    Session& session = host.CurrentSession();
    IssueHeaderData data;
    data.number = header.number;
    data.date = header.date;
    data.description = header.description;
    if (m_kind == DocumentKind::SupplierReturn) {
        const int supplier = header.extra.value(SupplierKey()).toInt();
        if (supplier <= 0) {
            throw FieldError(SupplierKey(), QStringLiteral("Nije izabran dobavljač !"));
        }
        data.supplier = supplier;
    }
    const int number = PostWorkingIssueDocument(session, m_kind, data, session.sessionCode);
    // Posting says something only when the number typed was taken meanwhile.
    return zodra::ui::PostResult{
        number, number == header.number
                    ? QString()
                    : IssueDocument(m_kind).postedMessage + QString::number(number)};
}

void IssueDocumentController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    reports::ui::ShowReport(host, IssuePrintRequest(host.CurrentSession(), m_kind, key.toInt()));
}

void IssueDocumentController::ClearWorkingCopy(Session& session) {
    ClearWorkingIssueDocument(session, m_kind, session.sessionCode);
}

}  // namespace zodra::stockdocs::ui

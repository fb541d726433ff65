#include "ui/DocumentWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/FieldForm.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

DocumentWindow::DocumentWindow(WindowHost& host, std::unique_ptr<DocumentController> controller,
                               const CommandRegistry* registry, QWidget* parent)
    : QWidget(parent),
      m_host(host),
      m_controller(std::move(controller)),
      m_caption(m_controller->Caption()) {
    setObjectName(m_controller->Command());
    setWindowTitle(m_caption);
    auto* layout = new QVBoxLayout(this);

    auto* header = new QFormLayout;
    m_date = new DateBox(host.UserPrompter(), this);
    m_date->setObjectName(QStringLiteral("Datum"));
    m_date->SetSundayWarning(true);
    m_date->setMaximumWidth(140);
    header->addRow(QStringLiteral("Datum :"), m_date);
    auto* numberRow = new QHBoxLayout;
    m_number = new NumberBox(host.UserPrompter(), this);
    m_number->setObjectName(QStringLiteral("Broj"));
    m_number->SetDecimals(0);
    m_number->setReadOnly(true);
    m_number->SetInvalidMessage(m_controller->NumberInvalidMessage());
    m_number->setMaximumWidth(140);
    numberRow->addWidget(m_number);
    QPushButton* free = nullptr;
    if (m_controller->NumberEditable()) {
        free = MakeButton(QStringLiteral("&Upis broja"), QStringLiteral("UpisBroja"), this);
        numberRow->addWidget(free);
    }
    numberRow->addStretch();
    header->addRow(m_controller->NumberLabel(), numberRow);
    const QList<FieldSpec> fields = m_controller->HeaderFields();
    if (!fields.isEmpty()) {
        m_extra = new FieldForm(host, fields, registry, this);
        header->addRow(m_extra);
        connect(m_extra, &FieldForm::committed, this, &DocumentWindow::HeaderCommitted);
    }
    if (m_controller->HasDescription()) {
        m_descriptionBox = new QLineEdit(this);
        m_descriptionBox->setObjectName(QStringLiteral("Opis"));
        header->addRow(QStringLiteral("Opis :"), m_descriptionBox);
    }
    if (m_controller->HasPrintBox()) {
        m_print = new QCheckBox(m_controller->PrintBoxCaption(), this);
        m_print->setObjectName(QStringLiteral("IspisDokumenta"));
        header->addRow(m_print);
    }
    if (!m_controller->CodeEntryLabel().isEmpty()) {
        m_code = new QLineEdit(this);
        m_code->setObjectName(QStringLiteral("Barkod"));
        m_code->setMaximumWidth(280);
        KeepEnter(m_code);
        header->addRow(m_controller->CodeEntryLabel(), m_code);
        connect(m_code, &QLineEdit::returnPressed, this, &DocumentWindow::EnterCode);
    }
    layout->addLayout(header);

    if (!m_controller->LinesCaption().isEmpty()) {
        layout->addWidget(new QLabel(m_controller->LinesCaption(), this));
    }
    m_lines = new DataGrid(this);
    m_lines->setObjectName(QStringLiteral("Stavke"));
    layout->addWidget(m_lines, 1);
    for (const LinesPanel& panel : m_controller->FurtherPanels()) {
        layout->addWidget(new QLabel(panel.caption, this));
        auto* grid = new DataGrid(this);
        grid->setObjectName(panel.objectName);
        layout->addWidget(grid, 1);
        m_further << grid;
    }
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setAlignment(Qt::AlignRight);
    layout->addWidget(m_totals);

    auto* buttons = new QHBoxLayout;
    auto* add = MakeButton(m_controller->AddLineCaption(), QStringLiteral("DodajStavku"), this);
    buttons->addWidget(add);
    if (m_controller->CanChangeLines()) {
        m_change = MakeButton(m_controller->ChangeLineCaption(), QStringLiteral("Promjena"), this);
        buttons->addWidget(m_change);
        connect(m_change, &QPushButton::clicked, this, &DocumentWindow::ChangeLine);
    }
    m_deleteLine =
        MakeButton(m_controller->DeleteLineCaption(), QStringLiteral("BrisanjeStavke"), this);
    buttons->addWidget(m_deleteLine);
    for (const DocumentAction& action : m_controller->Actions()) {
        auto* b = MakeButton(action.caption, action.objectName, this);
        buttons->addWidget(b);
        m_actions << b;
        connect(b, &QPushButton::clicked, this, [this, action] { RunAction(action); });
    }
    buttons->addStretch();
    if (m_controller->CanPost()) {
        auto* postButton =
            MakeButton(QStringLiteral("Proknji&ži"), QStringLiteral("Proknjizi"), this);
        buttons->addWidget(postButton);
        connect(postButton, &QPushButton::clicked, this, [this] { Post(); });
    }
    auto* closeButton = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &DocumentWindow::AddLine);
    if (!m_controller->HasLineButtons()) {
        add->hide();
        m_deleteLine->hide();
    }
    connect(m_deleteLine, &QPushButton::clicked, this, &DocumentWindow::DeleteLine);
    if (free) {
        connect(free, &QPushButton::clicked, this, &DocumentWindow::FreeNumber);
    }
    connect(m_number, &QLineEdit::editingFinished, this, &DocumentWindow::NumberLeft);
    connect(m_date, &DateBox::dateEdited, this, &DocumentWindow::HeaderCommitted);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    if (m_controller->EditableColumn() >= 0) {
        m_lines->SetEditableColumn(
            m_controller->EditableColumn(),
            [this](int row, const QVariant& value) { EditCell(row, value); },
            [this] { ShowReadOnlyCell(); });
    }

    Guarded(host.UserPrompter(), [&] { m_controller->PrepareWorkingCopy(host.CurrentSession()); });
    ResetHeader();
    RefreshLines();
    resize(760, 520);
}

void DocumentWindow::ResetHeader() {
    m_date->SetBusinessYear(m_host.CurrentSession().businessYear);
    m_date->SetDate(QDate::currentDate());
    m_number->setReadOnly(true);
    int next = 0;
    Guarded(m_host.UserPrompter(),
            [&] { next = m_controller->NextNumber(m_host.CurrentSession()); });
    m_proposedNumber = next;
    m_number->SetValue(next, 0);
    if (m_descriptionBox) {
        m_descriptionBox->clear();
    }
    std::optional<DocumentHeader> initial;
    Guarded(m_host.UserPrompter(),
            [&] { initial = m_controller->InitialHeader(m_host.CurrentSession()); });
    if (initial) {
        SetHeader(*initial);
    }
}

void DocumentWindow::SetHeader(const DocumentHeader& header) {
    if (header.date.isValid()) {
        m_date->SetDate(header.date);
    }
    m_proposedNumber = header.number;
    m_number->SetValue(header.number, 0);
    if (m_descriptionBox) {
        m_descriptionBox->setText(header.description);
    }
    if (m_print) {
        m_print->setChecked(header.print);
    }
    if (m_extra) {
        m_extra->SetValues(header.extra);
    }
}

QPushButton* DocumentWindow::ActionButton(const QString& objectName) const {
    for (QPushButton* b : m_actions) {
        if (b->objectName() == objectName) {
            return b;
        }
    }
    return nullptr;
}

bool DocumentWindow::Run(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const FieldError& e) {
        m_host.UserPrompter().Inform(e.message(), m_caption);
        FocusField(e.field());
        return false;
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message(), m_caption);
    } catch (const DbError& e) {
        m_host.UserPrompter().Inform(DatabaseErrorText(e.driverText()), m_caption);
    }
    return false;
}

void DocumentWindow::FocusField(const QString& key) {
    QWidget* editor = m_extra ? m_extra->Editor(key) : nullptr;
    if (!editor) {
        return;
    }
    editor->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->selectAll();
    }
}

void DocumentWindow::RunAction(const DocumentAction& action) {
    if (action.addsLines && !Run([&] { m_controller->CheckBeforeLines(Header()); })) {
        return;
    }
    bool changed = false;
    Run([&] { changed = m_controller->RunAction(action.objectName, m_host, this, Header()); });
    if (changed) {
        RefreshLines();
    }
}

void DocumentWindow::ShowReadOnlyCell() {
    const QString message = m_controller->ReadOnlyCellMessage();
    if (!message.isEmpty()) {
        m_host.UserPrompter().Inform(message, m_caption);
    }
}

void DocumentWindow::NumberLeft() {
    if (m_number->isReadOnly()) {
        return;
    }
    const QString typed = m_number->text();
    if (m_number->Value() == m_proposedNumber &&
        typed.trimmed() == QString::number(m_proposedNumber)) {
        return;
    }
    if (!Run([&] { m_controller->CheckNumber(m_host.CurrentSession(), typed); })) {
        m_number->SetValue(m_proposedNumber, 0);
        // Back into the box once the message's own focus change has settled.
        QTimer::singleShot(0, m_number, [n = m_number] {
            n->setFocus();
            n->selectAll();
        });
        return;
    }
    m_proposedNumber = static_cast<int>(m_number->Value());
    HeaderCommitted();
}

void DocumentWindow::HeaderCommitted() {
    if (Run([&] { m_controller->HeaderChanged(m_host, Header()); })) {
        setWindowTitle(m_controller->Caption());
    }
}

void DocumentWindow::EditCell(int row, const QVariant& value) {
    Run([&] { m_controller->EditCell(m_host.CurrentSession(), row, value); });
    // The grid is read again once the editor has closed.
    QTimer::singleShot(0, this, &DocumentWindow::RefreshLines);
}

void DocumentWindow::EnterCode() {
    const QString typed = m_code->text();
    if (typed.trimmed().isEmpty()) {
        return;
    }
    QVariant changed;
    if (!Run([&] { changed = m_controller->EnterCode(m_host.CurrentSession(), typed); })) {
        // Refused: the text stays, selected, to be corrected or scanned over.
        m_code->setFocus();
        m_code->selectAll();
        return;
    }
    m_code->clear();
    RefreshLines();
    const TableData& lines = m_lines->Data();
    for (int row = 0; row < lines.RowCount(); ++row) {
        if (changed.isValid() && lines.Value(row, 0).toLongLong() == changed.toLongLong()) {
            m_lines->SelectRow(row);
            break;
        }
    }
    m_code->setFocus();
}

void DocumentWindow::RefreshLines() {
    TableData lines;
    if (Guarded(m_host.UserPrompter(),
                [&] { lines = m_controller->WorkingLines(m_host.CurrentSession()); })) {
        m_lines->SetData(std::move(lines));
    }
    for (int i = 0; i < m_further.size(); ++i) {
        TableData further;
        if (Guarded(m_host.UserPrompter(),
                    [&] { further = m_controller->FurtherLines(m_host.CurrentSession(), i); })) {
            m_further[i]->SetData(std::move(further));
        }
    }
    const bool any = m_lines->Data().RowCount() > 0;
    m_deleteLine->setEnabled(any);
    if (m_change) {
        m_change->setEnabled(any);
    }
    QString totals;
    Guarded(m_host.UserPrompter(), [&] { totals = m_controller->Totals(m_host.CurrentSession()); });
    m_totals->setText(totals);
}

DocumentHeader DocumentWindow::Header() const {
    DocumentHeader h;
    h.date = m_date->Date();
    h.number = static_cast<int>(m_number->Value());
    h.description = m_descriptionBox ? m_descriptionBox->text().trimmed() : QString();
    h.print = m_print && m_print->isChecked();
    if (m_extra) {
        h.extra = m_extra->Values();
    }
    return h;
}

void DocumentWindow::AddLine() {
    bool changed = false;
    if (!Run([&] { m_controller->CheckBeforeLines(Header()); })) {
        return;
    }
    Run([&] { changed = m_controller->AddLine(m_host, this, Header()); });
    if (changed) {
        RefreshLines();
        m_lines->SelectRow(m_lines->Data().RowCount() - 1);
    }
}

void DocumentWindow::ChangeLine() {
    const int row = m_lines->CurrentRow();
    if (row < 0 || !m_controller->CanChangeLines()) {
        return;
    }
    bool changed = false;
    Guarded(m_host.UserPrompter(),
            [&] { changed = m_controller->ChangeLine(m_host, this, Header(), row); });
    if (changed) {
        RefreshLines();
    }
}

void DocumentWindow::DeleteLine() {
    const int row = m_lines->CurrentRow();
    if (row < 0) {
        return;
    }
    QString question;
    if (!Run([&] { question = m_controller->DeleteLineQuestion(m_host.CurrentSession(), row); })) {
        return;  // refused before the question
    }
    if (!question.isEmpty() && !m_host.UserPrompter().AskYesNo(question, m_caption, false)) {
        return;
    }
    if (Run([&] { m_controller->DeleteLine(m_host.CurrentSession(), row); })) {
        RefreshLines();
    }
}

void DocumentWindow::FreeNumber() {
    m_number->setReadOnly(false);
    m_number->setFocus();
}

bool DocumentWindow::Post() {
    m_date->Commit();
    if (m_extra) {
        m_extra->CommitDates();
    }
    const DocumentHeader header = Header();
    PostResult result;
    if (!m_controller->CanPost() || !Run([&] { result = m_controller->Post(m_host, header); })) {
        return false;
    }
    if (!result.key.isValid()) {
        return false;  // not posted: the user answered No to one of its questions
    }
    if (header.print && m_controller->CanPrint()) {
        Guarded(m_host.UserPrompter(), [&] { m_controller->Print(m_host, result.key); });
    }
    if (!result.message.isEmpty()) {
        m_host.UserPrompter().Inform(result.message, m_caption);
    }
    if (m_controller->CloseAfterPost()) {
        // The posted lines are gone from the working copy: closing asks nothing.
        RefreshLines();
        CloseWindowFrame(this);
    } else {
        ResetHeader();
        if (m_extra) {
            m_extra->Reset();
        }
        RefreshLines();
    }
    return true;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    QString question = m_controller->AbandonQuestion();
    if (m_lines->Data().RowCount() > 0) {
        CloseStep step = CloseStep::Stay;
        if (!Run([&] { step = m_controller->BeforeClose(m_host, this, Header()); }) ||
            step == CloseStep::Stay) {
            event->ignore();
            return;
        }
        if (step == CloseStep::Kept) {
            question.clear();
        }
    }
    if (m_lines->Data().RowCount() > 0 && !question.isEmpty()) {
        if (!m_host.UserPrompter().AskYesNo(question, m_caption, false)) {
            event->ignore();
            return;
        }
        if (!Guarded(m_host.UserPrompter(),
                     [&] { m_controller->ClearWorkingCopy(m_host.CurrentSession()); })) {
            event->ignore();
            return;
        }
    }
    Guarded(m_host.UserPrompter(), [&] { m_controller->WindowClosed(m_host.CurrentSession()); });
    event->accept();
}

DocumentWindow::~DocumentWindow() = default;

DocumentWindow* ShowDocumentWindow(WindowHost& host, std::unique_ptr<DocumentController> controller,
                                   const CommandRegistry* registry) {
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(controller->Command()))) {
        return open;
    }
    const QString caption = controller->Caption();
    auto* window = new DocumentWindow(host, std::move(controller), registry);
    host.ShowWindow(window, caption);
    return window;
}

}  // namespace zodra::ui

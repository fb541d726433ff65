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
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString CaptionOr(const QString& caption, const QString& fallback) {
    return caption.isEmpty() ? fallback : caption;
}

}  // namespace

DocumentWindow::DocumentWindow(WindowHost& host,
                               std::shared_ptr<const DocumentDescription> description,
                               const CommandRegistry* registry, QWidget* parent)
    : QWidget(parent), m_host(host), m_description(std::move(description)) {
    setObjectName(m_description->command);
    setWindowTitle(m_description->caption);
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
    m_number->SetInvalidMessage(m_description->numberInvalidMessage);
    m_number->setMaximumWidth(140);
    numberRow->addWidget(m_number);
    QPushButton* free = nullptr;
    if (m_description->numberEditable) {
        free = MakeButton(QStringLiteral("&Upis broja"), QStringLiteral("UpisBroja"), this);
        numberRow->addWidget(free);
    }
    numberRow->addStretch();
    header->addRow(QStringLiteral("Broj :"), numberRow);
    if (!m_description->headerFields.isEmpty()) {
        m_extra = new FieldForm(host, m_description->headerFields, registry, this);
        header->addRow(m_extra);
        connect(m_extra, &FieldForm::committed, this, &DocumentWindow::HeaderCommitted);
    }
    if (m_description->hasDescription) {
        m_descriptionBox = new QLineEdit(this);
        m_descriptionBox->setObjectName(QStringLiteral("Opis"));
        header->addRow(QStringLiteral("Opis :"), m_descriptionBox);
    }
    if (m_description->hasPrintBox) {
        m_print = new QCheckBox(QStringLiteral("Ispis dokumenta"), this);
        m_print->setObjectName(QStringLiteral("IspisDokumenta"));
        header->addRow(m_print);
    }
    layout->addLayout(header);

    m_lines = new DataGrid(this);
    m_lines->setObjectName(QStringLiteral("Stavke"));
    layout->addWidget(m_lines, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setAlignment(Qt::AlignRight);
    layout->addWidget(m_totals);

    auto* buttons = new QHBoxLayout;
    auto* add =
        MakeButton(CaptionOr(m_description->addLineCaption, QStringLiteral("&Dodaj stavku")),
                   QStringLiteral("DodajStavku"), this);
    buttons->addWidget(add);
    if (m_description->changeLine) {
        m_change =
            MakeButton(CaptionOr(m_description->changeLineCaption, QStringLiteral("&Promjena")),
                       QStringLiteral("Promjena"), this);
        buttons->addWidget(m_change);
        connect(m_change, &QPushButton::clicked, this, &DocumentWindow::ChangeLine);
    }
    m_deleteLine =
        MakeButton(CaptionOr(m_description->deleteLineCaption, QStringLiteral("&Brisanje stavke")),
                   QStringLiteral("BrisanjeStavke"), this);
    buttons->addWidget(m_deleteLine);
    for (const DocumentAction& action : m_description->actions) {
        auto* b = MakeButton(action.caption, action.objectName, this);
        buttons->addWidget(b);
        m_actions << b;
        connect(b, &QPushButton::clicked, this, [this, action] { RunAction(action); });
    }
    buttons->addStretch();
    if (m_description->post) {
        auto* postButton =
            MakeButton(QStringLiteral("Pro&knjiži"), QStringLiteral("Proknjizi"), this);
        buttons->addWidget(postButton);
        connect(postButton, &QPushButton::clicked, this, [this] { Post(); });
    }
    auto* closeButton = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &DocumentWindow::AddLine);
    connect(m_deleteLine, &QPushButton::clicked, this, &DocumentWindow::DeleteLine);
    if (free) {
        connect(free, &QPushButton::clicked, this, &DocumentWindow::FreeNumber);
    }
    connect(m_number, &QLineEdit::editingFinished, this, &DocumentWindow::NumberLeft);
    connect(m_date, &DateBox::dateEdited, this, &DocumentWindow::HeaderCommitted);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    if (m_description->editableColumn >= 0 && m_description->editCell) {
        m_lines->SetEditableColumn(
            m_description->editableColumn,
            [this](int row, const QVariant& value) { EditCell(row, value); },
            [this] {
                if (!m_description->readOnlyCellMessage.isEmpty()) {
                    m_host.UserPrompter().Inform(m_description->readOnlyCellMessage,
                                                 m_description->caption);
                }
            });
    }

    if (m_description->prepareWorkingCopy) {
        Guarded(host.UserPrompter(),
                [&] { m_description->prepareWorkingCopy(host.CurrentSession()); });
    }
    ResetHeader();
    RefreshLines();
    resize(760, 520);
}

void DocumentWindow::ResetHeader() {
    m_date->SetBusinessYear(m_host.CurrentSession().businessYear);
    m_date->SetDate(QDate::currentDate());
    m_number->setReadOnly(true);
    int next = 0;
    if (m_description->nextNumber) {
        Guarded(m_host.UserPrompter(),
                [&] { next = m_description->nextNumber(m_host.CurrentSession()); });
    }
    m_proposedNumber = next;
    m_number->SetValue(next, 0);
    if (m_descriptionBox) {
        m_descriptionBox->clear();
    }
    if (m_description->initialHeader) {
        std::optional<DocumentHeader> initial;
        Guarded(m_host.UserPrompter(),
                [&] { initial = m_description->initialHeader(m_host.CurrentSession()); });
        if (initial) {
            SetHeader(*initial);
        }
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
        m_host.UserPrompter().Inform(e.message(), m_description->caption);
        FocusField(e.field());
        return false;
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message(), m_description->caption);
    } catch (const DbError& e) {
        m_host.UserPrompter().Inform(DatabaseErrorText(e.driverText()), m_description->caption);
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
    if (!action.run) {
        return;
    }
    if (action.addsLines && m_description->checkBeforeLines &&
        !Run([&] { m_description->checkBeforeLines(Header()); })) {
        return;
    }
    bool changed = false;
    Run([&] { changed = action.run(m_host, this); });
    if (changed) {
        RefreshLines();
    }
}

void DocumentWindow::NumberLeft() {
    if (m_number->isReadOnly() || !m_description->checkNumber) {
        return;
    }
    const QString typed = m_number->text();
    if (m_number->Value() == m_proposedNumber &&
        typed.trimmed() == QString::number(m_proposedNumber)) {
        return;
    }
    if (!Run([&] { m_description->checkNumber(m_host.CurrentSession(), typed); })) {
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
    if (m_description->headerChanged) {
        Run([&] { m_description->headerChanged(m_host, Header()); });
    }
}

void DocumentWindow::EditCell(int row, const QVariant& value) {
    Run([&] { m_description->editCell(m_host.CurrentSession(), row, value); });
    // The grid is read again once the editor has closed.
    QTimer::singleShot(0, this, &DocumentWindow::RefreshLines);
}

void DocumentWindow::RefreshLines() {
    TableData lines;
    if (m_description->workingLines && Guarded(m_host.UserPrompter(), [&] {
            lines = m_description->workingLines(m_host.CurrentSession());
        })) {
        m_lines->SetData(std::move(lines));
    }
    const bool any = m_lines->Data().RowCount() > 0;
    m_deleteLine->setEnabled(any);
    if (m_change) {
        m_change->setEnabled(any);
    }
    QString totals;
    if (m_description->totals) {
        Guarded(m_host.UserPrompter(),
                [&] { totals = m_description->totals(m_host.CurrentSession()); });
    }
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
    if (!m_description->addLine) {
        return;
    }
    if (m_description->checkBeforeLines &&
        !Run([&] { m_description->checkBeforeLines(Header()); })) {
        return;
    }
    Run([&] { changed = m_description->addLine(m_host, this); });
    if (changed) {
        RefreshLines();
        m_lines->SelectRow(m_lines->Data().RowCount() - 1);
    }
}

void DocumentWindow::ChangeLine() {
    const int row = m_lines->CurrentRow();
    if (row < 0 || !m_description->changeLine) {
        return;
    }
    bool changed = false;
    Guarded(m_host.UserPrompter(), [&] { changed = m_description->changeLine(m_host, this, row); });
    if (changed) {
        RefreshLines();
    }
}

void DocumentWindow::DeleteLine() {
    const int row = m_lines->CurrentRow();
    if (row < 0 || !m_description->deleteLine) {
        return;
    }
    if (m_description->deleteLineQuestion) {
        QString question;
        Run([&] { question = m_description->deleteLineQuestion(m_host.CurrentSession(), row); });
        if (!question.isEmpty() &&
            !m_host.UserPrompter().AskYesNo(question, m_description->caption, false)) {
            return;
        }
    }
    if (Run([&] { m_description->deleteLine(m_host.CurrentSession(), row); })) {
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
    if (!m_description->post || !Run([&] { result = m_description->post(m_host, header); })) {
        return false;
    }
    if (!result.key.isValid()) {
        return false;  // not posted: the user answered No to one of its questions
    }
    if (header.print && m_description->print) {
        Guarded(m_host.UserPrompter(), [&] { m_description->print(m_host, result.key); });
    }
    if (!result.message.isEmpty()) {
        m_host.UserPrompter().Inform(result.message, m_description->caption);
    }
    if (m_description->closeAfterPost) {
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
    if (m_lines->Data().RowCount() > 0 && !m_description->abandonQuestion.isEmpty()) {
        if (!m_host.UserPrompter().AskYesNo(m_description->abandonQuestion, m_description->caption,
                                            false)) {
            event->ignore();
            return;
        }
        if (m_description->clearWorkingCopy && !Guarded(m_host.UserPrompter(), [&] {
                m_description->clearWorkingCopy(m_host.CurrentSession());
            })) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

DocumentWindow* ShowDocumentWindow(WindowHost& host,
                                   std::shared_ptr<const DocumentDescription> description,
                                   const CommandRegistry* registry) {
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(description->command))) {
        return open;
    }
    auto* window = new DocumentWindow(host, description, registry);
    host.ShowWindow(window, description->caption);
    return window;
}

}  // namespace zodra::ui

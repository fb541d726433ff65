#include "app/ui/DocumentWindows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/CommandRegistry.h"
#include "app/ui/DataGrid.h"
#include "app/ui/DateBox.h"
#include "app/ui/Guard.h"
#include "app/ui/NumberBox.h"
#include "app/ui/WindowHost.h"
#include "data/Prompter.h"
#include "data/Session.h"

namespace zodra::ui {

namespace {

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

void CloseFrame(QWidget* w) {
    if (QWidget* frame = w->parentWidget()) {
        frame->close();
    } else {
        w->close();
    }
}

}  // namespace

// --- document window ---

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
    header->addRow(QStringLiteral("Datum :"), m_date);
    auto* numberRow = new QHBoxLayout;
    m_number = new NumberBox(host.UserPrompter(), this);
    m_number->setObjectName(QStringLiteral("Broj"));
    m_number->SetDecimals(0);
    m_number->setReadOnly(true);
    numberRow->addWidget(m_number, 1);
    auto* free = Button(QStringLiteral("&Upis broja"), QStringLiteral("UpisBroja"), this);
    numberRow->addWidget(free);
    header->addRow(QStringLiteral("Broj :"), numberRow);
    if (!m_description->headerFields.isEmpty()) {
        m_extra = new FieldForm(host, m_description->headerFields, registry, this);
        header->addRow(m_extra);
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
    auto* add = Button(QStringLiteral("&Dodaj stavku"), QStringLiteral("DodajStavku"), this);
    buttons->addWidget(add);
    if (m_description->changeLine) {
        m_change = Button(QStringLiteral("&Promjena"), QStringLiteral("Promjena"), this);
        buttons->addWidget(m_change);
        connect(m_change, &QPushButton::clicked, this, &DocumentWindow::ChangeLine);
    }
    m_deleteLine =
        Button(QStringLiteral("&Brisanje stavke"), QStringLiteral("BrisanjeStavke"), this);
    buttons->addWidget(m_deleteLine);
    buttons->addStretch();
    auto* postButton = Button(QStringLiteral("Pro&knjiži"), QStringLiteral("Proknjizi"), this);
    buttons->addWidget(postButton);
    auto* closeButton = Button(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &DocumentWindow::AddLine);
    connect(m_deleteLine, &QPushButton::clicked, this, &DocumentWindow::DeleteLine);
    connect(free, &QPushButton::clicked, this, &DocumentWindow::FreeNumber);
    connect(postButton, &QPushButton::clicked, this, [this] { Post(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseFrame(this); });

    if (m_description->prepareWorkingCopy) {
        Guarded(host.UserPrompter(),
                [&] { m_description->prepareWorkingCopy(host.CurrentSession()); });
    }
    ResetHeader();
    RefreshLines();
    resize(760, 520);
}

void DocumentWindow::ResetHeader() {
    m_date->SetDate(QDate::currentDate());
    m_number->setReadOnly(true);
    int next = 0;
    if (m_description->nextNumber) {
        Guarded(m_host.UserPrompter(),
                [&] { next = m_description->nextNumber(m_host.CurrentSession()); });
    }
    m_number->SetValue(next, 0);
    if (m_descriptionBox) {
        m_descriptionBox->clear();
    }
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
    Guarded(m_host.UserPrompter(), [&] { changed = m_description->addLine(m_host, this); });
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
    if (Guarded(m_host.UserPrompter(),
                [&] { m_description->deleteLine(m_host.CurrentSession(), row); })) {
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
    if (!Guarded(m_host.UserPrompter(), [&] { result = m_description->post(m_host, header); })) {
        return false;
    }
    if (header.print && m_description->print) {
        Guarded(m_host.UserPrompter(), [&] { m_description->print(m_host, result.key); });
    }
    if (!result.message.isEmpty()) {
        m_host.UserPrompter().Inform(result.message, m_description->caption);
    }
    if (m_description->closeAfterPost) {
        CloseFrame(this);
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
    if (m_lines->Data().RowCount() > 0) {
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

// --- posted documents ---

PostedDocumentsWindow::PostedDocumentsWindow(WindowHost& host,
                                             std::shared_ptr<const DocumentDescription> description,
                                             QWidget* parent)
    : QWidget(parent), m_host(host), m_description(std::move(description)) {
    setObjectName(m_description->listCommand);
    setWindowTitle(m_description->listCaption);
    auto* layout = new QVBoxLayout(this);
    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Dokumenti"));
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    auto* openButton = Button(QStringLiteral("&Otvori"), QStringLiteral("Otvori"), this);
    buttons->addWidget(openButton);
    connect(openButton, &QPushButton::clicked, this, &PostedDocumentsWindow::OpenCurrent);
    if (m_description->print) {
        auto* print = Button(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        buttons->addWidget(print);
        connect(print, &QPushButton::clicked, this, &PostedDocumentsWindow::PrintCurrent);
    }
    if (m_description->cancelPosted) {
        auto* cancel = Button(QStringLiteral("&Storno"), QStringLiteral("Storno"), this);
        buttons->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &PostedDocumentsWindow::CancelCurrent);
    }
    if (m_description->deletePosted && !m_description->deleteQuestion.isEmpty()) {
        auto* remove = Button(QStringLiteral("Iz&briši"), QStringLiteral("Izbrisi"), this);
        buttons->addWidget(remove);
        connect(remove, &QPushButton::clicked, this, &PostedDocumentsWindow::DeleteCurrent);
    }
    buttons->addStretch();
    auto* closeButton = Button(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseFrame(this); });
    layout->addLayout(buttons);
    connect(m_grid, &QAbstractItemView::activated, this, &PostedDocumentsWindow::OpenCurrent);
    Reload();
    resize(720, 480);
}

void PostedDocumentsWindow::Reload() {
    TableData rows;
    if (m_description->postedDocuments && Guarded(m_host.UserPrompter(), [&] {
            rows = m_description->postedDocuments(m_host.CurrentSession());
        })) {
        m_grid->SetData(std::move(rows));
    }
}

QVariant PostedDocumentsWindow::CurrentKey() const {
    const int row = m_grid->CurrentRow();
    return row < 0 ? QVariant() : m_grid->Data().Value(row, m_description->keyColumn);
}

void PostedDocumentsWindow::OpenCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid()) {
        return;
    }
    auto* view = new PostedDocumentView(m_host, m_description, key);
    m_host.ShowWindow(view, view->windowTitle());
}

void PostedDocumentsWindow::DeleteCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid() || !m_host.UserPrompter().AskYesNo(m_description->deleteQuestion,
                                                          m_description->deleteTitle.isEmpty()
                                                              ? m_description->listCaption
                                                              : m_description->deleteTitle,
                                                          false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_description->deletePosted(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::CancelCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid() || !m_description->cancelPosted) {
        return;
    }
    if (!m_description->cancelQuestion.isEmpty() &&
        !m_host.UserPrompter().AskYesNo(m_description->cancelQuestion, m_description->listCaption,
                                        false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_description->cancelPosted(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::PrintCurrent() {
    const QVariant key = CurrentKey();
    if (key.isValid() && m_description->print) {
        Guarded(m_host.UserPrompter(), [&] { m_description->print(m_host, key); });
    }
}

PostedDocumentView::PostedDocumentView(WindowHost& host,
                                       std::shared_ptr<const DocumentDescription> description,
                                       const QVariant& key, QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(description->postedCaption + key.toString());
    setObjectName(description->listCommand + QStringLiteral("_") + key.toString());
    auto* layout = new QVBoxLayout(this);
    QString summary;
    TableData lines;
    Guarded(host.UserPrompter(), [&] {
        if (description->postedSummary) {
            summary = description->postedSummary(host.CurrentSession(), key);
        }
        if (description->postedLines) {
            lines = description->postedLines(host.CurrentSession(), key);
        }
    });
    auto* label = new QLabel(summary, this);
    label->setObjectName(QStringLiteral("Zaglavlje"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    m_lines = new DataGrid(this);
    m_lines->SetData(std::move(lines));
    layout->addWidget(m_lines, 1);
    if (description->print) {
        auto* print = Button(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        connect(print, &QPushButton::clicked, this, [&host, description, key] {
            Guarded(host.UserPrompter(), [&] { description->print(host, key); });
        });
        layout->addWidget(print, 0, Qt::AlignRight);
    }
    resize(720, 440);
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

PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::shared_ptr<const DocumentDescription> description) {
    if (auto* open =
            qobject_cast<PostedDocumentsWindow*>(host.FindWindow(description->listCommand))) {
        open->Reload();
        return open;
    }
    auto* window = new PostedDocumentsWindow(host, description);
    host.ShowWindow(window, description->listCaption);
    return window;
}

void BindDocument(CommandRegistry& registry,
                  std::shared_ptr<const DocumentDescription> description) {
    const CommandRegistry* r = &registry;
    if (!description->command.isEmpty()) {
        registry.Register(description->command, [description, r](WindowHost& host) {
            ShowDocumentWindow(host, description, r);
        });
    }
    if (!description->listCommand.isEmpty()) {
        registry.Register(description->listCommand, [description](WindowHost& host) {
            ShowPostedDocuments(host, description);
        });
    }
}

}  // namespace zodra::ui

#include "app/ui/DocumentWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/DataGrid.h"
#include "app/ui/DateBox.h"
#include "app/ui/Guard.h"
#include "app/ui/NumberBox.h"
#include "app/ui/WindowHost.h"
#include "app/ui/WindowTools.h"
#include "data/Prompter.h"
#include "data/Session.h"

namespace zodra::ui {

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
    auto* free = MakeButton(QStringLiteral("&Upis broja"), QStringLiteral("UpisBroja"), this);
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
    auto* add = MakeButton(QStringLiteral("&Dodaj stavku"), QStringLiteral("DodajStavku"), this);
    buttons->addWidget(add);
    if (m_description->changeLine) {
        m_change = MakeButton(QStringLiteral("&Promjena"), QStringLiteral("Promjena"), this);
        buttons->addWidget(m_change);
        connect(m_change, &QPushButton::clicked, this, &DocumentWindow::ChangeLine);
    }
    m_deleteLine =
        MakeButton(QStringLiteral("&Brisanje stavke"), QStringLiteral("BrisanjeStavke"), this);
    buttons->addWidget(m_deleteLine);
    buttons->addStretch();
    auto* postButton = MakeButton(QStringLiteral("Pro&knjiži"), QStringLiteral("Proknjizi"), this);
    buttons->addWidget(postButton);
    auto* closeButton = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &DocumentWindow::AddLine);
    connect(m_deleteLine, &QPushButton::clicked, this, &DocumentWindow::DeleteLine);
    connect(free, &QPushButton::clicked, this, &DocumentWindow::FreeNumber);
    connect(postButton, &QPushButton::clicked, this, [this] { Post(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });

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

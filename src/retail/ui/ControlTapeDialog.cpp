#include "retail/ui/ControlTapeDialog.h"

#include <QCheckBox>
#include <QDate>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::retail::ui {

QString ControlTapeCaption() {
    return QStringLiteral("Kontrolna traka");
}

QString RangeCaption() {
    return QStringLiteral(" Ispis maloprodajnih računa od - do");
}

namespace {

// "Printer", "Ekran" and "Zatvori" under a dialog of receipts.
template <typename Dialog>
QHBoxLayout* OutputButtons(Dialog* dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* printer =
        zodra::ui::MakeButton(QStringLiteral("&Printer"), QStringLiteral("Printer"), dialog);
    auto* screen = zodra::ui::MakeButton(QStringLiteral("&Ekran"), QStringLiteral("Ekran"), dialog);
    auto* close =
        zodra::ui::MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), dialog);
    QObject::connect(printer, &QPushButton::clicked, dialog, &Dialog::Print);
    QObject::connect(screen, &QPushButton::clicked, dialog, &Dialog::Show);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addWidget(printer);
    row->addWidget(screen);
    row->addWidget(close);
    return row;
}

void PrintOrRefuse(zodra::ui::WindowHost& host, const QStringList& lines, const QString& refusal) {
    const QString error = pos::PrintLines(host.CurrentSession().workstation, lines, refusal);
    if (!error.isEmpty()) {
        host.UserPrompter().Inform(error);
    }
}

}  // namespace

ReceiptTextWindow::ReceiptTextWindow(const QString& caption, const QStringList& lines,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ReceiptText"));
    setWindowTitle(caption);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(lines.join(QLatin1Char('\n')));
    auto* close =
        zodra::ui::MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    const int width = QFontMetrics(m_text->font()).horizontalAdvance(QString(44, QLatin1Char('M')));
    resize(width + 40, 560);
    m_text->setFocus();
}

ControlTapeDialog::ControlTapeDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmKontrolnaTraka"));
    setWindowTitle(ControlTapeCaption());
    m_date = new QLineEdit(inputrules::FormatDate(QDate::currentDate()), this);
    m_date->setObjectName(QStringLiteral("Datum"));
    m_summed = new QCheckBox(QStringLiteral(" Računi su &sumirani"), this);
    m_summed->setObjectName(QStringLiteral("Sumirani"));
    m_summed->setChecked(host.CurrentSession().company.sumRetailInvoices);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Datum :"), m_date);
    form->addRow(QString(), m_summed);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(OutputButtons(this));
    m_date->setFocus();
}

bool ControlTapeDialog::Lines(QStringList* lines) {
    bool ok = false;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        pos::ReceiptOptions options = pos::OptionsOf(session);
        options.summed = m_summed->isChecked();
        const pos::TapeText tape = pos::ControlTapeLines(
            session.Db(), options, session.activeWarehouse.code, session.businessYear,
            m_date->text().trimmed(), pos::SessionMarks(session, options));
        if (!tape.error.isEmpty()) {
            m_host.UserPrompter().Inform(tape.error, ControlTapeCaption());
            m_date->setFocus();
            m_date->selectAll();
            return;
        }
        *lines = tape.lines;
        ok = true;
    });
    return ok;
}

void ControlTapeDialog::Print() {
    QStringList lines;
    if (Lines(&lines)) {
        PrintOrRefuse(m_host, lines, pos::NoPrinterForTapeText());
    }
}

void ControlTapeDialog::Show() {
    QStringList lines;
    if (Lines(&lines)) {
        ReceiptTextWindow text(ControlTapeCaption(), lines, this);
        text.exec();
    }
}

ReceiptRangeDialog::ReceiptRangeDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("IspisRacunaOdDo"));
    setWindowTitle(RangeCaption());
    m_from = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_from->setObjectName(QStringLiteral("OdBroja"));
    m_from->SetLimit(limits::NumberKind::Quantity, QStringLiteral("Broj računa"));
    m_to = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_to->setObjectName(QStringLiteral("DoBroja"));
    m_to->SetLimit(limits::NumberKind::Quantity, QStringLiteral("Broj računa"));
    m_from->SetValue(0, 0);
    m_to->SetValue(0, 0);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Od računa broj :"), m_from);
    form->addRow(QStringLiteral("D&o računa broj :"), m_to);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(OutputButtons(this));
    m_from->setFocus();
}

bool ReceiptRangeDialog::Lines(QStringList* lines) {
    for (zodra::ui::NumberBox* box : {m_from, m_to}) {
        if (!box->Commit()) {
            return false;
        }
        if (box->Value() != std::floor(box->Value())) {
            m_host.UserPrompter().Inform(QStringLiteral("Nije ispravno upisan broj !"),
                                         RangeCaption());
            box->setFocus();
            return false;
        }
    }
    bool ok = false;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        const pos::ReceiptOptions options = pos::OptionsOf(session);
        const pos::TapeText tape =
            pos::RangeLines(session.Db(), options, session.activeWarehouse.code,
                            session.businessYear, static_cast<int>(m_from->Value()),
                            static_cast<int>(m_to->Value()), pos::SessionMarks(session, options));
        if (!tape.error.isEmpty()) {
            m_host.UserPrompter().Inform(tape.error, RangeCaption());
            return;
        }
        *lines = tape.lines;
        ok = true;
    });
    return ok;
}

void ReceiptRangeDialog::Print() {
    QStringList lines;
    if (Lines(&lines)) {
        PrintOrRefuse(m_host, lines, pos::NoPrinterText());
    }
}

void ReceiptRangeDialog::Show() {
    QStringList lines;
    if (Lines(&lines)) {
        ReceiptTextWindow text(RangeCaption().trimmed(), lines, this);
        text.exec();
    }
}

}  // namespace zodra::retail::ui

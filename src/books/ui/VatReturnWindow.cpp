#include "books/ui/VatReturnWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "books/VatXml.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

namespace {

QLabel* Bold(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

VatReturnWindow::VatReturnWindow(zodra::ui::WindowHost& host, VatReturn vat, QWidget* parent)
    : QWidget(parent), m_host(host), m_vat(std::move(vat)) {
    setObjectName(ObjectName());
    setWindowTitle(Caption());
    Prompter& prompter = host.UserPrompter();

    auto* head = new QGridLayout;
    const QStringList labels = {
        QStringLiteral("Porezni obveznik :"), QStringLiteral("Porezna ispostava :"),
        QStringLiteral("Šifra djelatnosti :"), QStringLiteral("Porezni broj :")};
    const QStringList values = {
        QString(m_vat.taxpayer).replace(QLatin1Char('\n'), QStringLiteral(", ")), m_vat.taxOffice,
        m_vat.activity, m_vat.oib};
    for (int k = 0; k < labels.size(); ++k) {
        head->addWidget(new QLabel(labels.at(k), this), k, 0);
        head->addWidget(new QLabel(values.at(k), this), k, 1);
    }
    auto* period = Bold(QStringLiteral("od ") + inputrules::FormatDate(m_vat.from) +
                            QStringLiteral(" do ") + inputrules::FormatDate(m_vat.to),
                        this);
    period->setObjectName(QStringLiteral("Razdoblje"));
    head->addWidget(period, labels.size(), 0, 1, 2);
    head->setColumnStretch(1, 1);

    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    grid->addWidget(Bold(QStringLiteral("Osnovica"), body), 0, 1);
    grid->addWidget(Bold(QStringLiteral("Porez"), body), 0, 2);
    int row = 1;
    for (const VatLine& line : m_vat.form.Lines()) {
        const QString code = line.def.code;
        const bool total = line.def.kind == VatLineKind::Total;
        grid->addWidget(total ? Bold(line.def.label, body) : new QLabel(line.def.label, body), row,
                        0);
        auto box = [&](bool present, std::map<QString, zodra::ui::NumberBox*>& boxes, int column,
                       void (VatReturnWindow::*left)(const QString&)) {
            if (!present) {
                return;
            }
            auto* b = new zodra::ui::NumberBox(prompter, body);
            b->setObjectName(code + (column == 1 ? QStringLiteral("_O") : QStringLiteral("_P")));
            b->SetDecimals(2);
            b->setAlignment(Qt::AlignRight);
            b->setReadOnly(total);
            b->setFocusPolicy(total ? Qt::NoFocus : Qt::StrongFocus);
            connect(b, &QLineEdit::editingFinished, this,
                    [this, code, left] { (this->*left)(code); });
            grid->addWidget(b, row, column);
            boxes[code] = b;
        };
        box(line.def.hasBase, m_bases, 1, &VatReturnWindow::BaseLeft);
        box(line.def.hasTax, m_taxes, 2, &VatReturnWindow::TaxLeft);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] { Accept(); });
    auto* xml = zodra::ui::MakeButton(QStringLiteral("&XML"), QStringLiteral("XML"), this);
    xml->setEnabled(m_vat.form.Generation() == VatFormGeneration::Current);
    connect(xml, &QPushButton::clicked, this, &VatReturnWindow::ExportXml);
    auto* foot = new QHBoxLayout;
    foot->addWidget(xml);
    foot->addWidget(buttons, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(scroll, 1);
    layout->addLayout(foot);
    ShowValues();
    resize(760, 640);
    zodra::ui::FocusFirstField(this);
}

zodra::ui::NumberBox* VatReturnWindow::BaseBox(const QString& code) const {
    const auto it = m_bases.find(code);
    return it == m_bases.end() ? nullptr : it->second;
}

zodra::ui::NumberBox* VatReturnWindow::TaxBox(const QString& code) const {
    const auto it = m_taxes.find(code);
    return it == m_taxes.end() ? nullptr : it->second;
}

void VatReturnWindow::ShowValues() {
    for (const VatLine& line : m_vat.form.Lines()) {
        if (auto* b = BaseBox(line.def.code)) {
            b->SetValue(line.base, 2);
            m_shown[b] = b->text();
        }
        if (auto* t = TaxBox(line.def.code)) {
            t->SetValue(line.tax, 2);
            m_shown[t] = t->text();
        }
    }
}

void VatReturnWindow::BaseLeft(const QString& code) {
    zodra::ui::NumberBox* box = BaseBox(code);
    const VatLine* line = m_vat.form.Find(code);
    if (box == nullptr || line == nullptr || box->isReadOnly()) {
        return;
    }
    // A box left unchanged keeps the computed value with all its decimals.
    if (box->text() == m_shown[box]) {
        return;
    }
    m_vat.form.CorrectBase(code, box->Value());
    ShowValues();
}

void VatReturnWindow::TaxLeft(const QString& code) {
    zodra::ui::NumberBox* box = TaxBox(code);
    const VatLine* line = m_vat.form.Find(code);
    if (box == nullptr || line == nullptr || box->isReadOnly()) {
        return;
    }
    if (box->text() == m_shown[box]) {
        return;
    }
    m_vat.form.CorrectTax(code, box->Value());
    ShowValues();
}

bool VatReturnWindow::Accept() {
    Session& session = m_host.CurrentSession();
    bool stored = false;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_vat.number = StoreVatReturn(session.Db(), m_vat, session.userName);
        stored = true;
    });
    if (!stored) {
        return false;
    }
    const int number = m_vat.number;
    const int year = m_vat.year;
    zodra::ui::WindowHost& host = m_host;
    zodra::ui::CloseWindowFrame(this);
    host.SetStatusText(QStringLiteral(" Ispis PDV obrasca"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        reports::ui::ShowReport(host,
                                VatReturnReportRequest(host.CurrentSession().Db(), year, number));
    });
    return true;
}

void VatReturnWindow::ExportXml() {
    Prompter& prompter = m_host.UserPrompter();
    const QString path = prompter.ChooseFileToSave(QStringLiteral("Obrazac PDV (XML)"),
                                                   QStringLiteral("XML datoteke (*.xml)"),
                                                   QString(), QStringLiteral("xml"));
    if (path.isEmpty()) {
        return;
    }
    zodra::ui::Guarded(prompter, [&] {
        WriteVatReturnXml(m_host.CurrentSession().Db(), m_vat, path);
        prompter.Inform(QStringLiteral("XML datoteka je zapisana u ") + path + QLatin1Char('.'),
                        Caption());
    });
}

}  // namespace zodra::books::ui

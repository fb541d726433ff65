#include "stockdocs/ui/PriceChangeLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangeList.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

QString PriceText(double value) {
    return inputrules::FormatNumber(value, 4);
}

}  // namespace

PriceChangeLineDialog::PriceChangeLineDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmUpisIzmjeneCijena"));
    setWindowTitle(QStringLiteral("Upis"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_picker = new registers::ui::ArticlePicker(host, this);
    m_picker->ShowGroupFilter();
    form->addRow(QStringLiteral("Artikal :"), m_picker);
    m_lot = new QComboBox(this);
    m_lot->setObjectName(QStringLiteral("Primka"));
    form->addRow(QStringLiteral("Primka :"), m_lot);
    m_oldPrice = new QLabel(this);
    m_oldPrice->setObjectName(QStringLiteral("StaraCijena"));
    form->addRow(QStringLiteral("Stara cijena :"), m_oldPrice);
    m_oldPriceWithTax = new QLabel(this);
    m_oldPriceWithTax->setObjectName(QStringLiteral("StaraCijenaSPorezom"));
    form->addRow(QStringLiteral("Stara c. s por. :"), m_oldPriceWithTax);
    auto box = [&](const QString& name, const QString& limitName) {
        auto* b = new zodra::ui::NumberBox(host.UserPrompter(), this);
        b->setObjectName(name);
        b->setMaximumWidth(160);
        b->SetLimit(limits::NumberKind::Price, limitName);
        return b;
    };
    m_newPrice = box(QStringLiteral("NovaCijena"), QStringLiteral("Nova cijena"));
    m_newPriceWithTax =
        box(QStringLiteral("NovaCijenaSPorezom"), QStringLiteral("Nova cijena s porezom"));
    form->addRow(QStringLiteral("Nova cijena :"), m_newPrice);
    form->addRow(QStringLiteral("Nova c. s por. :"), m_newPriceWithTax);
    layout->addLayout(form);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this,
            &PriceChangeLineDialog::AcceptLine);
    connect(buttons->CancelButton(), &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });
    connect(m_picker->Box(), &QComboBox::currentIndexChanged, this,
            &PriceChangeLineDialog::ArticleChosen);
    connect(m_picker, &registers::ui::ArticlePicker::chosen, this,
            [this] { m_lot->setFocus(Qt::OtherFocusReason); });
    connect(m_lot, &QComboBox::currentIndexChanged, this, &PriceChangeLineDialog::LotChosen);
    // The two new prices are kept in step by the article's tax rate.
    connect(m_newPrice, &zodra::ui::NumberBox::valueEdited, this,
            [this](double v) { m_newPriceWithTax->SetValue(PriceWithTax(v, m_rate), 2); });
    connect(m_newPriceWithTax, &zodra::ui::NumberBox::valueEdited, this,
            [this](double v) { m_newPrice->SetValue(PriceWithoutTax(v, m_rate), 4); });
    m_picker->SearchField()->setFocus();
    ArticleChosen();
}

void PriceChangeLineDialog::ArticleChosen() {
    m_lot->clear();
    const int article = m_picker->Code();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        m_rate = article > 0 ? ArticleTaxRate(session.Db(), article) : 0;
        if (article > 0) {
            for (const RepricingLot& lot : RepricingLots(session, article)) {
                m_lot->addItem(QString::number(lot.lot) + QStringLiteral("   (količina ") +
                                   inputrules::FormatNumber(lot.quantity) + QStringLiteral(")"),
                               QVariantList{lot.lot, lot.sellingPrice});
            }
        }
    });
    LotChosen();
}

void PriceChangeLineDialog::LotChosen() {
    const QVariantList lot = m_lot->currentData().toList();
    if (lot.size() != 2) {
        m_oldPrice->clear();
        m_oldPriceWithTax->clear();
        return;
    }
    const double price = lot.at(1).toDouble();
    m_oldPrice->setText(PriceText(price));
    m_oldPriceWithTax->setText(inputrules::FormatNumber(PriceWithTax(price, m_rate), 2));
    m_newPrice->SetValue(price, 4);
    m_newPriceWithTax->SetValue(PriceWithTax(price, m_rate), 2);
}

void PriceChangeLineDialog::AcceptLine() {
    if (!m_newPrice->Commit() || !m_newPriceWithTax->Commit()) {
        return;
    }
    const int article = m_picker->Code();
    if (article <= 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Izaberite artikal !"), windowTitle());
        m_picker->SearchField()->setFocus();
        return;
    }
    const QVariantList lot = m_lot->currentData().toList();
    const std::optional<int> chosen =
        lot.size() == 2 ? std::optional<int>(lot.at(0).toInt()) : std::nullopt;
    const double price = m_newPrice->Value();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            AddPriceChangeLine(m_host.CurrentSession(), article, chosen, price);
        })) {
        ++m_written;
        m_picker->SearchField()->clear();
        m_picker->SearchField()->setFocus();
    }
}

}  // namespace zodra::stockdocs::ui

#include "stockdocs/ui/TransferLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/StockDocumentChoices.h"
#include "stockdocs/TransferLines.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

// The lot box carries the lot number and its selling price in each entry.
constexpr int kLot = 0;
constexpr int kPrice = 1;
constexpr int kFree = 2;

}  // namespace

TransferLineDialog::TransferLineDialog(zodra::ui::WindowHost& host, int destination,
                                       QWidget* parent)
    : QDialog(parent), m_host(host), m_destination(destination) {
    setObjectName(QStringLiteral("frmUpisMeduskladisnice"));
    setWindowTitle(QStringLiteral("Upis"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_picker = new registers::ui::ArticlePicker(host, this);
    m_picker->ShowGroupFilter();
    form->addRow(QStringLiteral("Artikal :"), m_picker);
    m_lot = new QComboBox(this);
    m_lot->setObjectName(QStringLiteral("Primka"));
    form->addRow(QStringLiteral("Primka :"), m_lot);
    m_stock = new QLabel(this);
    m_stock->setObjectName(QStringLiteral("Stanje"));
    form->addRow(QStringLiteral("Stanje :"), m_stock);
    auto box = [&](const QString& name, limits::NumberKind kind, const QString& limitName) {
        auto* b = new zodra::ui::NumberBox(host.UserPrompter(), this);
        b->setObjectName(name);
        b->setMaximumWidth(160);
        b->SetLimit(kind, limitName);
        return b;
    };
    m_quantity =
        box(QStringLiteral("Kolicina"), limits::NumberKind::Quantity, QStringLiteral("Količina"));
    m_price = box(QStringLiteral("OdredisnaCijena"), limits::NumberKind::Price,
                  QStringLiteral("Odredišna cijena"));
    m_priceWithTax = box(QStringLiteral("OdredisnaCijenaSPorezom"), limits::NumberKind::Price,
                         QStringLiteral("Odr. cijena s por."));
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    form->addRow(QStringLiteral("Odredišna cijena :"), m_price);
    form->addRow(QStringLiteral("Odr. cijena s por. :"), m_priceWithTax);
    layout->addLayout(form);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &TransferLineDialog::AcceptLine);
    connect(buttons->CancelButton(), &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });
    connect(m_picker->Box(), &QComboBox::currentIndexChanged, this,
            &TransferLineDialog::ArticleChosen);
    connect(m_picker, &registers::ui::ArticlePicker::chosen, this,
            [this] { m_lot->setFocus(Qt::OtherFocusReason); });
    connect(m_lot, &QComboBox::currentIndexChanged, this, &TransferLineDialog::LotChosen);
    connect(m_quantity, &QLineEdit::editingFinished, this, &TransferLineDialog::QuantityLeft);
    // The two destination prices are kept in step by the article's tax rate.
    connect(m_price, &zodra::ui::NumberBox::valueEdited, this,
            [this](double v) { m_priceWithTax->SetValue(PriceWithTax(v, m_rate), 2); });
    connect(m_priceWithTax, &zodra::ui::NumberBox::valueEdited, this,
            [this](double v) { m_price->SetValue(PriceWithoutTax(v, m_rate), 4); });
    QWidget::setTabOrder(m_picker->Box(), m_lot);
    QWidget::setTabOrder(m_lot, m_quantity);
    QWidget::setTabOrder(m_quantity, m_price);
    QWidget::setTabOrder(m_price, m_priceWithTax);
    QWidget::setTabOrder(m_priceWithTax, buttons->AcceptButton());
    resize(560, 260);
    m_picker->SearchField()->setFocus();
    ArticleChosen();
}

void TransferLineDialog::ArticleChosen() {
    m_lot->clear();
    const int article = m_picker->Code();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        m_rate = article > 0 ? ArticleTaxRate(session.Db(), article) : 0;
        if (article > 0) {
            for (const LotChoice& lot : LotsWithStock(session, article)) {
                m_lot->addItem(QString::number(lot.lot),
                               QVariantList{lot.lot, lot.sellingPrice, lot.freeQuantity});
            }
        }
    });
    LotChosen();
}

void TransferLineDialog::LotChosen() {
    const QVariantList lot = m_lot->currentData().toList();
    if (lot.size() != 3) {
        m_stock->clear();
        m_quantity->SetValue(0);
        m_price->SetValue(0, 4);
        m_priceWithTax->SetValue(0, 2);
        return;
    }
    const double price = lot.at(kPrice).toDouble();
    const double free = lot.at(kFree).toDouble();
    m_stock->setText(inputrules::FormatNumber(free, 3));
    m_quantity->SetValue(free);
    m_price->SetValue(price, 4);
    m_priceWithTax->SetValue(PriceWithTax(price, m_rate), 2);
}

void TransferLineDialog::QuantityLeft() {
    const QVariantList lot = m_lot->currentData().toList();
    const int article = m_picker->Code();
    if (lot.size() != 3 || article <= 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const QuantityCheck check = CheckLineQuantity(m_host.CurrentSession(), article,
                                                      lot.at(kLot).toInt(), m_quantity->Value());
        if (!check.message.isEmpty()) {
            m_host.UserPrompter().Inform(check.message, windowTitle());
            m_quantity->SetValue(check.quantity);
        }
    });
}

void TransferLineDialog::Clear() {
    m_picker->SearchField()->clear();
    m_picker->SetCode(0);
    m_picker->SearchField()->setFocus();
}

bool TransferLineDialog::AcceptLine() {
    for (zodra::ui::NumberBox* b : {m_quantity, m_price, m_priceWithTax}) {
        if (!b->Commit()) {
            return false;
        }
    }
    Prompter& prompter = m_host.UserPrompter();
    const int article = m_picker->Code();
    if (article <= 0) {
        prompter.Inform(QStringLiteral("Nije izabran artikal !"), windowTitle());
        m_picker->SearchField()->setFocus();
        return false;
    }
    QuantityLeft();
    const QVariantList lot = m_lot->currentData().toList();
    TransferLineEntry entry;
    entry.article = article;
    entry.lot = lot.size() == 3 ? std::optional<int>(lot.at(kLot).toInt()) : std::nullopt;
    entry.quantity = m_quantity->Value();
    entry.destinationPrice = m_price->Value();
    const bool written = zodra::ui::Guarded(prompter, [&] {
        Session& session = m_host.CurrentSession();
        const std::optional<qint64> existing =
            entry.lot ? WorkingTransferLineOf(session, session.sessionCode, article, *entry.lot)
                      : std::nullopt;
        if (existing && prompter.AskYesNo(TransferMergeQuestion(), windowTitle(), true)) {
            AddToTransferLine(session, session.sessionCode, m_destination, *existing, entry);
        } else {
            AddTransferLine(session, session.sessionCode, m_destination, entry);
        }
    });
    if (!written) {
        m_quantity->setFocus();
        return false;
    }
    ++m_written;
    Clear();
    return true;
}

}  // namespace zodra::stockdocs::ui

#include "stockdocs/ui/IssueLineDialog.h"

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
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/StockDocumentChoices.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

IssueLineDialog::IssueLineDialog(zodra::ui::WindowHost& host, DocumentKind kind, QWidget* parent)
    : QDialog(parent), m_host(host), m_kind(kind) {
    setObjectName(QStringLiteral("frmUpisArtikla"));
    setWindowTitle(QStringLiteral("Upis artikla"));
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
    m_quantity = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_quantity->setObjectName(QStringLiteral("Kolicina"));
    m_quantity->setMaximumWidth(160);
    m_quantity->SetLimit(limits::NumberKind::Quantity, QStringLiteral("Količina"));
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    layout->addLayout(form);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &IssueLineDialog::AcceptLine);
    connect(buttons->CancelButton(), &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });
    connect(m_picker->Box(), &QComboBox::currentIndexChanged, this,
            &IssueLineDialog::ArticleChosen);
    // An article found by its code or barcode (typed or scanned, then Enter): the quantity next.
    connect(m_picker, &registers::ui::ArticlePicker::chosen, this,
            [this] { m_quantity->setFocus(Qt::OtherFocusReason); });
    connect(m_lot, &QComboBox::currentIndexChanged, this, &IssueLineDialog::LotChosen);
    connect(m_quantity, &QLineEdit::editingFinished, this, &IssueLineDialog::QuantityLeft);
    QWidget::setTabOrder(m_picker->Box(), m_lot);
    QWidget::setTabOrder(m_lot, m_quantity);
    QWidget::setTabOrder(m_quantity, buttons->AcceptButton());
    resize(560, 220);
    m_picker->SearchField()->setFocus();
    ArticleChosen();
}

void IssueLineDialog::ArticleChosen() {
    m_lot->clear();
    const int article = m_picker->Code();
    if (article > 0) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            for (const LotChoice& lot : LotsWithStock(m_host.CurrentSession(), article)) {
                m_lot->addItem(QString::number(lot.lot), QVariantList{lot.lot, lot.freeQuantity});
            }
        });
    }
    LotChosen();
}

void IssueLineDialog::LotChosen() {
    const QVariantList lot = m_lot->currentData().toList();
    m_stock->setText(lot.size() == 2 ? inputrules::FormatNumber(lot.at(1).toDouble(), 3)
                                     : QString());
}

void IssueLineDialog::QuantityLeft() {
    const QVariantList lot = m_lot->currentData().toList();
    const int article = m_picker->Code();
    if (lot.size() != 2 || article <= 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const QuantityCheck check =
            CheckLineQuantity(m_host.CurrentSession(), article, lot.at(0).toInt(),
                              m_quantity->Value(), m_kind == DocumentKind::ReturnNote);
        if (!check.message.isEmpty()) {
            m_host.UserPrompter().Inform(check.message, windowTitle());
            m_quantity->SetValue(check.quantity);
        }
    });
}

bool IssueLineDialog::AcceptLine() {
    if (!m_quantity->Commit()) {
        return false;
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
    IssueLineEntry entry;
    entry.article = article;
    entry.lot = lot.size() == 2 ? std::optional<int>(lot.at(0).toInt()) : std::nullopt;
    entry.quantity = m_quantity->Value();
    if (!zodra::ui::Guarded(prompter, [&] {
            Session& session = m_host.CurrentSession();
            AddIssueLine(session, m_kind, session.sessionCode, entry);
        })) {
        m_quantity->setFocus();
        return false;
    }
    ++m_written;
    m_quantity->SetValue(0);
    m_picker->SearchField()->clear();
    m_picker->SetCode(0);
    m_picker->SearchField()->setFocus();
    return true;
}

}  // namespace zodra::stockdocs::ui

#include "retail/ui/PaymentDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "registers/RegisterStore.h"
#include "retail/ui/PosFormat.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::retail::ui {

namespace {

// Amount boxes take digits, the decimal comma or point and the minus sign only.
zodra::ui::NumberBox* AmountBox(Prompter& prompter, const QString& name, QWidget* parent) {
    auto* box = new zodra::ui::NumberBox(prompter, parent);
    box->setObjectName(name);
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.\\-]*")), box));
    box->SetValue(0, 2);
    return box;
}

}  // namespace

QString CancelPaymentQuestion() {
    return QStringLiteral("Želite li odustati od naplate računa ?");
}

PaymentDialog::PaymentDialog(zodra::ui::WindowHost& host, const RetailPaymentInput& invoice,
                             double cashPreset, QWidget* parent)
    : QDialog(parent), m_host(host), m_invoice(invoice) {
    setObjectName(QStringLiteral("frmNaplata"));
    setWindowTitle(QStringLiteral("Naplata maloprodajnog računa"));
    Prompter& prompter = host.UserPrompter();
    auto* form = new QFormLayout;
    m_cash = AmountBox(prompter, QStringLiteral("Gotovina"), this);
    m_cash->SetValue(cashPreset, 2);
    m_cheques = AmountBox(prompter, QStringLiteral("Cekovi"), this);
    m_card = AmountBox(prompter, QStringLiteral("Kartica"), this);
    m_cardType = new QComboBox(this);
    m_cardType->setObjectName(QStringLiteral("TipKartice"));
    m_cardType->addItem(QString(), QVariant());
    zodra::ui::Guarded(prompter, [&] {
        for (const auto& row :
             registers::Choices(host.CurrentSession().Db(), QStringLiteral("TIPOVI_KARTICA"))) {
            m_cardType->addItem(row.name, row.code);
        }
    });
    m_handedOver = AmountBox(prompter, QStringLiteral("KupacJeDao"), this);
    m_change = new QLineEdit(this);
    m_change->setObjectName(QStringLiteral("ZaVratiti"));
    m_change->setReadOnly(true);
    m_change->setFocusPolicy(Qt::NoFocus);
    auto* total = new QLineEdit(DisplayAmount(invoice.total), this);
    total->setReadOnly(true);
    total->setFocusPolicy(Qt::NoFocus);
    form->addRow(QStringLiteral("Iznos računa :"), total);
    form->addRow(QStringLiteral("&Gotovina :"), m_cash);
    form->addRow(QStringLiteral("Čekovi :"), m_cheques);
    form->addRow(QStringLiteral("&Kartica :"), m_card);
    form->addRow(QStringLiteral("&Tip kartice :"), m_cardType);
    form->addRow(QStringLiteral("Kupac je &dao :"), m_handedOver);
    form->addRow(QStringLiteral("Za vratiti :"), m_change);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &PaymentDialog::Accept);
    // Enter shows the change and moves on; leaving the box otherwise shows it too.
    zodra::ui::KeepEnter(m_handedOver);
    connect(m_handedOver, &QLineEdit::returnPressed, this, [this] {
        ShowChange();
        focusNextChild();
    });
    connect(m_handedOver, &QLineEdit::editingFinished, this, &PaymentDialog::ShowChange);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_cash->setFocus();
}

void PaymentDialog::ShowChange() {
    if (!m_handedOver->Commit()) {
        return;
    }
    const double change = retail::Change(m_handedOver->Value(), m_invoice.total);
    if (m_change->text() == DisplayAmount(change)) {
        return;  // shown already
    }
    m_change->setText(DisplayAmount(change));
    const Session& session = m_host.CurrentSession();
    const QString error =
        pos::ShowOnCustomerDisplay(session.workstation, QStringLiteral("Za povrat:"),
                                   DisplayMoney(change, pos::ReceiptCurrency(session)));
    if (!error.isEmpty()) {
        m_host.SetStatusText(QLatin1Char(' ') + error);
    }
}

void PaymentDialog::Accept() {
    for (zodra::ui::NumberBox* box : {m_cash, m_cheques, m_card}) {
        if (!box->Commit()) {
            return;
        }
    }
    RetailPaymentInput input = m_invoice;
    input.cash = m_cash->Value();
    input.cheques = m_cheques->Value();
    input.card = m_card->Value();
    input.cardType.reset();
    if (m_cardType->currentData().isValid()) {
        input.cardType = m_cardType->currentData().toInt();
    }
    bool written = false;
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        written = RecordRetailPayment(m_host.CurrentSession().Db(), m_host.UserPrompter(), input);
        if (written) {
            m_host.CurrentSession().RetailCollectionsChanged(input.date);
        }
    });
    if (written) {
        m_paid = true;
        m_leaving = true;
        QDialog::accept();
    }
}

bool PaymentDialog::Cancel() {
    if (!m_host.UserPrompter().AskYesNo(CancelPaymentQuestion(), windowTitle())) {
        return false;
    }
    m_leaving = true;
    QDialog::reject();
    return true;
}

void PaymentDialog::reject() {
    if (m_leaving) {
        QDialog::reject();
        return;
    }
    Cancel();
}

}  // namespace zodra::retail::ui

#include "sales/ui/DeliveryBillingWindow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoiceEntry.h"
#include "sales/InvoicePrint.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

using zodra::ui::Guarded;

DeliveryNotePicker::DeliveryNotePicker(const std::vector<OpenDeliveryNote>& notes,
                                       const std::vector<int>& ticked, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Izbor otpremnica za izradu računa"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Otpremnice"));
    for (const OpenDeliveryNote& note : notes) {
        auto* item = new QListWidgetItem(QStringLiteral("%1   %2   %3")
                                             .arg(note.number, 6)
                                             .arg(note.date.toString(QStringLiteral("dd.MM.yyyy")))
                                             .arg(note.customerName),
                                         m_list);
        item->setData(Qt::UserRole, note.number);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = std::find(ticked.begin(), ticked.end(), note.number) != ticked.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
    }
    layout->addWidget(m_list, 1);
    auto* row = new zodra::ui::DialogButtonRow(this);
    connect(row->AcceptButton(), &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(row);
    m_list->setFocus();
    resize(560, 420);
}

std::vector<int> DeliveryNotePicker::Ticked() const {
    std::vector<int> numbers;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked) {
            numbers.push_back(m_list->item(i)->data(Qt::UserRole).toInt());
        }
    }
    return numbers;
}

DeliveryBillingWindow::DeliveryBillingWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(ObjectName());
    setWindowTitle(QStringLiteral("Izrada računa na osnovu otpremnica"));
    Session& session = host.CurrentSession();
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_customer = new QComboBox(this);
    m_customer->setObjectName(QStringLiteral("Kupac"));
    m_customer->addItem(QString(), QVariant());
    Guarded(host.UserPrompter(), [&] {
        for (const NamedCode& c : Customers(session.Db())) {
            m_customer->addItem(c.name, c.code);
        }
    });
    m_from = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_from->setObjectName(QStringLiteral("DatumOd"));
    m_to = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_to->setObjectName(QStringLiteral("DatumDo"));
    const QDate today = QDate::currentDate();
    m_from->SetDate(QDate(session.businessYear, 1, 1));
    m_to->SetDate(today.year() == session.businessYear ? today
                                                       : QDate(session.businessYear, 12, 31));
    const auto addRow = [&](const QString& caption, QWidget* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        form->addRow(label, box);
    };
    addRow(QStringLiteral("&Kupac :"), m_customer);
    addRow(QStringLiteral("Datum &od :"), m_from);
    addRow(QStringLiteral("Datum &do :"), m_to);
    layout->addLayout(form);
    m_chosenText = new QLabel(this);
    m_chosenText->setObjectName(QStringLiteral("Izabrano"));
    layout->addWidget(m_chosenText);

    auto* buttons = new QHBoxLayout;
    auto* pick =
        zodra::ui::MakeButton(QStringLiteral("&Izbor otp."), QStringLiteral("IzborOtp"), this);
    auto* bill = zodra::ui::MakeButton(QStringLiteral("Izrada &računa"),
                                       QStringLiteral("IzradaRacuna"), this);
    connect(pick, &QPushButton::clicked, this, [this] { PickNotes(); });
    connect(bill, &QPushButton::clicked, this, [this] { Bill(); });
    buttons->addWidget(pick);
    buttons->addWidget(bill);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_customer, &QComboBox::currentIndexChanged, this, [this] { ForgetPick(); });
    connect(m_from, &zodra::ui::DateBox::dateEdited, this, [this] { ForgetPick(); });
    connect(m_to, &zodra::ui::DateBox::dateEdited, this, [this] { ForgetPick(); });
    m_customer->setFocus();
    resize(520, 220);
}

QString DeliveryBillingWindow::ObjectName() {
    return QStringLiteral("frmRacuniIzOtpremnica");
}

std::optional<int> DeliveryBillingWindow::CustomerCode() const {
    const QVariant code = m_customer->currentData();
    return code.isValid() ? std::optional<int>(code.toInt()) : std::nullopt;
}

void DeliveryBillingWindow::ForgetPick() {
    m_pick.reset();
    m_chosenText->clear();
}

std::optional<BillingRange> DeliveryBillingWindow::Range() {
    // A date still being typed is checked as leaving its box would (its own message, today's
    // date taken); then the limits.
    if (!m_from->Commit()) {
        m_from->setFocus();
        return std::nullopt;
    }
    if (!m_to->Commit()) {
        m_to->setFocus();
        return std::nullopt;
    }
    try {
        return CheckBillingRange(m_from->text(), m_to->text());
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message(), windowTitle());
        m_from->setFocus();
        return std::nullopt;
    }
}

void DeliveryBillingWindow::PickNotes() {
    const std::optional<BillingRange> range = Range();
    if (!range) {
        return;
    }
    Session& session = m_host.CurrentSession();
    std::vector<OpenDeliveryNote> notes;
    if (!Guarded(m_host.UserPrompter(), [&] {
            notes = OpenDeliveryNotes(session.Db(), session.activeWarehouse.code,
                                      session.businessYear, CustomerCode(), range->from, range->to);
        })) {
        return;
    }
    if (notes.empty()) {
        m_host.UserPrompter().Inform(NoOpenNotesMessage(), windowTitle());
        return;
    }
    std::vector<int> ticked;
    if (m_pick) {
        ticked = *m_pick;
    } else {
        for (const OpenDeliveryNote& n : notes) {
            ticked.push_back(n.number);
        }
    }
    DeliveryNotePicker picker(notes, ticked, this);
    if (picker.exec() != QDialog::Accepted) {
        return;
    }
    m_pick = picker.Ticked();
    m_chosenText->setText(QStringLiteral("Izabrano otpremnica: ") +
                          QString::number(m_pick->size()));
}

std::vector<BilledInvoice> DeliveryBillingWindow::Bill() {
    const std::optional<BillingRange> range = Range();
    if (!range) {
        return {};
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    std::vector<BilledInvoice> made;
    const bool done = Guarded(prompter, [&] {
        if (m_pick) {
            if (m_pick->empty()) {
                throw UserError(NoOpenNotesMessage());
            }
            made = BillDeliveryNotes(session, *m_pick, range->to);
        } else {
            made = BillDeliveryNotes(session, prompter, CustomerCode(), *range);
        }
    });
    if (!done || made.empty()) {
        return made;
    }
    ForgetPick();
    if (prompter.AskYesNo(PrintBilledQuestion(), BillingTitle(), true)) {
        for (const BilledInvoice& invoice : made) {
            try {
                reports::ui::ShowReport(m_host, InvoicePrintRequest(session, 1, invoice.number,
                                                                    InvoicePrintKind::Invoice));
            } catch (const UserError& e) {
                // The invoices are made; one that cannot be printed is told, the others follow.
                prompter.Inform(e.message(), BillingTitle());
            }
        }
    }
    return made;
}

}  // namespace zodra::sales::ui

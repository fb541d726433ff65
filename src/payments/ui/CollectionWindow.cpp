#include "payments/ui/CollectionWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "payments/ui/BankStatementDialog.h"
#include "payments/ui/CollectionLaterDialog.h"
#include "payments/ui/PartnerOpeningWindow.h"
#include "payments/ui/PaymentListWindow.h"
#include "payments/ui/PaymentSlipPrinting.h"
#include "ui/DataGrid.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::payments::ui {

CollectionWindow::CollectionWindow(zodra::ui::WindowHost& host, bool supplier, QWidget* parent)
    : QWidget(parent), m_host(host), m_supplier(supplier) {
    setObjectName(ObjectName(supplier));
    setWindowTitle(Caption(supplier));
    Database& db = host.CurrentSession().Db();
    m_book = new QComboBox(this);
    m_book->setObjectName(QStringLiteral("Knjiga"));
    for (const Choice& c : supplier ? InputBookChoices(db) : OutputBookChoices(db)) {
        m_book->addItem(QString::number(c.code) + QStringLiteral(" - ") + c.name, c.code);
    }
    auto* bookLabel = new QLabel(QStringLiteral("K&njiga:"), this);
    bookLabel->setBuddy(m_book);
    m_invoices = new zodra::ui::DataGrid(this);
    m_invoices->setObjectName(QStringLiteral("Racuni"));
    m_invoices->SetSortable(true);
    m_collections = new zodra::ui::DataGrid(this);
    m_collections->setObjectName(QStringLiteral("Naplate"));
    m_collected = new QLabel(this);
    m_collected->setObjectName(QStringLiteral("Naplaceno"));
    m_owed = new QLabel(this);
    m_owed->setObjectName(QStringLiteral("Dugovanje"));

    connect(m_book, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_invoices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowCollections(); });
    zodra::ui::OnListKeys(m_invoices, {}, [this] { Add(); });
    zodra::ui::OnListKeys(m_collections, [this] { DeleteSelected(); });

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& caption, const QString& name, auto action) {
        QPushButton* b = zodra::ui::MakeButton(caption, name, this);
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
    };
    button(QStringLiteral("&Upis"), QStringLiteral("Upis"), [this] { Add(); });
    if (supplier) {
        button(QStringLiteral("Upis za &vlastitu potrošnju"), QStringLiteral("VlastitaPotrosnja"),
               [this] { Add(true); });
    }
    button(QStringLiteral("&Brisanje"), QStringLiteral("Brisanje"), [this] { DeleteSelected(); });
    button(supplier ? QStringLiteral("Uplata &dobavljaču") : QStringLiteral("Uplata &kupca"),
           QStringLiteral("Uplata"), [this] {
               OpenEntry(m_supplier ? PaymentEntryKind::SupplierPayment
                                    : PaymentEntryKind::CustomerPayment);
           });
    button(QStringLiteral("Uplata &i zatvaranje"), QStringLiteral("UplataZatvaranje"), [this] {
        OpenEntry(m_supplier ? PaymentEntryKind::SupplierPayAndClose
                             : PaymentEntryKind::CustomerPayAndClose);
    });
    if (!supplier) {
        button(QStringLiteral("&Naknadno zatvaranje"), QStringLiteral("Naknadno"), [this] {
            CollectionLaterDialog dialog(m_host, m_host.DialogParent());
            dialog.exec();
            Refresh();
        });
    }
    if (!supplier) {
        button(QStringLiteral("Izvo&d banke"), QStringLiteral("IzvodBanke"), [this] {
            BankStatementDialog dialog(m_host, m_host.DialogParent());
            dialog.exec();
            Refresh();
        });
    }
    button(supplier ? QStringLiteral("U&plate dobavljačima") : QStringLiteral("U&plate kupaca"),
           QStringLiteral("Uplate"), [this] {
               const QString name = PaymentListWindow::ObjectName(m_supplier);
               if (!m_host.FindWindow(name)) {
                   m_host.ShowWindow(new PaymentListWindow(m_host, m_supplier),
                                     PaymentListWindow::Caption(m_supplier));
               }
           });
    button(QStringLiteral("Početna &stanja"), QStringLiteral("PocetnaStanja"), [this] {
        const QString name = PartnerOpeningWindow::ObjectName(m_supplier);
        if (!m_host.FindWindow(name)) {
            m_host.ShowWindow(new PartnerOpeningWindow(m_host, m_supplier),
                              PartnerOpeningWindow::Caption(m_supplier));
        }
    });
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));

    auto* top = new QHBoxLayout;
    top->addWidget(bookLabel);
    top->addWidget(m_book, 1);
    // The slips are printed for the book chosen beside them.
    const auto slipButton = [&](const QString& caption, const QString& name, auto action) {
        QPushButton* b = zodra::ui::MakeButton(caption, name, this);
        connect(b, &QPushButton::clicked, this, action);
        top->addWidget(b);
    };
    if (supplier) {
        slipButton(QStringLiteral("Vi&rmani"), QStringLiteral("Virmani"), [this] {
            const auto input = SelectedInput();
            if (!input) {
                m_host.UserPrompter().Inform(NoInvoiceMessage());
                return;
            }
            PrintInputInvoiceSlips(m_host, input->book, input->serial, input->serial);
        });
    } else {
        slipButton(QStringLiteral("Vi&rmani"), QStringLiteral("Virmani"), [this] {
            PrintOutputInvoiceSlips(m_host, m_book->currentData().toInt(),
                                    SlipKind::OutputInvoiceOrder);
        });
        slipButton(QStringLiteral("Uplatni&ce"), QStringLiteral("Uplatnice"), [this] {
            PrintOutputInvoiceSlips(m_host, m_book->currentData().toInt(),
                                    SlipKind::OutputInvoiceCash);
        });
    }
    auto* sums = new QHBoxLayout;
    sums->addWidget(m_collected);
    sums->addWidget(m_owed);
    sums->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_invoices, 3);
    layout->addWidget(m_collections, 1);
    layout->addLayout(sums);
    layout->addLayout(buttons);
    Refresh();
    m_book->setFocus();
}

void CollectionWindow::Refresh() {
    Session& session = m_host.CurrentSession();
    const int book = m_book->currentData().toInt();
    m_invoices->SetData(m_supplier ? BookInputInvoices(session.Db(), book, session.businessYear)
                                   : BookInvoices(session.Db(), book, session.businessYear));
    if (m_invoices->CurrentRow() < 0 && m_invoices->Data().RowCount() > 0) {
        m_invoices->SelectRow(0);
    }
    ShowCollections();
}

std::optional<InvoiceKey> CollectionWindow::SelectedInvoice() const {
    const int row = m_invoices->CurrentRow();
    if (m_supplier || row < 0) {
        return std::nullopt;
    }
    const TableData& t = m_invoices->Data();
    return InvoiceKey{t.Value(row, 7).toInt(), m_book->currentData().toInt(),
                      t.Value(row, 1).toInt(), t.Value(row, 2).toInt()};
}

std::optional<InputInvoiceKey> CollectionWindow::SelectedInput() const {
    const int row = m_invoices->CurrentRow();
    if (!m_supplier || row < 0) {
        return std::nullopt;
    }
    return InputInvoiceKey{m_book->currentData().toInt(), m_host.CurrentSession().businessYear,
                           m_invoices->Data().Value(row, 0).toInt()};
}

void CollectionWindow::ShowCollections() {
    Database& db = m_host.CurrentSession().Db();
    const QString paidCaption =
        m_supplier ? QStringLiteral("Plaćeno: ") : QStringLiteral("Naplaćeno: ");
    InvoiceBalance balance;
    if (const auto key = SelectedInvoice()) {
        m_collections->SetData(InvoiceCollections(db, *key));
        balance = InvoiceBalanceOf(db, *key);
    } else if (const auto input = SelectedInput()) {
        m_collections->SetData(InputInvoicePayments(db, *input));
        balance = InputInvoiceBalanceOf(db, *input);
    } else {
        m_collections->SetData(m_supplier ? InputInvoicePayments(db, {0, 0, 0})
                                          : InvoiceCollections(db, {}));
    }
    m_collected->setText(paidCaption + MoneyText(balance.collected));
    m_owed->setText(QStringLiteral("Dugovanje: ") + MoneyText(balance.Open()));
}

void CollectionWindow::Add(bool ownUse) {
    const auto key = SelectedInvoice();
    const auto input = SelectedInput();
    if (!key && !input) {
        m_host.UserPrompter().Inform(NoInvoiceMessage());
        return;
    }
    PaymentEntryDialog dialog(m_host,
                              !m_supplier ? PaymentEntryKind::InvoiceCollection
                              : ownUse    ? PaymentEntryKind::OwnUsePayment
                                          : PaymentEntryKind::InputInvoicePayment,
                              key, input, m_host.DialogParent());
    dialog.exec();
    ShowCollections();
}

void CollectionWindow::OpenEntry(PaymentEntryKind kind) {
    PaymentEntryDialog dialog(m_host, kind, std::nullopt, std::nullopt, m_host.DialogParent());
    dialog.exec();
    ShowCollections();
}

void CollectionWindow::DeleteSelected() {
    const int row = m_collections->CurrentRow();
    if (row < 0) {
        return;
    }
    const TableData& t = m_collections->Data();
    const int code = t.Value(row, static_cast<int>(t.columns.size()) - 1).toInt();
    if (!m_host.UserPrompter().AskYesNo(DeletePaymentQuestion(), Caption(m_supplier), false)) {
        return;
    }
    try {
        if (m_supplier) {
            DeleteInputInvoicePayment(m_host.CurrentSession(), code);
        } else {
            DeleteCollection(m_host.CurrentSession(), code);
        }
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message());
    }
    ShowCollections();
}

}  // namespace zodra::payments::ui

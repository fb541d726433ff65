#include "sales/ui/ServiceLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/InvoiceEntry.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/LineBoxes.h"
#include "sales/ui/LineEmployeesDialog.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::NumberBox;
using Kind = zodra::limits::NumberKind;

ServiceLineDialog::ServiceLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                                     ServiceLineWriter writer, QWidget* parent)
    : QDialog(parent), m_host(host), m_draft(draft), m_writer(std::move(writer)) {
    setObjectName(QStringLiteral("frmUpisUsluge"));
    setWindowTitle(QStringLiteral("Upis usluge"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_service = new QComboBox(this);
    m_service->setObjectName(QStringLiteral("Usluga"));
    m_service->addItem(QString(), QVariant());
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const NamedCode& s : ServiceList(host.CurrentSession().Db())) {
            m_service->addItem(s.name, s.code);
        }
    });
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("JedinicaMjere"));
    auto* serviceRow = new QHBoxLayout;
    serviceRow->addWidget(m_service, 1);
    serviceRow->addWidget(m_unit);
    form->addRow(QStringLiteral("Usluga :"), serviceRow);
    m_terms = new QComboBox(this);
    m_terms->setObjectName(QStringLiteral("UvjetProdaje"));
    FillTermsBox(m_terms, host.CurrentSession(), draft.salesTerms);
    form->addRow(QStringLiteral("Uvjet pr. :"), m_terms);
    layout->addLayout(form);

    auto box = [&](const QString& name, Kind kind, const QString& what) {
        auto* b = MakeLineBox(host.UserPrompter(), name, kind, what, this);
        b->setMaximumWidth(160);
        return b;
    };
    m_quantity = MakeQuantityBox(host.UserPrompter(), this);
    m_quantity->setMaximumWidth(160);
    m_price = box(QStringLiteral("Cijena"), Kind::Price, QStringLiteral("Cijena"));
    m_value = box(QStringLiteral("Vrijednost"), Kind::Amount, QStringLiteral("Vrijednost"));
    m_discountPercent =
        box(QStringLiteral("RabatPostotak"), Kind::Discount, QStringLiteral("Rabat"));
    m_priceWithTax =
        box(QStringLiteral("CijenaSaPorezom"), Kind::Price, QStringLiteral("Cijena s porezom"));
    m_valueWithTax = box(QStringLiteral("VrijednostSaPorezom"), Kind::Amount,
                         QStringLiteral("Vrijednost s porezom"));
    auto* grid = new QGridLayout;
    const struct {
        const char16_t* label;
        NumberBox* box;
    } cells[] = {
        {u"Količina :", m_quantity}, {u"Rabat % :", m_discountPercent},
        {u"Cijena :", m_price},      {u"Cijena s porezom :", m_priceWithTax},
        {u"Vrijednost :", m_value},  {u"Vrijednost s porezom :", m_valueWithTax},
    };
    int i = 0;
    for (const auto& cell : cells) {
        grid->addWidget(new QLabel(QString::fromUtf16(cell.label), this), i / 2, (i % 2) * 2);
        grid->addWidget(cell.box, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    layout->addLayout(grid);
    auto* descriptionForm = new QFormLayout;
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Opis"));
    descriptionForm->addRow(QStringLiteral("Opis :"), m_description);
    layout->addLayout(descriptionForm);
    m_employeesButton = new QPushButton(QStringLiteral("Djelatnici-F2"), this);
    m_employeesButton->setObjectName(QStringLiteral("Djelatnici"));
    m_employeesButton->setAutoDefault(false);
    m_employeesButton->setFocusPolicy(Qt::NoFocus);
    auto* employeesRow = new QHBoxLayout;
    employeesRow->addWidget(m_employeesButton);
    employeesRow->addStretch();
    layout->addLayout(employeesRow);
    connect(m_employeesButton, &QPushButton::clicked, this, &ServiceLineDialog::ChooseEmployees);
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    f2->setContext(Qt::WindowShortcut);
    connect(f2, &QShortcut::activated, this, &ServiceLineDialog::ChooseEmployees);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &ServiceLineDialog::AcceptLine);
    connect(buttons->CancelButton(), &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });
    QWidget* order[] = {m_service,
                        m_terms,
                        m_quantity,
                        m_discountPercent,
                        m_price,
                        m_priceWithTax,
                        m_value,
                        m_valueWithTax,
                        m_description,
                        buttons->AcceptButton(),
                        buttons->CancelButton()};
    for (size_t k = 0; k + 1 < std::size(order); ++k) {
        QWidget::setTabOrder(order[k], order[k + 1]);
    }

    connect(m_service, &QComboBox::currentIndexChanged, this, &ServiceLineDialog::ServiceChosen);
    connect(m_terms, &QComboBox::activated, this, [this] {
        if (LineTerms()) {
            zodra::ui::Guarded(m_host.UserPrompter(),
                               [&] { CheckSalesTerms(m_host.CurrentSession(), *LineTerms()); });
        }
        ServiceChosen();
    });
    auto follow = [this](NumberBox* b, void (InvoiceLineBoxes::*type)(double)) {
        connect(b, &NumberBox::valueEdited, this, [this, type](double v) {
            (m_boxes.*type)(v);
            Show();
        });
    };
    follow(m_quantity, &InvoiceLineBoxes::TypeQuantity);
    follow(m_price, &InvoiceLineBoxes::TypePrice);
    follow(m_discountPercent, &InvoiceLineBoxes::TypeDiscountPercent);
    follow(m_value, &InvoiceLineBoxes::TypeValue);
    follow(m_priceWithTax, &InvoiceLineBoxes::TypePriceWithTax);
    follow(m_valueWithTax, &InvoiceLineBoxes::TypeValueWithTax);
    resize(600, 250);
    m_service->setFocus();
}

std::optional<int> ServiceLineDialog::LineTerms() const {
    const QVariant v = m_terms->currentData();
    if (!v.isValid() || v.toInt() <= 0) {
        return std::nullopt;
    }
    return v.toInt();
}

void ServiceLineDialog::ServiceChosen() {
    const QVariant code = m_service->currentData();
    if (!code.isValid() || code.isNull()) {
        m_unit->clear();
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const ServiceProposal p =
            ProposeService(m_host.CurrentSession(), m_draft, code.toInt(), LineTerms());
        m_unit->setText(QStringLiteral("JM : ") + p.unit);
        if (m_boxes.quantity == 0) {
            m_boxes.quantity = 1;
            m_quantity->SetValue(1);
        }
        m_boxes.Propose(p.price, m_boxes.discountPercent, p.taxRate, 0);
        Show();
    });
}

void ServiceLineDialog::Show() {
    const QWidget* typing = focusWidget();
    auto set = [typing](NumberBox* box, double value) {
        if (box != typing) {
            box->SetValue(value);
        }
    };
    set(m_price, m_boxes.price);
    set(m_discountPercent, m_boxes.discountPercent);
    set(m_value, m_boxes.value);
    set(m_priceWithTax, m_boxes.priceWithTax);
    set(m_valueWithTax, m_boxes.valueWithTax);
}

bool ServiceLineDialog::AcceptLine() {
    for (NumberBox* b :
         {m_quantity, m_price, m_value, m_discountPercent, m_priceWithTax, m_valueWithTax}) {
        if (!b->Commit()) {
            return false;
        }
    }
    ServiceLineInput input;
    const QVariant code = m_service->currentData();
    input.service = code.isValid() && !code.isNull() ? code.toInt() : 0;
    input.quantity = m_boxes.quantity;
    input.price = m_boxes.price;
    input.discount = m_boxes.discountPercent;
    input.salesTerms = LineTerms();
    input.description = m_description->text();
    std::optional<AcceptedLine> accepted;
    if (!zodra::ui::Guarded(m_host.UserPrompter(),
                            [&] { accepted = m_writer(input, m_employees); }) ||
        !accepted) {
        return false;
    }
    ++m_written;
    QDialog::accept();
    return true;
}

void ServiceLineDialog::ChooseEmployees() {
    LineEmployeesDialog dialog(m_host, m_employees, this);
    if (dialog.exec() == QDialog::Accepted) {
        m_employees = dialog.Chosen();
        m_employeesButton->setText(
            m_employees.empty()
                ? QStringLiteral("Djelatnici-F2")
                : QStringLiteral("Djelatnici-F2 (%1)").arg(static_cast<int>(m_employees.size())));
    }
}

}  // namespace zodra::sales::ui

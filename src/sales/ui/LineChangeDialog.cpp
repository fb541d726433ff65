#include "sales/ui/LineChangeDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "sales/ui/LineBoxes.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using Kind = zodra::limits::NumberKind;

LineChangeDialog::LineChangeDialog(zodra::ui::WindowHost& host, const QString& name,
                                   double quantity, double price, double discountPercent,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PromjenaStavke"));
    setWindowTitle(QStringLiteral("Promjena stavke"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Naziv :"), new QLabel(name, this));
    auto box = [&](const QString& objectName, Kind kind, const QString& what, double value) {
        auto* b = MakeLineBox(host.UserPrompter(), objectName, kind, what, this);
        b->SetValue(value);
        b->setMaximumWidth(160);
        return b;
    };
    m_quantity = MakeQuantityBox(host.UserPrompter(), this);
    m_quantity->SetValue(quantity);
    m_quantity->setMaximumWidth(160);
    m_price = box(QStringLiteral("Cijena"), Kind::Price, QStringLiteral("Cijena"), price);
    m_discountPercent = box(QStringLiteral("RabatPostotak"), Kind::Discount,
                            QStringLiteral("Rabat"), discountPercent);
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    form->addRow(QStringLiteral("Cijena :"), m_price);
    form->addRow(QStringLiteral("Rabat % :"), m_discountPercent);
    layout->addLayout(form);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] {
        for (zodra::ui::NumberBox* b : {m_quantity, m_price, m_discountPercent}) {
            if (!b->Commit()) {
                return;
            }
        }
        accept();
    });
    m_quantity->setFocus();
}

PostedLineChange LineChangeDialog::Change() const {
    return {m_quantity->Value(), m_price->Value(), m_discountPercent->Value()};
}

}  // namespace zodra::sales::ui

#include "stock/ui/DirectEntryDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"

namespace zodra::stock::ui {

using tradebook::Book;

DirectEntryDialog::DirectEntryDialog(Session& session, Prompter& prompter, Book book,
                                     QWidget* parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_book(book) {
    setWindowTitle(Caption(book));
    setObjectName(book == Book::Retail ? QStringLiteral("frmUpisTKMaloprodaje")
                                       : QStringLiteral("frmUpisTKVeleprodaje"));
    m_date = new zodra::ui::DateBox(prompter, this);
    m_date->SetDate(QDate::currentDate());
    m_description = new QLineEdit(this);
    const auto money = [&] {
        auto* box = new zodra::ui::NumberBox(prompter, this);
        box->SetDecimals(2);
        box->SetValue(0, 2);
        return box;
    };
    m_purchase = money();
    if (book == Book::Retail) {
        m_purchaseTax = money();
    }
    m_sales = money();
    m_salesTax = money();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Datum"), m_date);
    form->addRow(QStringLiteral("Opis"), m_description);
    form->addRow(QStringLiteral("Nabava vr."), m_purchase);
    if (m_purchaseTax) {
        form->addRow(QStringLiteral("Nab. por."), m_purchaseTax);
    }
    form->addRow(QStringLiteral("Prodaja vr."), m_sales);
    form->addRow(QStringLiteral("Prod. por."), m_salesTax);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &DirectEntryDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_date->setFocus();
}

QString DirectEntryDialog::Caption(Book book) {
    return book == Book::Retail ? QStringLiteral("Upis u TK maloprodaje")
                                : QStringLiteral("Upis u TK veleprodaje");
}

void DirectEntryDialog::Accept() {
    // A date still being typed is checked as leaving the box would check it.
    m_date->Commit();
    try {
        m_added = tradebook::AppendDirectEntry(
            m_session.Db(), m_book, m_session.activeWarehouse.code, m_session.businessYear,
            m_date->Date(), m_description->text(), m_purchase->Value(),
            m_purchaseTax ? m_purchaseTax->Value() : 0.0, m_sales->Value(), m_salesTax->Value());
    } catch (const UserError& e) {
        m_prompter.Inform(e.message(), Caption(m_book));
        return;
    } catch (const DbError& e) {
        m_prompter.Inform(e.driverText(), Caption(m_book));
        return;
    }
    accept();
}

}  // namespace zodra::stock::ui

#include "books/ui/IraBookDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Database.h"
#include "sales/InvoiceList.h"
#include "ui/DialogButtonRow.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

IraBookDialog::IraBookDialog(Database& db, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Knjiga izlaznih računa"));
    m_books = new QComboBox(this);
    m_books->setObjectName(QStringLiteral("Knjiga"));
    for (const sales::IraBookChoice& book : sales::IraBookChoices(db)) {
        m_books->addItem(QString::number(book.code) + QStringLiteral(" - ") + book.name, book.code);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Knjiga :"), m_books);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &IraBookDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    zodra::ui::FocusFirstField(this);
}

void IraBookDialog::Accept() {
    if (m_books->currentIndex() >= 0) {
        m_chosen = m_books->currentData().toInt();
        accept();
    }
}

std::optional<int> IraBookDialog::Ask(Database& db, QWidget* parent) {
    IraBookDialog dialog(db, parent);
    if (dialog.m_books->count() <= 1) {
        return dialog.m_books->count() == 1
                   ? std::optional<int>(dialog.m_books->itemData(0).toInt())
                   : std::nullopt;
    }
    dialog.exec();
    return dialog.Chosen();
}

}  // namespace zodra::books::ui

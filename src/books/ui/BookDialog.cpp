#include "books/ui/BookDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogButtonRow.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

BookDialog::BookDialog(const QString& title, const Choices& books, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    m_books = new QComboBox(this);
    m_books->setObjectName(QStringLiteral("Knjiga"));
    for (const auto& [code, name] : books) {
        m_books->addItem(QString::number(code) + QStringLiteral(" - ") + name, code);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Knjiga :"), m_books);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &BookDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    zodra::ui::FocusFirstField(this);
}

void BookDialog::Accept() {
    if (m_books->currentIndex() >= 0) {
        m_chosen = m_books->currentData().toInt();
        accept();
    }
}

std::optional<int> BookDialog::Ask(const QString& title, const Choices& books, QWidget* parent) {
    if (books.size() <= 1) {
        return books.empty() ? std::nullopt : std::optional<int>(books.front().first);
    }
    BookDialog dialog(title, books, parent);
    dialog.exec();
    return dialog.Chosen();
}

}  // namespace zodra::books::ui

#include "ui/PlaceholderWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/WindowTools.h"

#include "data/CommandCatalogue.h"

namespace zodra::ui {

PlaceholderWindow::PlaceholderWindow(const QString& controlName, const QString& caption,
                                     QWidget* parent)
    : QWidget(parent) {
    setObjectName(controlName);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(caption, this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    title->setFont(f);
    auto* text = new QLabel(commands::NotAvailableText(), this);
    text->setObjectName(QStringLiteral("placeholderText"));
    text->setWordWrap(true);
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addStretch();
    layout->addWidget(closeButton, 0, Qt::AlignRight);
    resize(420, 160);
}

}  // namespace zodra::ui

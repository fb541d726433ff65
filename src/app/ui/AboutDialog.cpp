#include "app/ui/AboutDialog.h"

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QVBoxLayout>

#include "data/Paths.h"

#ifndef ZODRA_VERSION
#define ZODRA_VERSION "0.0.0"
#endif

namespace zodra::ui {

QString VersionCaption() {
    return QStringLiteral("Zodra za Windows - Verzija ") + QStringLiteral(ZODRA_VERSION);
}

QStringList ContactLines() {
    QFile file(paths::ProgramFolder() + QStringLiteral("/kontakt.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd()) {
        lines << in.readLine();
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QWidget* MakeProgramCard(QWidget* parent) {
    auto* card = new QFrame(parent);
    card->setObjectName(QStringLiteral("ProgramCard"));
    auto* layout = new QHBoxLayout(card);
    auto* logo = new QLabel(card);
    const QPixmap picture(paths::ProgramFolder() + QStringLiteral("/logo.bmp"));
    if (!picture.isNull()) {
        logo->setPixmap(
            picture.scaledToHeight(qMin(picture.height(), 120), Qt::SmoothTransformation));
    }
    layout->addWidget(logo, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    auto* caption = new QLabel(VersionCaption(), card);
    caption->setObjectName(QStringLiteral("Verzija"));
    QFont f = caption->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    caption->setFont(f);
    text->addWidget(caption);
    const QStringList contact = ContactLines();
    if (!contact.isEmpty()) {
        text->addSpacing(8);
        text->addWidget(new QLabel(QStringLiteral("Kontakt:"), card));
        auto* lines = new QLabel(contact.join(QLatin1Char('\n')), card);
        lines->setObjectName(QStringLiteral("Kontakt"));
        text->addWidget(lines);
    }
    text->addStretch();
    layout->addLayout(text, 1);
    return card;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("O_programu"));
    setWindowTitle(QStringLiteral("O programu"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeProgramCard(this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace zodra::ui

#include "ui/PostedDocumentView.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

PostedDocumentView::PostedDocumentView(WindowHost& host,
                                       std::shared_ptr<const DocumentDescription> description,
                                       const QVariant& key, QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(description->postedCaption + key.toString());
    setObjectName(description->listCommand + QStringLiteral("_") + key.toString());
    auto* layout = new QVBoxLayout(this);
    QString summary;
    TableData lines;
    Guarded(host.UserPrompter(), [&] {
        if (description->postedSummary) {
            summary = description->postedSummary(host.CurrentSession(), key);
        }
        if (description->postedLines) {
            lines = description->postedLines(host.CurrentSession(), key);
        }
    });
    auto* label = new QLabel(summary, this);
    label->setObjectName(QStringLiteral("Zaglavlje"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    m_lines = new DataGrid(this);
    m_lines->SetData(std::move(lines));
    layout->addWidget(m_lines, 1);
    if (description->print) {
        auto* print = MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        connect(print, &QPushButton::clicked, this, [&host, description, key] {
            Guarded(host.UserPrompter(), [&] { description->print(host, key); });
        });
        layout->addWidget(print, 0, Qt::AlignRight);
    }
    resize(720, 440);
}

}  // namespace zodra::ui

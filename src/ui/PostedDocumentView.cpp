#include "ui/PostedDocumentView.h"

#include <QHBoxLayout>
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
                                       std::unique_ptr<PostedDocumentController> controller,
                                       QWidget* parent)
    : QWidget(parent), m_host(host), m_controller(std::move(controller)) {
    setWindowTitle(m_controller->Caption());
    auto* layout = new QVBoxLayout(this);
    QString summary;
    TableData lines;
    Guarded(host.UserPrompter(), [&] {
        summary = m_controller->Summary(host.CurrentSession());
        lines = m_controller->Lines(host.CurrentSession());
    });
    auto* label = new QLabel(summary, this);
    label->setObjectName(QStringLiteral("Zaglavlje"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    m_lines = new DataGrid(this);
    m_lines->SetData(std::move(lines));
    layout->addWidget(m_lines, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (m_controller->CanPrint()) {
        auto* print = MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        connect(print, &QPushButton::clicked, this,
                [this] { Guarded(m_host.UserPrompter(), [&] { m_controller->Print(m_host); }); });
        buttons->addWidget(print);
    }
    buttons->addWidget(MakeCloseButton(this));
    layout->addLayout(buttons);
    resize(720, 440);
}

PostedDocumentView::~PostedDocumentView() = default;

}  // namespace zodra::ui

#include "ui/PostedDocumentsWindow.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/DocumentTableView.h"
#include "ui/Guard.h"
#include "ui/PostedDocumentController.h"
#include "ui/PostedDocumentView.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString CaptionOr(const QString& caption, const QString& fallback) {
    return caption.isEmpty() ? fallback : caption;
}

}  // namespace

PostedDocumentsWindow::PostedDocumentsWindow(WindowHost& host,
                                             std::unique_ptr<DocumentListController> controller,
                                             QWidget* parent)
    : QWidget(parent), m_host(host), m_controller(std::move(controller)) {
    setObjectName(m_controller->Command());
    setWindowTitle(m_controller->Caption());
    auto* layout = new QVBoxLayout(this);
    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Dokumenti"));
    m_grid->SetSortable(true);
    layout->addWidget(m_grid, 1);
    if (m_controller->HasDetails()) {
        m_details = new QLabel(this);
        m_details->setObjectName(QStringLiteral("Podaci"));
        m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(m_details);
    }
    if (m_controller->HasTotals()) {
        m_totals = new QLabel(this);
        m_totals->setObjectName(QStringLiteral("Ukupno"));
        m_totals->setWordWrap(true);
        layout->addWidget(m_totals);
    }
    auto* buttons = new QHBoxLayout;
    auto* openButton = MakeButton(QStringLiteral("O&tvori"), QStringLiteral("Otvori"), this);
    buttons->addWidget(openButton);
    connect(openButton, &QPushButton::clicked, this, &PostedDocumentsWindow::OpenCurrent);
    for (const ListAction& action : m_controller->Actions()) {
        auto* b = MakeButton(action.caption, action.objectName, this);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, action] { RunAction(action); });
    }
    if (m_controller->CanPrint()) {
        auto* print = MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        buttons->addWidget(print);
        connect(print, &QPushButton::clicked, this, &PostedDocumentsWindow::PrintCurrent);
    }
    if (m_controller->CanCancel()) {
        auto* cancel = MakeButton(QStringLiteral("&Storno"), QStringLiteral("Storno"), this);
        buttons->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &PostedDocumentsWindow::CancelCurrent);
    }
    if (!m_controller->DeleteQuestion().isEmpty()) {
        auto* remove = MakeButton(QStringLiteral("Iz&briši"), QStringLiteral("Izbrisi"), this);
        buttons->addWidget(remove);
        connect(remove, &QPushButton::clicked, this, &PostedDocumentsWindow::DeleteCurrent);
    }
    if (m_controller->HasTable()) {
        auto* table = MakeButton(CaptionOr(m_controller->TableCaption(), QStringLiteral("Tablica")),
                                 QStringLiteral("Tablica"), this);
        buttons->addWidget(table);
        connect(table, &QPushButton::clicked, this, &PostedDocumentsWindow::OpenTable);
    }
    buttons->addStretch();
    auto* closeButton = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(closeButton);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    layout->addLayout(buttons);
    connect(m_grid, &QAbstractItemView::activated, this, &PostedDocumentsWindow::OpenCurrent);
    if (m_details) {
        connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &PostedDocumentsWindow::ShowDetails);
    }
    Reload();
    resize(720, 480);
}

PostedDocumentsWindow::~PostedDocumentsWindow() = default;

void PostedDocumentsWindow::RunAction(const ListAction& action) {
    const QVariant key = CurrentKey();
    if (!key.isValid()) {
        return;
    }
    Guarded(m_host.UserPrompter(),
            [&] { m_controller->RunAction(action.objectName, m_host, key); });
    if (action.reloads) {
        Reload();
    }
}

void PostedDocumentsWindow::Reload() {
    TableData rows;
    if (Guarded(m_host.UserPrompter(),
                [&] { rows = m_controller->Documents(m_host.CurrentSession()); })) {
        m_grid->SetData(std::move(rows));
    }
    if (m_totals) {
        QString text;
        Guarded(m_host.UserPrompter(),
                [&] { text = m_controller->Totals(m_host.CurrentSession()); });
        m_totals->setText(text);
    }
    ShowDetails();
}

void PostedDocumentsWindow::ShowDetails() {
    if (!m_details) {
        return;
    }
    const QVariant key = CurrentKey();
    QString text;
    if (key.isValid()) {
        Guarded(m_host.UserPrompter(),
                [&] { text = m_controller->Details(m_host.CurrentSession(), key); });
    }
    m_details->setText(text);
}

void PostedDocumentsWindow::OpenTable() {
    const QString name = m_controller->Command() + QStringLiteral("_tablica");
    if (m_host.FindWindow(name)) {
        return;
    }
    auto* view = new DocumentTableView(m_host, *m_controller);
    view->setObjectName(name);
    m_host.ShowWindow(view, view->windowTitle());
}

QVariant PostedDocumentsWindow::CurrentKey() const {
    const int row = m_grid->CurrentRow();
    return row < 0 ? QVariant() : m_grid->Data().Value(row, m_controller->KeyColumn());
}

void PostedDocumentsWindow::OpenCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid()) {
        return;
    }
    std::unique_ptr<PostedDocumentController> document;
    if (!Guarded(m_host.UserPrompter(), [&] { document = m_controller->OpenDocument(key); }) ||
        !document) {
        return;
    }
    auto* view = new PostedDocumentView(m_host, std::move(document));
    view->setObjectName(m_controller->Command() + QStringLiteral("_") + key.toString());
    m_host.ShowWindow(view, view->windowTitle());
}

void PostedDocumentsWindow::DeleteCurrent() {
    const QVariant key = CurrentKey();
    const QString question = m_controller->DeleteQuestion();
    if (!key.isValid() || question.isEmpty() ||
        !Guarded(m_host.UserPrompter(), [&] { m_controller->CheckBeforeDelete(m_host, key); }) ||
        !m_host.UserPrompter().AskYesNo(question, m_controller->DeleteTitle(), false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_controller->Delete(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::CancelCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid() || !m_controller->CanCancel()) {
        return;
    }
    if (!Guarded(m_host.UserPrompter(), [&] { m_controller->CheckBeforeCancel(m_host, key); })) {
        return;
    }
    const QString question = m_controller->CancelQuestion();
    if (!question.isEmpty() &&
        !m_host.UserPrompter().AskYesNo(question, m_controller->CancelTitle(), false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_controller->Cancel(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::PrintCurrent() {
    const QVariant key = CurrentKey();
    if (key.isValid() && m_controller->CanPrint()) {
        Guarded(m_host.UserPrompter(), [&] { m_controller->Print(m_host, key); });
    }
}

PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::unique_ptr<DocumentListController> controller) {
    if (auto* open = qobject_cast<PostedDocumentsWindow*>(host.FindWindow(controller->Command()))) {
        open->Reload();
        return open;
    }
    const QString caption = controller->Caption();
    auto* window = new PostedDocumentsWindow(host, std::move(controller));
    host.ShowWindow(window, caption);
    return window;
}

}  // namespace zodra::ui

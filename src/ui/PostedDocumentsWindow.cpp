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
                                             std::shared_ptr<const DocumentDescription> description,
                                             QWidget* parent)
    : QWidget(parent), m_host(host), m_description(std::move(description)) {
    setObjectName(m_description->listCommand);
    setWindowTitle(m_description->listCaption);
    auto* layout = new QVBoxLayout(this);
    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Dokumenti"));
    layout->addWidget(m_grid, 1);
    if (m_description->listDetails) {
        m_details = new QLabel(this);
        m_details->setObjectName(QStringLiteral("Podaci"));
        m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(m_details);
    }
    if (m_description->listTotals) {
        m_totals = new QLabel(this);
        m_totals->setObjectName(QStringLiteral("Ukupno"));
        m_totals->setWordWrap(true);
        layout->addWidget(m_totals);
    }
    auto* buttons = new QHBoxLayout;
    auto* openButton = MakeButton(QStringLiteral("&Otvori"), QStringLiteral("Otvori"), this);
    buttons->addWidget(openButton);
    connect(openButton, &QPushButton::clicked, this, &PostedDocumentsWindow::OpenCurrent);
    for (const ListAction& action : m_description->listActions) {
        auto* b = MakeButton(action.caption, action.objectName, this);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, action] {
            const QVariant key = CurrentKey();
            if (!key.isValid() || !action.run) {
                return;
            }
            Guarded(m_host.UserPrompter(), [&] { action.run(m_host, key); });
            if (action.reloads) {
                Reload();
            }
        });
    }
    if (m_description->print) {
        auto* print = MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
        buttons->addWidget(print);
        connect(print, &QPushButton::clicked, this, &PostedDocumentsWindow::PrintCurrent);
    }
    if (m_description->cancelPosted) {
        auto* cancel = MakeButton(QStringLiteral("&Storno"), QStringLiteral("Storno"), this);
        buttons->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &PostedDocumentsWindow::CancelCurrent);
    }
    if (m_description->deletePosted && !m_description->deleteQuestion.isEmpty()) {
        auto* remove = MakeButton(QStringLiteral("Iz&briši"), QStringLiteral("Izbrisi"), this);
        buttons->addWidget(remove);
        connect(remove, &QPushButton::clicked, this, &PostedDocumentsWindow::DeleteCurrent);
    }
    if (m_description->tableRows) {
        auto* table = MakeButton(CaptionOr(m_description->tableCaption, QStringLiteral("Tablica")),
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

void PostedDocumentsWindow::Reload() {
    TableData rows;
    if (m_description->postedDocuments && Guarded(m_host.UserPrompter(), [&] {
            rows = m_description->postedDocuments(m_host.CurrentSession());
        })) {
        m_grid->SetData(std::move(rows));
    }
    if (m_totals) {
        QString text;
        Guarded(m_host.UserPrompter(),
                [&] { text = m_description->listTotals(m_host.CurrentSession()); });
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
                [&] { text = m_description->listDetails(m_host.CurrentSession(), key); });
    }
    m_details->setText(text);
}

void PostedDocumentsWindow::OpenTable() {
    const QString name = m_description->listCommand + QStringLiteral("_tablica");
    if (m_host.FindWindow(name)) {
        return;
    }
    auto* view = new DocumentTableView(m_host, m_description);
    view->setObjectName(name);
    m_host.ShowWindow(view, view->windowTitle());
}

QVariant PostedDocumentsWindow::CurrentKey() const {
    const int row = m_grid->CurrentRow();
    return row < 0 ? QVariant() : m_grid->Data().Value(row, m_description->keyColumn);
}

void PostedDocumentsWindow::OpenCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid()) {
        return;
    }
    auto* view = new PostedDocumentView(m_host, m_description, key);
    m_host.ShowWindow(view, view->windowTitle());
}

void PostedDocumentsWindow::DeleteCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid() || !m_host.UserPrompter().AskYesNo(m_description->deleteQuestion,
                                                          m_description->deleteTitle.isEmpty()
                                                              ? m_description->listCaption
                                                              : m_description->deleteTitle,
                                                          false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_description->deletePosted(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::CancelCurrent() {
    const QVariant key = CurrentKey();
    if (!key.isValid() || !m_description->cancelPosted) {
        return;
    }
    if (!m_description->cancelQuestion.isEmpty() &&
        !m_host.UserPrompter().AskYesNo(
            m_description->cancelQuestion,
            CaptionOr(m_description->cancelTitle, m_description->listCaption), false)) {
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_description->cancelPosted(m_host, key); });
    Reload();
}

void PostedDocumentsWindow::PrintCurrent() {
    const QVariant key = CurrentKey();
    if (key.isValid() && m_description->print) {
        Guarded(m_host.UserPrompter(), [&] { m_description->print(m_host, key); });
    }
}

PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::shared_ptr<const DocumentDescription> description) {
    if (auto* open =
            qobject_cast<PostedDocumentsWindow*>(host.FindWindow(description->listCommand))) {
        open->Reload();
        return open;
    }
    auto* window = new PostedDocumentsWindow(host, description);
    host.ShowWindow(window, description->listCaption);
    return window;
}

}  // namespace zodra::ui

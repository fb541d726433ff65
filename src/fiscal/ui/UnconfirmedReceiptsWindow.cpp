#include "fiscal/ui/UnconfirmedReceiptsWindow.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QVBoxLayout>

#include "data/CommandCatalogue.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "fiscal/FiscalService.h"
#include "fiscal/Outbox.h"
#include "ui/CommandRegistry.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::fiscal::ui {

using zodra::ui::Guarded;

QString UnconfirmedReceiptsCommand() {
    return QStringLiteral("Nepotvrdeni_racuni");
}

QString UnconfirmedReceiptsCaption() {
    return QStringLiteral("Nepotvrđeni računi");
}

UnconfirmedReceiptsWindow::UnconfirmedReceiptsWindow(zodra::ui::WindowHost& host,
                                                     QString settingsFile, QWidget* parent)
    : QWidget(parent), m_host(host), m_settingsFile(std::move(settingsFile)) {
    setObjectName(UnconfirmedReceiptsCommand());
    setWindowTitle(UnconfirmedReceiptsCaption());
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Racuni"));
    auto* retry = zodra::ui::MakeButton(QStringLiteral("&Pošalji ponovno (F5)"),
                                        QStringLiteral("PosaljiPonovno"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(retry);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    connect(retry, &QPushButton::clicked, this, &UnconfirmedReceiptsWindow::Retry);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    f5->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f5, &QShortcut::activated, this, &UnconfirmedReceiptsWindow::Retry);
    Reload();
    resize(760, 380);
    m_grid->setFocus();
}

void UnconfirmedReceiptsWindow::Reload() {
    TableData rows;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { rows = UnconfirmedReceiptsTable(m_host.CurrentSession().Db()); })) {
        return;
    }
    const bool any = rows.RowCount() > 0;
    m_grid->SetData(std::move(rows));
    if (any) {
        m_grid->SelectRow(0);
    }
}

void UnconfirmedReceiptsWindow::Retry() {
    Prompter& prompter = m_host.UserPrompter();
    Guarded(prompter, [&] {
        Database& db = m_host.CurrentSession().Db();
        if (UnconfirmedCount(db) == 0 && PendingChangeCount(db) == 0 &&
            UnconfirmedReportCount(db) == 0) {
            prompter.Inform(QStringLiteral("Nema nepotvrđenih računa."),
                            UnconfirmedReceiptsCaption());
            return;
        }
        QSettings workstation(m_settingsFile, QSettings::IniFormat);
        FiscalService service(db, ReadFiscalSettings(db, workstation),
                              QDateTime::currentDateTime());
        if (!service.CanDeliver()) {
            prompter.Inform(QStringLiteral("Fiskalizacija nije uključena."),
                            UnconfirmedReceiptsCaption());
            return;
        }
        const RetryResult result = service.RetryOutbox(db);
        prompter.Inform(RetryResultText(result), UnconfirmedReceiptsCaption());
    });
    Reload();
}

void RegisterFiscalCommands(zodra::ui::CommandRegistry& registry, const QString& settingsFile) {
    registry.Register(UnconfirmedReceiptsCommand(), [settingsFile](zodra::ui::WindowHost& host) {
        if (host.FindWindow(UnconfirmedReceiptsCommand())) {
            return;
        }
        auto* w = new UnconfirmedReceiptsWindow(host, settingsFile);
        host.ShowWindow(w, commands::WindowCaption(UnconfirmedReceiptsCommand()));
    });
}

}  // namespace zodra::fiscal::ui

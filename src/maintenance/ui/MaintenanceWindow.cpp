#include "maintenance/ui/MaintenanceWindow.h"
#include "maintenance/ui/TransferWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "maintenance/Archive.h"
#include "maintenance/Maintenance.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::maintenance::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString Folder(Session& session) {
    return QFileInfo(session.databasePath).absolutePath();
}

}  // namespace

MaintenanceWindow::MaintenanceWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Odrzavanje_baze_podataka"));
    setWindowTitle(T(u"Održavanje baze podataka"));
    auto* layout = new QVBoxLayout(this);
    const struct {
        const char16_t* caption;
        const char16_t* name;
        void (MaintenanceWindow::*action)();
    } defs[] = {
        {u"&Compact baze podataka", u"Compact", &MaintenanceWindow::Compact},
        {u"&Backup baze podataka", u"Backup", &MaintenanceWindow::Archive},
        {u"&Promjena passworda baze podataka", u"Password", &MaintenanceWindow::ChangePassword},
        {u"&Vraćanje iz arhive", u"Vracanje", &MaintenanceWindow::Restore},
    };
    for (const auto& d : defs) {
        auto* b = new QPushButton(T(d.caption), this);
        b->setObjectName(T(d.name));
        connect(b, &QPushButton::clicked, this, d.action);
        layout->addWidget(b);
    }
    auto* transfer = new QPushButton(T(u"P&rijenos podataka"), this);
    transfer->setObjectName(QStringLiteral("Prijenos"));
    connect(transfer, &QPushButton::clicked, this, [this] { OpenTransferWindow(m_host); });
    layout->addWidget(transfer);
    auto* close = new QPushButton(QStringLiteral("&Zatvori"), this);
    close->setObjectName(QStringLiteral("Zatvori"));
    connect(close, &QPushButton::clicked, this, [this] { zodra::ui::CloseWindowFrame(this); });
    layout->addWidget(close);
}

void MaintenanceWindow::Compact() {
    Prompter& prompter = m_host.UserPrompter();
    const QString title = T(u"Pakiranje datoteke");
    if (!prompter.AskYesNo(
            T(u"Prije pakiranja datoteke obavezno napravite BACKUP! Želite li nastaviti?"), title,
            false)) {
        return;
    }
    // The session's connection is replaced during the compaction: no other window may hold it.
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QMdiArea*>(w)) {
            if (area->subWindowList().size() > 1) {
                prompter.Inform(T(u"Prije pakiranja datoteke zatvorite sve ostale prozore."),
                                title);
                return;
            }
            break;
        }
    }
    zodra::ui::Guarded(prompter, [&] {
        compaction::Result result;
        {
            BusyCursor busy;
            result = CompactOpenCompany(m_host.CurrentSession());
        }
        if (!result.ok) {
            prompter.Inform(result.message, title);
            return;
        }
        QString text = T(u"Pakiranje datoteke napravljeno uspješno.");
        if (!result.keptOriginal.isEmpty()) {
            text = T(u"Popravak datoteke napravljen uspješno. Original je sačuvan kao ") +
                   result.keptOriginal;
        }
        if (!result.detailMessage.isEmpty()) {
            text += T(u"\nDatoteka detalja nije sažeta: ") + result.detailMessage;
        }
        prompter.Inform(text, title);
    });
}

void MaintenanceWindow::Archive() {
    Prompter& prompter = m_host.UserPrompter();
    Session& session = m_host.CurrentSession();
    const QString path =
        prompter.ChooseFileToSave(T(u"Upišite naziv arhive"), T(u"Zip arhive|*.zip"),
                                  Folder(session), QStringLiteral(".zip"));
    if (path.isEmpty()) {
        return;
    }
    zodra::ui::Guarded(prompter, [&] {
        {
            BusyCursor busy;
            ArchiveCompany(session.Db(), path);
        }
        prompter.Inform(T(u"Arhiva ") + path + T(u" je napravljena."), T(u"Backup baze podataka"));
    });
}

void MaintenanceWindow::ChangePassword() {
    Prompter& prompter = m_host.UserPrompter();
    Session& session = m_host.CurrentSession();
    const QString path =
        prompter.ChooseFileToOpen(T(u"Izaberite bazu podataka kojoj mijenjate password"),
                                  T(u"Zodra datoteke|*.mdb"), Folder(session));
    if (path.isEmpty()) {
        return;
    }
    const std::optional<QString> password =
        prompter.AskPassword(T(u"Upišite novi password:"), T(u"Promjena passworda"));
    if (!password) {
        return;
    }
    zodra::ui::Guarded(prompter, [&] {
        maintenance::ChangePassword(session, path, *password);
        prompter.Inform(T(u"Password je promijenjen!"), T(u"Promjena passworda"));
    });
}

void MaintenanceWindow::Restore() {
    Prompter& prompter = m_host.UserPrompter();
    Session& session = m_host.CurrentSession();
    const QString archive = prompter.ChooseFileToOpen(
        T(u"Vraćanje iz arhive"), T(u"Arhive i dnevne kopije|*.zip;*.bak"), Folder(session));
    if (archive.isEmpty()) {
        return;
    }
    const QString target = prompter.ChooseFileToSave(
        T(u"Nova datoteka"), T(u"Zodra datoteke|*.mdb"), Folder(session), QStringLiteral(".mdb"));
    if (target.isEmpty()) {
        return;
    }
    zodra::ui::Guarded(prompter, [&] {
        RestoreResult restored;
        {
            BusyCursor busy;
            restored = maintenance::Restore(archive, target);
        }
        prompter.Inform(T(u"Poduzeće je vraćeno iz arhive u datoteku ") + restored.companyPath +
                            QStringLiteral("."),
                        T(u"Vraćanje iz arhive"));
    });
}

void RegisterMaintenanceCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("Odrzavanje_baze_podataka"), [](zodra::ui::WindowHost& host) {
        if (QWidget* open = host.FindWindow(QStringLiteral("Odrzavanje_baze_podataka"))) {
            (void)open;
            return;
        }
        host.SetStatusText(T(u" Održavanje baze podataka"));
        host.ShowWindow(new MaintenanceWindow(host), T(u"Održavanje baze podataka"));
    });
}

}  // namespace zodra::maintenance::ui

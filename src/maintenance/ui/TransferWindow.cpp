#include "maintenance/ui/TransferWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "transfer/DataTransfer.h"
#include "ui/ProgressSteps.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::maintenance::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString Folder(Session& session) {
    return QFileInfo(session.databasePath).absolutePath();
}

}  // namespace

TransferWindow::TransferWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Prijenos_podataka"));
    setWindowTitle(QStringLiteral("Prijenos podataka"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(T(u"Primke skladišta u kojem se nalazite"), this);
    layout->addWidget(label);
    const struct {
        const char16_t* caption;
        const char16_t* name;
        void (TransferWindow::*action)();
    } defs[] = {
        {u"&Snimanje primki", u"Snimanje", &TransferWindow::WriteFile},
        {u"Slanje primki &e-mailom", u"Email", &TransferWindow::Mail},
        {u"&Donos primki", u"Donos", &TransferWindow::ReadFile},
        {u"Donos primki iz druge &baze", u"DonosBaza", &TransferWindow::ReadCompany},
    };
    for (const auto& d : defs) {
        auto* b = new QPushButton(T(d.caption), this);
        b->setObjectName(T(d.name));
        connect(b, &QPushButton::clicked, this, d.action);
        layout->addWidget(b);
    }
    auto* close = new QPushButton(QStringLiteral("&Zatvori"), this);
    close->setObjectName(QStringLiteral("Zatvori"));
    connect(close, &QPushButton::clicked, this, [this] { zodra::ui::CloseWindowFrame(this); });
    layout->addWidget(close);
    layout->addStretch();
}

void TransferWindow::WriteFile() {
    Session& session = m_host.CurrentSession();
    if (const std::optional<QString> written =
            transfer::RunWriteFile(session, m_host.UserPrompter(), Folder(session))) {
        m_lastFile = *written;
    }
}

void TransferWindow::Mail() {
    Prompter& prompter = m_host.UserPrompter();
    QString file = m_lastFile;
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        file = prompter.ChooseFileToOpen(T(u"Izbor datoteke prijenosa primki"),
                                         T(u"Datoteka prijenosa primki|*.zip"),
                                         Folder(m_host.CurrentSession()));
        if (file.isEmpty()) {
            return;
        }
    }
    transfer::RunMail(prompter, file);
}

void TransferWindow::ReadFile() {
    Read(true);
}

void TransferWindow::ReadCompany() {
    Read(false);
}

void TransferWindow::Read(bool fromFile) {
    Session& session = m_host.CurrentSession();
    std::unique_ptr<zodra::ui::ProgressSteps> progress;
    transfer::RunRead(
        session, m_host.UserPrompter(), Folder(session), fromFile, [&](int done, int total) {
            if (!progress) {
                progress = std::make_unique<zodra::ui::ProgressSteps>(
                    m_host.DialogParent(), T(u"Donos primki"), T(u"Knjiženje primki…"));
            }
            progress->Step(done, total);
        });
}

void OpenTransferWindow(zodra::ui::WindowHost& host) {
    if (QWidget* open = host.FindWindow(QStringLiteral("Prijenos_podataka"))) {
        (void)open;
        return;
    }
    host.SetStatusText(QStringLiteral(" Prijenos podataka"));
    host.ShowWindow(new TransferWindow(host), QStringLiteral("Prijenos podataka"));
}

}  // namespace zodra::maintenance::ui

#include "maintenance/ui/TransferWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <string_view>

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
    const struct {
        const char16_t* caption;
        const char16_t* name;
        void (TransferWindow::*action)(transfer::Kind);
        transfer::Kind kind;
    } defs[] = {
        {u"&Snimanje primki", u"Snimanje", &TransferWindow::WriteFile, transfer::Kind::Receipts},
        {u"Slanje primki &e-mailom", u"Email", &TransferWindow::Mail, transfer::Kind::Receipts},
        {u"&Donos primki", u"Donos", &TransferWindow::ReadFile, transfer::Kind::Receipts},
        {u"Donos primki iz druge &baze", u"DonosBaza", &TransferWindow::ReadCompany,
         transfer::Kind::Receipts},
        {u"S&nimanje otpremnica", u"SnimanjeOtpremnica", &TransferWindow::WriteFile,
         transfer::Kind::Deliveries},
        {u"Slanje otpremnica e-&mailom", u"EmailOtpremnica", &TransferWindow::Mail,
         transfer::Kind::Deliveries},
        {u"D&onos otpremnica", u"DonosOtpremnica", &TransferWindow::ReadFile,
         transfer::Kind::Deliveries},
        {u"Donos otpremnica iz druge b&aze", u"DonosOtpremnicaBaza", &TransferWindow::ReadCompany,
         transfer::Kind::Deliveries},
    };
    for (const auto& d : defs) {
        if (d.name == std::u16string_view(u"Snimanje")) {
            layout->addWidget(new QLabel(T(u"Primke skladišta u kojem se nalazite"), this));
        } else if (d.name == std::u16string_view(u"SnimanjeOtpremnica")) {
            layout->addWidget(new QLabel(T(u"Otpremnice skladišta u kojem se nalazite"), this));
        }
        auto* b = new QPushButton(T(d.caption), this);
        b->setObjectName(T(d.name));
        connect(b, &QPushButton::clicked, this,
                [this, action = d.action, kind = d.kind] { (this->*action)(kind); });
        layout->addWidget(b);
    }
    auto* close = new QPushButton(QStringLiteral("&Zatvori"), this);
    close->setObjectName(QStringLiteral("Zatvori"));
    connect(close, &QPushButton::clicked, this, [this] { zodra::ui::CloseWindowFrame(this); });
    layout->addWidget(close);
    layout->addStretch();
}

void TransferWindow::WriteFile(transfer::Kind kind) {
    Session& session = m_host.CurrentSession();
    if (const std::optional<QString> written =
            transfer::RunWriteFile(session, m_host.UserPrompter(), Folder(session), kind)) {
        m_lastFile[kind == transfer::Kind::Receipts ? 0 : 1] = *written;
    }
}

void TransferWindow::Mail(transfer::Kind kind) {
    Prompter& prompter = m_host.UserPrompter();
    const bool receipts = kind == transfer::Kind::Receipts;
    QString file = m_lastFile[receipts ? 0 : 1];
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        file = prompter.ChooseFileToOpen(receipts ? T(u"Izbor datoteke prijenosa primki")
                                                  : T(u"Izbor datoteke prijenosa otpremnica"),
                                         receipts ? T(u"Datoteka prijenosa primki|*.zip")
                                                  : T(u"Datoteka prijenosa otpremnica|*.zip"),
                                         Folder(m_host.CurrentSession()));
        if (file.isEmpty()) {
            return;
        }
    }
    transfer::RunMail(prompter, file, {}, kind);
}

void TransferWindow::ReadFile(transfer::Kind kind) {
    Read(true, kind);
}

void TransferWindow::ReadCompany(transfer::Kind kind) {
    Read(false, kind);
}

void TransferWindow::Read(bool fromFile, transfer::Kind kind) {
    Session& session = m_host.CurrentSession();
    const bool receipts = kind == transfer::Kind::Receipts;
    std::unique_ptr<zodra::ui::ProgressSteps> progress;
    transfer::RunRead(
        session, m_host.UserPrompter(), Folder(session), fromFile,
        [&](int done, int total) {
            if (!progress) {
                progress = std::make_unique<zodra::ui::ProgressSteps>(
                    m_host.DialogParent(), receipts ? T(u"Donos primki") : T(u"Donos otpremnica"),
                    receipts ? T(u"Knjiženje primki…") : T(u"Knjiženje izmjena cijena…"));
            }
            progress->Step(done, total);
        },
        kind);
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

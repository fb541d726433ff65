#include "app/ui/LoginDialog.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/Users.h"
#include "data/Prompter.h"
#include "ui/Guard.h"

namespace zodra::ui {

LoginDialog::LoginDialog(Database& db, Prompter& prompter, const QString& presetName,
                         QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(presetName, this);
    m_name->setObjectName(QStringLiteral("txtUserName"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&User Name:"), m_name);
    form->addRow(QStringLiteral("&Password:"), m_password);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (TryLogin()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(320);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        adjustSize();
        move(area.center() - rect().center());
    }
    (presetName.isEmpty() ? m_name : m_password)->setFocus();
}

bool LoginDialog::TryLogin() {
    bool ok = false;
    Guarded(m_prompter,
            [&] { ok = users::Login(m_db, m_prompter, m_name->text(), m_password->text()); });
    if (!ok) {
        m_password->clear();
        m_name->setFocus();
        m_name->selectAll();
        return false;
    }
    m_user = m_name->text();
    return true;
}

}  // namespace zodra::ui

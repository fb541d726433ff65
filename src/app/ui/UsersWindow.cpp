#include "app/ui/UsersWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/WindowTools.h"

#include "app/Users.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

}  // namespace

UsersWindow::UsersWindow(WindowHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Sifarnici_Korisnici"));
    setWindowTitle(QStringLiteral("Korisnici"));
    for (const users::Right& r : users::Rights()) {
        m_columns << r.column;
    }
    m_columns << users::SessionRightColumns();
    auto* layout = new QVBoxLayout(this);
    // One column per user, one row per right: a company has a few users and many rights.
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("Korisnici"));
    m_grid->setRowCount(static_cast<int>(m_columns.size()) + 1);
    QStringList rows{QStringLiteral("Password")};
    rows << m_columns;
    m_grid->setVerticalHeaderLabels(rows);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectColumns);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char16_t* caption;
        const char16_t* name;
    } defs[] = {{u"&Novi korisnik", u"NoviKorisnik"},
                {u"Promjena &passworda", u"PromjenaPassworda"},
                {u"&Izbriši", u"Izbrisi"}};
    QList<QPushButton*> made;
    for (const auto& d : defs) {
        auto* b = new QPushButton(T(d.caption), this);
        b->setObjectName(T(d.name));
        buttons->addWidget(b);
        made << b;
    }
    buttons->addStretch();
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(made[0], &QPushButton::clicked, this, &UsersWindow::AddUser);
    connect(made[1], &QPushButton::clicked, this, &UsersWindow::ChangePassword);
    connect(made[2], &QPushButton::clicked, this, &UsersWindow::DeleteUser);
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindowFrame(this); });
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->row() < 1) {
            return;
        }
        const QString user = m_grid->horizontalHeaderItem(item->column())->text();
        const QString column = m_columns.value(item->row() - 1);
        const bool on = item->checkState() == Qt::Checked;
        if (!Guarded(m_host.UserPrompter(),
                     [&] { users::SetRight(m_host.CurrentSession().Db(), user, column, on); })) {
            Reload();
        }
    });
    Reload();
    resize(560, 640);
}

void UsersWindow::Reload() {
    const QString keep = CurrentUser();
    std::vector<users::UserRights> all;
    if (!Guarded(m_host.UserPrompter(),
                 [&] { all = users::AllRights(m_host.CurrentSession().Db()); })) {
        return;
    }
    const QSignalBlocker block(m_grid);
    m_grid->setColumnCount(static_cast<int>(all.size()));
    for (int col = 0; col < static_cast<int>(all.size()); ++col) {
        const users::UserRights& u = all[col];
        m_grid->setHorizontalHeaderItem(col, new QTableWidgetItem(u.name));
        auto* password = new QTableWidgetItem(u.hasPassword ? T(u"postavljen") : T(u"nema"));
        password->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_grid->setItem(0, col, password);
        for (int r = 0; r < m_columns.size(); ++r) {
            auto* check = new QTableWidgetItem;
            check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            const auto it = u.rights.find(m_columns[r]);
            check->setCheckState(it != u.rights.end() && it->second ? Qt::Checked : Qt::Unchecked);
            m_grid->setItem(r + 1, col, check);
        }
    }
    m_grid->resizeColumnsToContents();
    if (!SelectUser(keep) && m_grid->columnCount() > 0) {
        m_grid->setCurrentCell(0, 0);
        m_grid->selectColumn(0);
    }
}

QString UsersWindow::CurrentUser() const {
    const int col = m_grid->currentColumn();
    return col >= 0 && m_grid->horizontalHeaderItem(col) ? m_grid->horizontalHeaderItem(col)->text()
                                                         : QString();
}

bool UsersWindow::SelectUser(const QString& name) {
    for (int col = 0; col < m_grid->columnCount(); ++col) {
        if (m_grid->horizontalHeaderItem(col)->text() == name) {
            m_grid->setCurrentCell(0, col);
            m_grid->selectColumn(col);
            return true;
        }
    }
    return false;
}

bool UsersWindow::AskNewPassword(const QString& user, QString* password) {
    Prompter& p = m_host.UserPrompter();
    const auto first =
        p.AskPassword(T(u"Upišite novi password za korisnika ") + user + T(u":"), windowTitle());
    if (!first) {
        return false;
    }
    const auto second = p.AskPassword(T(u"Ponovite novi password:"), windowTitle());
    if (!second) {
        return false;
    }
    if (*first != *second) {
        p.Inform(T(u"Upisani passwordi nisu jednaki. Password nije promijenjen."), windowTitle());
        return false;
    }
    *password = *first;
    return true;
}

void UsersWindow::AddUser() {
    const auto name = m_host.UserPrompter().AskText(T(u"Upišite korisničko ime:"), windowTitle());
    if (!name) {
        return;
    }
    if (!Guarded(m_host.UserPrompter(),
                 [&] { users::AddUser(m_host.CurrentSession().Db(), *name, QString(), false); })) {
        return;
    }
    const QString user = name->trimmed();
    QString password;
    if (AskNewPassword(user, &password)) {
        Guarded(m_host.UserPrompter(),
                [&] { users::SetPassword(m_host.CurrentSession().Db(), user, password); });
    }
    Reload();
    SelectUser(user);
}

void UsersWindow::ChangePassword() {
    const QString user = CurrentUser();
    QString password;
    if (user.isEmpty() || !AskNewPassword(user, &password)) {
        return;
    }
    if (Guarded(m_host.UserPrompter(),
                [&] { users::SetPassword(m_host.CurrentSession().Db(), user, password); })) {
        m_host.UserPrompter().Inform(T(u"Password je promijenjen!"), windowTitle());
        Reload();
    }
}

void UsersWindow::DeleteUser() {
    const QString user = CurrentUser();
    if (user.isEmpty() ||
        !m_host.UserPrompter().AskYesNo(
            T(u"Sigurno želite izbrisati korisnika ") + user + QStringLiteral(" ?"),
            QStringLiteral("BRISANJE"), false)) {
        return;
    }
    if (Guarded(m_host.UserPrompter(),
                [&] { users::DeleteUser(m_host.CurrentSession().Db(), user); })) {
        Reload();
    }
}

}  // namespace zodra::ui

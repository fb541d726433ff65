#pragma once

#include <QWidget>

class QTableWidget;

namespace zodra::ui {

class WindowHost;

// "Korisnici": every user with a check box per right, changed in place; new users, password
// changes through a dialog (a password is never shown, and stored only as a hash) and
// deletion. Rights take effect at the user's next login.
class UsersWindow : public QWidget {
    Q_OBJECT
public:
    explicit UsersWindow(WindowHost& host, QWidget* parent = nullptr);
    QTableWidget* Grid() const { return m_grid; }
    void Reload();
    QString CurrentUser() const;
    bool SelectUser(const QString& name);
    void AddUser();
    void ChangePassword();
    void DeleteUser();

private:
    bool AskNewPassword(const QString& user, QString* password);

    WindowHost& m_host;
    QTableWidget* m_grid;
    QStringList m_columns;
};

}  // namespace zodra::ui

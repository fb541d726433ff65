#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::ui {

// frmLogin ("Login"): user name and password for the company just opened. "OK" checks them
// exactly (letter case included); a refusal says "Neispravan username ili password." and lets
// the user try again. "Cancel" (or Escape) leaves without a user.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    LoginDialog(Database& db, Prompter& prompter, const QString& presetName,
                QWidget* parent = nullptr);
    // The user who logged in (empty until then).
    QString UserName() const { return m_user; }
    QLineEdit* NameField() const { return m_name; }
    QLineEdit* PasswordField() const { return m_password; }
    // "OK": true when the login was accepted.
    bool TryLogin();

private:
    Database& m_db;
    Prompter& m_prompter;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QString m_user;
};

}  // namespace zodra::ui

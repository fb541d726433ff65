#pragma once

#include <QDialog>
#include <QMap>
#include <utility>
#include <vector>

class QLineEdit;
class QListWidget;
class QTableWidget;

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::ui {

class WindowHost;

// "Upis podataka poduzeća": the company record (the data that heads every printed document,
// "R-1"/"R-2", the article order, automatic backup) and further bank accounts. "Prihvati"
// needs a name and a bank account, saves, and in a session applies the "R-2" menus and the
// article order at once. "Postavke" opens the settings window.
class CompanyDataDialog : public QDialog {
    Q_OBJECT
public:
    // `host` is the main window during a session (null for a company being created).
    CompanyDataDialog(Database& db, Prompter& prompter, QWidget* parent = nullptr,
                      WindowHost* host = nullptr);
    QWidget* Field(const QString& column) const { return m_fields.value(column); }
    bool Accept();
    void AddAccount();
    void DeleteAccount();
    void ShowSettings();

private:
    void Load();
    void LoadAccounts();

    Database& m_db;
    Prompter& m_prompter;
    WindowHost* m_host;
    QMap<QString, QWidget*> m_fields;
    QListWidget* m_accounts;
};

}  // namespace zodra::ui

#pragma once

#include <QDialog>
#include <QMap>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
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

// "Postavke": logo, report names, number format, receipt printer port, the detail file, and
// the way to "Konfiguracija".
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(Database& db, Prompter& prompter, QWidget* parent = nullptr);
    QLineEdit* Field(const QString& column) const { return m_fields.value(column); }
    bool Save();
    void ChooseLogo();
    void RelinkDetail();

private:
    Database& m_db;
    Prompter& m_prompter;
    QMap<QString, QLineEdit*> m_fields;
};

// "Konfiguracija": the company's settings and this workstation's, each a grid in which only
// the value can be changed ("Mijenjati možete samo polje vrijednosti."). Changes take effect
// the next time the settings are read.
class ConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    ConfigurationDialog(Database& db, Prompter& prompter, const QString& workstationFile,
                        QWidget* parent = nullptr);
    QTableWidget* CompanyGrid() const { return m_company; }
    QTableWidget* WorkstationGrid() const { return m_workstation; }

private:
    QTableWidget* MakeGrid(const std::vector<std::pair<QString, QString>>& rows);

    Database& m_db;
    Prompter& m_prompter;
    QString m_workstationFile;
    QTableWidget* m_company;
    QTableWidget* m_workstation;
};

}  // namespace zodra::ui

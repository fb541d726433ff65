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
    // "Test": a test receipt on the receipt printer and a test text on the customer display, as
    // this workstation's settings now stand; the outcome in a message.
    void TestPosDevices();

private:
    QTableWidget* MakeGrid(const std::vector<std::pair<QString, QString>>& rows);

    Database& m_db;
    Prompter& m_prompter;
    QString m_workstationFile;
    QTableWidget* m_company;
    QTableWidget* m_workstation;
};

}  // namespace zodra::ui

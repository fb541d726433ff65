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

}  // namespace zodra::ui

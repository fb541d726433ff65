#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace zodra::ui {

class DataGrid;
class WindowHost;

// "Administracija": free SQL against the company database for the administrator. "Execute
// Query" shows the rows of a query and can change nothing; "Execute SQL" changes data only
// after a Yes to its question; "Provjera" lists articles whose lots and card disagree.
class AdministrationWindow : public QWidget {
    Q_OBJECT
public:
    explicit AdministrationWindow(WindowHost& host, QWidget* parent = nullptr);
    QPlainTextEdit* Sql() const { return m_sql; }
    DataGrid* Result() const { return m_result; }
    QString Outcome() const;
    void ExecuteQuery();
    void ExecuteSql();
    void Check();

private:
    bool Allowed() const;

    WindowHost& m_host;
    QPlainTextEdit* m_sql;
    DataGrid* m_result;
    QLabel* m_outcome;
};

}  // namespace zodra::ui

#pragma once

#include <QDialog>
#include <vector>

#include "payments/BankStatement.h"

class QLabel;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Izvod banke": a camt.053 statement chosen ("Otvori izvod"), its lines with what each was
// matched to and why; Delete (or Space) on a matched line leaves it out or takes it back in.
// "Prihvati" asks "Upisati odabrane uplate (n) ?" and records the chosen lines as collections;
// the ambiguous and unmatched ones stay for the user to close by hand.
class BankStatementDialog : public QDialog {
    Q_OBJECT
public:
    BankStatementDialog(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    // Reads a statement file and matches it; false (with the message shown) when it cannot.
    bool Load(const QString& file);
    void ChooseFile();
    bool Accept();
    void ToggleSelected();
    zodra::ui::DataGrid* Grid() const { return m_grid; }

private:
    void Show();

    zodra::ui::WindowHost& m_host;
    BankStatement m_statement;
    std::vector<BankMatch> m_matches;
    std::vector<int> m_chosen;
    zodra::ui::DataGrid* m_grid = nullptr;
    QLabel* m_summary = nullptr;
};

}  // namespace zodra::payments::ui

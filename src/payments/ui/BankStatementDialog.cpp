#include "payments/ui/BankStatementDialog.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::payments::ui {

BankStatementDialog::BankStatementDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setWindowTitle(QStringLiteral("Izvod banke"));
    setObjectName(QStringLiteral("BankStatementDialog"));
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Stavke"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("Sazetak"));
    zodra::ui::OnListKeys(m_grid, [this] { ToggleSelected(); });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), m_grid);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, &BankStatementDialog::ToggleSelected);
    QPushButton* open =
        zodra::ui::MakeButton(QStringLiteral("O&tvori izvod"), QStringLiteral("Otvori"), this);
    connect(open, &QPushButton::clicked, this, &BankStatementDialog::ChooseFile);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] { Accept(); });
    auto* top = new QHBoxLayout;
    top->addWidget(open);
    top->addWidget(m_summary, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(buttons);
    resize(900, 420);
    Show();
    open->setFocus();
}

void BankStatementDialog::ChooseFile() {
    const QString file = m_host.UserPrompter().ChooseFileToOpen(
        QStringLiteral("Izvod banke"), QStringLiteral("Izvod banke (camt.053)|*.xml"), QString());
    if (!file.isEmpty()) {
        Load(file);
    }
}

bool BankStatementDialog::Load(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        m_host.UserPrompter().Inform(QStringLiteral("Datoteka se ne može otvoriti: ") + file);
        return false;
    }
    try {
        m_statement = ReadBankStatement(f.readAll());
        m_matches = MatchBankStatement(m_host.CurrentSession().Db(), m_statement);
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message());
        return false;
    }
    m_chosen.clear();
    for (const BankMatch& m : m_matches) {
        if (m.status == BankMatch::Status::Matched) {
            m_chosen.push_back(m.line.index);
        }
    }
    Show();
    m_grid->setFocus();
    return true;
}

void BankStatementDialog::Show() {
    const int row = m_grid->CurrentRow();
    m_grid->SetData(BankMatchTable(m_matches, m_chosen));
    if (m_grid->Data().RowCount() > 0) {
        m_grid->SelectRow(std::clamp(row, 0, m_grid->Data().RowCount() - 1));
    }
    m_summary->setText(m_statement.id.isEmpty()
                           ? QStringLiteral("Izvod nije učitan.")
                           : QStringLiteral("Izvod %1, redaka: %2, odabrano za upis: %3")
                                 .arg(m_statement.id)
                                 .arg(m_matches.size())
                                 .arg(m_chosen.size()));
}

void BankStatementDialog::ToggleSelected() {
    const int row = m_grid->CurrentRow();
    if (row < 0) {
        return;
    }
    const int index = m_grid->Data().Value(row, 0).toInt();
    const auto it = std::find_if(m_matches.begin(), m_matches.end(),
                                 [index](const BankMatch& m) { return m.line.index == index; });
    if (it == m_matches.end() || it->status != BankMatch::Status::Matched) {
        return;
    }
    const auto chosen = std::find(m_chosen.begin(), m_chosen.end(), index);
    if (chosen == m_chosen.end()) {
        m_chosen.push_back(index);
    } else {
        m_chosen.erase(chosen);
    }
    Show();
}

bool BankStatementDialog::Accept() {
    Prompter& prompter = m_host.UserPrompter();
    if (m_chosen.empty()) {
        prompter.Inform(QStringLiteral("Nema odabranih uplata za upis."));
        return false;
    }
    if (!prompter.AskYesNo(QStringLiteral("Upisati odabrane uplate (%1) ?").arg(m_chosen.size()),
                           windowTitle(), false)) {
        return false;
    }
    int recorded = 0;
    try {
        recorded = RecordBankMatches(m_host.CurrentSession(), m_matches, m_chosen);
    } catch (const UserError& e) {
        prompter.Inform(e.message());
        return false;
    }
    prompter.Inform(QStringLiteral("Upisano uplata: %1.").arg(recorded));
    m_matches = MatchBankStatement(m_host.CurrentSession().Db(), m_statement);
    m_chosen.clear();
    Show();
    return true;
}

}  // namespace zodra::payments::ui

#include "payments/ui/DebtReportDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "reports/ReportRange.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"

namespace zodra::payments::ui {

DebtReportDialog::DebtReportDialog(Prompter& prompter, int businessYear,
                                   std::vector<PartnerEntry> debtors, const QDate& today,
                                   QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_debtors(std::move(debtors)) {
    setWindowTitle(QStringLiteral("Izbor dužnika"));
    m_from = new zodra::ui::DateBox(prompter, this);
    m_to = new zodra::ui::DateBox(prompter, this);
    m_from->SetToday([today] { return today; });
    m_to->SetToday([today] { return today; });
    m_from->SetDate(reports::DefaultRangeFrom(businessYear));
    m_to->SetDate(reports::DefaultRangeTo(businessYear, today));
    auto* dates = new QGridLayout;
    dates->addWidget(new QLabel(QStringLiteral("Datumi"), this), 0, 0);
    dates->addWidget(new QLabel(QStringLiteral("od"), this), 0, 1);
    dates->addWidget(m_from, 0, 2);
    dates->addWidget(new QLabel(QStringLiteral("do"), this), 0, 3);
    dates->addWidget(m_to, 0, 4);

    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const PartnerEntry& debtor : m_debtors) {
        m_list->addItem(QString::number(debtor.code) + QStringLiteral(" - ") + debtor.name);
    }
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
    }

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &DebtReportDialog::Accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "Izaberite dužnike za koje želite izvještaj (koristite CTRL za višestruki izbor)"),
        this));
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_from->setFocus();
}

QString DebtReportDialog::NoDebtorMessage() {
    return QStringLiteral("Nije izabran niti jedan dužnik !");
}

void DebtReportDialog::Accept() {
    m_from->Commit();
    m_to->Commit();
    reports::RangeInput input;
    input.fromText = m_from->text();
    input.from = m_from->Date();
    input.toText = m_to->text();
    input.to = m_to->Date();
    if (const QString problem = DebtorDatesProblem(input); !problem.isEmpty()) {
        m_prompter.Inform(problem, windowTitle());
        return;
    }
    std::vector<int> chosen;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected()) {
            chosen.push_back(m_debtors.at(static_cast<std::size_t>(row)).code);
        }
    }
    if (chosen.empty()) {
        m_prompter.Inform(NoDebtorMessage(), windowTitle());
        return;
    }
    const auto range = reports::AcceptRange(input, m_prompter);
    if (!range) {
        return;
    }
    m_choice.range = range;
    m_choice.partners = std::move(chosen);
    accept();
}

}  // namespace zodra::payments::ui

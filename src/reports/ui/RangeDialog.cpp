#include "reports/ui/RangeDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"

namespace zodra::reports::ui {

RangeDialog::RangeDialog(Prompter& prompter, int businessYear, bool withNumbers, const QDate& today,
                         QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_withNumbers(withNumbers) {
    setWindowTitle(RangeDialogCaption());
    auto* grid = new QGridLayout;
    int row = 0;
    if (withNumbers) {
        m_first = new QLineEdit(this);
        m_last = new QLineEdit(this);
        grid->addWidget(new QLabel(QStringLiteral("Rbr"), this), row, 0);
        grid->addWidget(new QLabel(QStringLiteral("od"), this), row, 1);
        grid->addWidget(m_first, row, 2);
        grid->addWidget(new QLabel(QStringLiteral("do"), this), row, 3);
        grid->addWidget(m_last, row, 4);
        ++row;
    }
    m_from = new zodra::ui::DateBox(prompter, this);
    m_to = new zodra::ui::DateBox(prompter, this);
    m_from->SetToday([today] { return today; });
    m_to->SetToday([today] { return today; });
    m_from->SetDate(DefaultRangeFrom(businessYear));
    m_to->SetDate(DefaultRangeTo(businessYear, today));
    grid->addWidget(new QLabel(QStringLiteral("Datumi"), this), row, 0);
    grid->addWidget(new QLabel(QStringLiteral("od"), this), row, 1);
    grid->addWidget(m_from, row, 2);
    grid->addWidget(new QLabel(QStringLiteral("do"), this), row, 3);
    grid->addWidget(m_to, row, 4);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &RangeDialog::Accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    (withNumbers ? static_cast<QWidget*>(m_first) : m_from)->setFocus();
}

void RangeDialog::SetNumbers(std::optional<int> first, std::optional<int> last) {
    if (m_first) {
        m_first->setText(first ? QString::number(*first) : QString());
        m_last->setText(last ? QString::number(*last) : QString());
    }
}

void RangeDialog::Accept() {
    // A date still being typed is checked as if its box had been left.
    m_from->Commit();
    m_to->Commit();
    RangeInput input;
    input.fromText = m_from->text();
    input.from = m_from->Date();
    input.toText = m_to->text();
    input.to = m_to->Date();
    input.withNumbers = m_withNumbers;
    if (m_withNumbers) {
        input.firstText = m_first->text();
        input.lastText = m_last->text();
    }
    if (const auto range = AcceptRange(input, m_prompter)) {
        m_range = *range;
        accept();
    }
}

std::optional<ReportRange> RangeDialog::Ask(Prompter& prompter, QWidget* parent, int businessYear,
                                            bool withNumbers, std::optional<int> first,
                                            std::optional<int> last) {
    RangeDialog dialog(prompter, businessYear, withNumbers, QDate::currentDate(), parent);
    dialog.SetNumbers(first, last);
    if (dialog.exec() != QDialog::Accepted || dialog.Range().cancelled) {
        return std::nullopt;
    }
    return dialog.Range();
}

}  // namespace zodra::reports::ui

#pragma once

#include <QDate>
#include <QDialog>
#include <vector>

#include "payments/PaymentReport.h"

class QListWidget;

namespace zodra {
class Prompter;
}

namespace zodra::ui {
class DateBox;
}

namespace zodra::payments::ui {

// "Izbor dužnika": the dates of the invoices (or of their due dates) and the debtors the
// report is for, several at once with Ctrl or Shift. "Prihvati" checks the dates ("Početni
// datum nije ispravno upisan.", "Završni datum nije ispravno upisan.") and that a debtor is
// chosen; "Odustani" and Escape leave nothing chosen.
class DebtReportDialog : public QDialog {
    Q_OBJECT
public:
    DebtReportDialog(Prompter& prompter, int businessYear, std::vector<PartnerEntry> debtors,
                     const QDate& today = QDate::currentDate(), QWidget* parent = nullptr);

    zodra::ui::DateBox* FromBox() const { return m_from; }
    zodra::ui::DateBox* ToBox() const { return m_to; }
    QListWidget* DebtorList() const { return m_list; }
    // The choice after "Prihvati".
    const PaymentReportChoice& Choice() const { return m_choice; }

    void Accept();

    static QString NoDebtorMessage();  // "Nije izabran niti jedan dužnik !"

private:
    Prompter& m_prompter;
    std::vector<PartnerEntry> m_debtors;
    zodra::ui::DateBox* m_from = nullptr;
    zodra::ui::DateBox* m_to = nullptr;
    QListWidget* m_list = nullptr;
    PaymentReportChoice m_choice;
};

}  // namespace zodra::payments::ui

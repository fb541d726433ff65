#pragma once

#include <QDate>
#include <QDialog>
#include <optional>

#include "reports/ReportRange.h"

class QLineEdit;

namespace zodra {
class Prompter;
}

namespace zodra::ui {
class DateBox;
}

namespace zodra::reports::ui {

// "Određivanje ograničenja izvještaja": the dates of a report (from 1 January of the business
// year to today, or to 31 December when the business year is not this year) and, for the
// document summaries, the serial numbers ("Rbr"). "Prihvati" checks them ("Ograničenja nisu
// ispravno upisana." otherwise) and closes; "Odustani", Escape and closing leave the range
// cancelled. Shared by every report command that asks for limits.
class RangeDialog : public QDialog {
    Q_OBJECT
public:
    RangeDialog(Prompter& prompter, int businessYear, bool withNumbers,
                const QDate& today = QDate::currentDate(), QWidget* parent = nullptr);

    // Presets the numbers (first and last document of the kind).
    void SetNumbers(std::optional<int> first, std::optional<int> last);

    // The range after "Prihvati"; cancelled when the dialog was left otherwise.
    const ReportRange& Range() const { return m_range; }

    zodra::ui::DateBox* FromBox() const { return m_from; }
    zodra::ui::DateBox* ToBox() const { return m_to; }
    QLineEdit* FirstBox() const { return m_first; }
    QLineEdit* LastBox() const { return m_last; }

    // Shows the dialog modally; the range, or std::nullopt when cancelled.
    static std::optional<ReportRange> Ask(Prompter& prompter, QWidget* parent, int businessYear,
                                          bool withNumbers = false,
                                          std::optional<int> first = std::nullopt,
                                          std::optional<int> last = std::nullopt);

    // "Prihvati".
    void Accept();

private:
    Prompter& m_prompter;
    bool m_withNumbers;
    zodra::ui::DateBox* m_from = nullptr;
    zodra::ui::DateBox* m_to = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    ReportRange m_range;
};

}  // namespace zodra::reports::ui

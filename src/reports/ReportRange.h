#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zodra {
class Prompter;
}

namespace zodra::reports {

// The limits a report command asks for in the dialog "Određivanje ograničenja izvještaja":
// two dates, and for the document summaries also a range of serial numbers ("Rbr").
struct ReportRange {
    QDate from;
    QDate to;
    QString fromText;  // as typed: for titles ("… od 01.01.2026 do 31.03.2026")
    QString toText;
    QString fromDateArgs;  // "2026,1,1": year, month and day for DATE( … ) in formulas
    QString toDateArgs;
    std::optional<int> first;  // serial numbers, when the dialog has them
    std::optional<int> last;
    bool cancelled = true;
};

// What the dialog's fields hold when "Prihvati" is pressed. A date box that could not read
// its text holds an invalid date.
struct RangeInput {
    QString fromText;
    QDate from;
    QString toText;
    QDate to;
    bool withNumbers = false;
    QString firstText;
    QString lastText;
};

QString RangeDialogCaption();   // "Određivanje ograničenja izvještaja"
QString RangeInvalidMessage();  // "Ograničenja nisu ispravno upisana."

// Presets: from 1 January of the business year; to today when the calendar year is the
// business year, else 31 December of the business year.
QDate DefaultRangeFrom(int businessYear);
QDate DefaultRangeTo(int businessYear, const QDate& today);
// Year, month and day without leading zeros, joined by commas.
QString DateArgs(const QDate& date);

// "Prihvati": both dates valid (and both numbers whole numbers when the dialog has them), or
// "Ograničenja nisu ispravno upisana." is shown and nothing is returned. On success the range
// is not cancelled.
std::optional<ReportRange> AcceptRange(const RangeInput& input, Prompter& prompter);

}  // namespace zodra::reports

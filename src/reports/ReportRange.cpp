#include "reports/ReportRange.h"

#include "data/Prompter.h"

namespace zodra::reports {

QString RangeDialogCaption() {
    return QStringLiteral("Određivanje ograničenja izvještaja");
}

QString RangeInvalidMessage() {
    return QStringLiteral("Ograničenja nisu ispravno upisana.");
}

QDate DefaultRangeFrom(int businessYear) {
    return QDate(businessYear, 1, 1);
}

QDate DefaultRangeTo(int businessYear, const QDate& today) {
    return today.year() == businessYear ? today : QDate(businessYear, 12, 31);
}

QString DateArgs(const QDate& date) {
    return QString::number(date.year()) + QLatin1Char(',') + QString::number(date.month()) +
           QLatin1Char(',') + QString::number(date.day());
}

namespace {

std::optional<int> WholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::optional<ReportRange> AcceptRange(const RangeInput& input, Prompter& prompter) {
    ReportRange range;
    bool valid = input.from.isValid() && input.to.isValid();
    if (input.withNumbers) {
        range.first = WholeNumber(input.firstText);
        range.last = WholeNumber(input.lastText);
        valid = valid && range.first && range.last;
    }
    if (!valid) {
        prompter.Inform(RangeInvalidMessage(), RangeDialogCaption());
        return std::nullopt;
    }
    range.from = input.from;
    range.to = input.to;
    range.fromText = input.fromText.trimmed();
    range.toText = input.toText.trimmed();
    range.fromDateArgs = DateArgs(input.from);
    range.toDateArgs = DateArgs(input.to);
    range.cancelled = false;
    return range;
}

}  // namespace zodra::reports

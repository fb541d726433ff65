#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace zodra::registers {

// What entry boxes hold, read as the program needs it. Typed numbers follow the number boxes'
// rule (inputrules::ParseNumber): a decimal comma or point ("12,5", "12.5"); group separators,
// blanks inside, an exponent and "inf"/"nan" are not numbers; an empty box holds none.
std::optional<double> ParseNumber(const QVariant& typed);
// A whole number (a typed "15" or "15,0"; "15,5" is not one).
std::optional<qint64> ParseInteger(const QVariant& typed);
// The text of a box, blanks at both ends removed.
QString TextOf(const QVariant& typed);
// How a grid shows a stored number: decimal comma, no grouping, no trailing zeros.
QString NumberText(double value);
// A check box: true, 1, "1", "DA", "da", "true", "x" are ticked.
bool FlagOf(const QVariant& typed);

}  // namespace zodra::registers

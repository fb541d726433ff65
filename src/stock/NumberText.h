#pragma once

#include <QString>

namespace zodra::stock {

// A number as stock messages show it to the user: rounded to 10 decimals, with a decimal comma
// and without trailing zeros ("5", "5,5", "0,1234567891").
QString NumberText(double value);

}  // namespace zodra::stock

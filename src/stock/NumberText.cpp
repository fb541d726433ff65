#include "stock/NumberText.h"

#include "data/Rounding.h"

namespace zodra::stock {

QString NumberText(double value) {
    return ShownNumber(RoundQuantity(value), 10);
}

}  // namespace zodra::stock

#pragma once

#include <QDate>
#include <functional>

namespace zodra {
class Session;
}

namespace zodra::demo {

// Posts receipts in every warehouse of the demo company through the receipt's own calculation
// and posting (the session is moved from warehouse to warehouse): from the first working days
// of the year up to today, suppliers and articles of the demo, every fourth with a discount on
// the whole invoice and a transport cost. After each receipt `between` (when given) is called in
// the receipt's warehouse with the days up to the next receipt (or today), for what the demo
// does between deliveries. Returns the number posted.
int PostDemoReceipts(Session& session, const QDate& today, int perWarehouse = 30,
                     const std::function<void(const QDate& from, const QDate& to)>& between = {});

}  // namespace zodra::demo

#pragma once

#include <QDate>

namespace zodra {
class Session;
}

namespace zodra::demo {

// Posts receipts in every warehouse of the demo company through the receipt's own calculation
// and posting (the session is moved from warehouse to warehouse): from the first working days
// of the year up to today, suppliers and articles of the demo, every fourth with a discount on
// the whole invoice and a transport cost. Returns the number posted.
int PostDemoReceipts(Session& session, const QDate& today, int perWarehouse = 30);

}  // namespace zodra::demo

#pragma once

#include <QString>
#include <QStringList>
#include <map>

#include "app/Users.h"

namespace zodra::commands {

// What switches the commands on and off: whether a session is running, the user's rights,
// and the company and warehouse facts that hide menus whatever the rights say.
struct Situation {
    bool sessionActive = false;  // a company is open, with user and warehouse chosen
    QStringList recent;          // the recent databases, most recent first (empty = not set)
    const users::AppliedRights* rights = nullptr;  // the user's rights while in a session
    bool r2 = false;                               // company marked "R-2"
    bool commissionWarehouse = false;              // the active warehouse is a commission one
    bool employeesAndServiceDuration = false;      // company setting
    bool wordDocuments = false;                    // company setting
};

struct State {
    bool visible = true;
    bool enabled = true;
};

// The visible and enabled state of every menu, menu item and tool-bar button by control name,
// plus "DBComboSkladista" (the warehouse box).
std::map<QString, State> ComputeStates(const Situation& situation);

}  // namespace zodra::commands

#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::sessionstart {

// Warehouses as the warehouse boxes show them: (name, code), ordered by name.
QList<QPair<QString, int>> Warehouses(Database& db);

// Completes tax groups missing on posted lines from their articles, and empty 25 % columns of
// the input invoice book. Touches only the rows that need it (indexed), so it costs nothing on
// a company whose lines are complete.
int FixUpData(Database& db);

struct StartResult {
    bool openPlanner = false;  // the planner has entries for today
};

// Starts the working session in a warehouse (the warehouse choice's "Prihvati"): data fix-up,
// company settings, three session codes in order, company options and article order, the
// warehouse and its flags, exchange rates of the day. A warehouse code of 0 (none chosen) is
// refused with "Nije izabrano skladište." and nothing is started.
StartResult Start(Session& session, int warehouseCode, Prompter& prompter,
                  const QDate& today = QDate::currentDate());

// Reads the company options into the session (also after "Upis podataka poduzeća" is saved).
void LoadCompanyOptions(Session& session);

// Moves the session to another warehouse (the main window's warehouse box). A code with no
// row gives "Nije izabrano skladište !". Returns false when the warehouse was already active.
bool ChangeWarehouse(Session& session, int warehouseCode);

// Ends the session at program exit: the session's unfinished working copies are cleared (so
// they no longer hold stock on lots) and all three session codes are released.
void End(Session& session);

// The window title: path + ":" + warehouse + " - Zodra" + ", UserName: " + user.
QString Title(const Session& session);

}  // namespace zodra::sessionstart

#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "data/Session.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::users {

// One right of KORISNICI and the commands (menu items and tool-bar buttons, by control name)
// it enables.
struct Right {
    QString column;
    QStringList commands;
};
// Every right column in table order.
const std::vector<Right>& Rights();
// The three rights kept in the session for the document windows.
QStringList SessionRightColumns();

// The message of a refused login (also shown when the user's rights row is missing).
QString LoginRefusedMessage();

// The exact login check: the stored user name must equal the typed one in every character
// (letter case included) and the password must match.
bool CheckLogin(Database& db, const QString& typedName, const QString& typedPassword);

// The login window's "OK": on refusal the message is shown and false returned, so that the
// window stays open for another try (a mistyped password must not end the program at a till).
bool Login(Database& db, Prompter& prompter, const QString& typedName,
           const QString& typedPassword);

// What the user's row switches on for the session.
struct AppliedRights {
    bool found = false;                      // false: no row for the user
    std::map<QString, bool> commandEnabled;  // control name → enabled
    bool maintenanceEnabled = false;         // "Održavanje baze podataka": admin only
    bool usersVisible = false;               // "Korisnici": admin only
    bool administrationAllowed = false;      // "Administracija": admin only
    SessionRights session;
};
// A pure mapping from the user's row to enabled commands and session rights.
AppliedRights ApplyUserRights(Database& db, const QString& userName);

// User maintenance. Names are unique regardless of letter case; passwords are stored as
// Argon2id hashes (an empty password stays empty).
void AddUser(Database& db, const QString& name, const QString& password, bool allRights);
void SetPassword(Database& db, const QString& name, const QString& password);
void SetRight(Database& db, const QString& name, const QString& column, bool value);
void DeleteUser(Database& db, const QString& name);
QStringList UserNames(Database& db);

// Every user with every right (the "Korisnici" grid); passwords are never read out.
struct UserRights {
    QString name;
    bool hasPassword = false;
    std::map<QString, bool> rights;  // column → value, the Rights() columns and the session ones
};
std::vector<UserRights> AllRights(Database& db);

}  // namespace zodra::users

#pragma once

#include <QByteArray>
#include <QString>

#include "assets/FixedAssetRegister.h"

namespace zodra {
class Database;
}

namespace zodra::assets {

// A row of the fixed-asset register described in a JSON file ("vrsta": "dugotrajna-imovina",
// docs/fixed-asset-json.md), read and checked before anything is written.
struct JsonFixedAsset {
    int year = 0;
    bool numberGiven = false;  // without "redni_broj" the next free number at posting
    FixedAsset asset;
};

// Reads the file: a key of the wrong type, a missing one, a number out of its limits or a
// text the entry window would refuse is refused with its message (UserError).
JsonFixedAsset ParseFixedAssetJson(const QByteArray& json);

// Adds the row (the next free number when the file gave none) and returns its number. A number
// the year already has is refused with the entry window's message.
int PostFixedAssetFromJson(Database& db, const JsonFixedAsset& file);

// "Dugotrajna imovina je upisana pod brojem N u godini Y."
QString PostedMessage(int number, int year);

}  // namespace zodra::assets

#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "data/WorkstationSettings.h"

namespace zodra::workstationconfig {

// The workstation's configuration file: a small database with one table Konfiguracija
// (Naziv, Vrijednost), booleans stored as "True". Read once at program start.

// Every key with its default text, in the order the configuration window lists them.
const std::vector<std::pair<QString, QString>>& Keys();

// Reads the file (creating it with the defaults when it does not exist); a missing key takes
// its default.
WorkstationSettings Load(const QString& path);
// Reads into settings from already loaded key/value pairs (missing keys take defaults).
WorkstationSettings FromValues(const std::vector<std::pair<QString, QString>>& values);

// All rows of the file, in stored order (for the configuration window).
std::vector<std::pair<QString, QString>> ReadAll(const QString& path);
void Write(const QString& path, const QString& key, const QString& value);

// "COM" + n names the serial port n; we use /dev/ttyS(n−1). Any other text is a device path
// taken as it stands; an empty text means no port.
QString SerialDevice(const QString& portSetting);

}  // namespace zodra::workstationconfig

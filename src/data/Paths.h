#pragma once

#include <QString>

namespace zodra::paths {

// The folder of the program's data files (reports, logo, contact text): ZODRA_HOME when set,
// else "share" beside the executable (build tree), else the installed data folder.
QString ProgramFolder();
// The workstation configuration file: ZODRA_CONFIG when set, else ZodraConfig.cfg in the
// user's configuration folder (one per workstation and user).
QString WorkstationConfigFile();
// The user's data folder (the demo company lives there).
QString UserDataFolder();

}  // namespace zodra::paths

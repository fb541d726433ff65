#include "data/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zodra::paths {

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("ZODRA_HOME");
    if (!home.isEmpty()) {
        return QDir(home).absolutePath();
    }
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    for (const QString& candidate :
         {exeDir + QStringLiteral("/share"), exeDir + QStringLiteral("/../share"),
          exeDir + QStringLiteral("/../share/zodra"), QStringLiteral("/usr/share/zodra")}) {
        if (QFileInfo(candidate + QStringLiteral("/reports")).isDir() ||
            QFileInfo::exists(candidate + QStringLiteral("/logo.bmp"))) {
            return QDir(candidate).absolutePath();
        }
    }
    return exeDir;
}

QString WorkstationConfigFile() {
    const QString explicitPath = qEnvironmentVariable("ZODRA_CONFIG");
    if (!explicitPath.isEmpty()) {
        return explicitPath;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    folder += QStringLiteral("/Zodra");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/ZodraConfig.cfg");
}

QString UserDataFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folder += QStringLiteral("/Zodra");
    QDir().mkpath(folder);
    return folder;
}

}  // namespace zodra::paths

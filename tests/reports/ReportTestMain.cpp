#include <gtest/gtest.h>
#include <QGuiApplication>

// Reports need fonts and painting, hence the GUI application object; it runs on the offscreen
// platform. The report files are read from the source tree.
int main(int argc, char** argv) {
    qputenv("TZ", "Europe/Zagreb");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!qEnvironmentVariableIsSet("ZODRA_HOME")) {
        qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share");
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zodra"));
    QCoreApplication::setApplicationName(QStringLiteral("ZodraTest"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

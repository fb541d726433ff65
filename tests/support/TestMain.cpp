#include <gtest/gtest.h>
#include <QCoreApplication>

#include "support/ServerCompany.h"

// Qt SQL loads its drivers through the application object, so every test program has one.
int main(int argc, char** argv) {
    qputenv("TZ", "Europe/Zagreb");
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zodra"));
    QCoreApplication::setApplicationName(QStringLiteral("ZodraTest"));
    ::testing::InitGoogleTest(&argc, argv);
    zodra::test::AddServerRunEnvironment();
    return RUN_ALL_TESTS();
}

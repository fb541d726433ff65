// Zodra, the desktop program.

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/desktop/CommandWiring.h"
#include "app/desktop/Display.h"
#include "app/desktop/GuardedApplication.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/ZodraMain.h"
#include "books/KpiDailySales.h"
#include "fiscal/FiscalService.h"
#include "planner/ui/PlannerListener.h"
#include "ui/CommandRegistry.h"
#include "ui/InputConventions.h"

int main(int argc, char** argv) {
    const zodra::desktop::ProgramArguments arguments = zodra::desktop::ParseArguments(argc, argv);
    if (!zodra::desktop::DisplayAvailable()) {
        std::fputs(zodra::desktop::NoDisplayText(argv[0]).toLocal8Bit().constData(), stderr);
        return 2;
    }
    zodra::desktop::GuardedApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zodra"));
    QCoreApplication::setApplicationName(QStringLiteral("Zodra"));
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    // Qt's own texts (file dialogs, context menus) in Croatian where the translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Croatian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    zodra::ui::InstallInputConventions(app);

    // The splash shows while the main window is built (not when only the start-up is measured).
    zodra::ui::SplashWindow* splash = nullptr;
    if (!arguments.quitWhenReady) {
        splash = new zodra::ui::SplashWindow;
        splash->show();
        QApplication::processEvents();
    }

    zodra::ui::CommandRegistry registry;
    zodra::desktop::RegisterAllCommands(registry);
    QSettings settings(QStringLiteral("Zodra"), QStringLiteral("Zodra"));
    zodra::ui::ZodraMain window(registry, settings);
    // A retail payment or cancellation rebuilds the day's takings in the book of receipts and
    // expenditures (for R-2 companies), right after its own transaction.
    window.CurrentSession().afterRetailCollections = &zodra::books::AfterRetailCollections;
    // Every retail sale is fiscalized; receipts without a JIR are delivered in the background.
    zodra::fiscal::InstallFiscalHooks(window.CurrentSession(), settings.fileName());
    zodra::fiscal::StartOutboxRetries(window, window.CurrentSession(), settings.fileName());
    // The planner's bills are taken from start-up on, before a company is open (a signal then
    // is answered in the status bar and the bill waits).
    zodra::planner::PlannerListener planner(window);
    window.show();
    planner.Start();
    if (splash) {
        splash->close();
    }
    if (arguments.quitWhenReady) {
        // Start-up measurement and smoke checks: the main window is up and painted.
        QTimer::singleShot(0, &app, [&window] {
            window.repaint();
            QApplication::exit(0);
        });
    } else {
        QTimer::singleShot(0, &window, [&window, &arguments] { window.Start(arguments.company); });
    }
    try {
        return QApplication::exec();
    } catch (const std::exception& error) {
        // Only what escaped the event loop itself comes here; it is reported, not a crash.
        std::fputs(zodra::desktop::GuardedApplication::TextFor(error).toLocal8Bit().constData(),
                   stderr);
        return 1;
    }
}

#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QMdiArea>
#include <QStringList>
#include <memory>

#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

class QWidget;

namespace zodra::test {

// A folder of its own for a window test: a copy of the empty company ("firma.mdb" with its
// detail file), the workstation configuration and the user settings, so that a test never
// touches the real ones.
class WindowTestFolder {
public:
    WindowTestFolder();
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // A fresh copy of the empty company under `name` (with its detail file); returns its path.
    QString NewCompany(const QString& name = QStringLiteral("firma.mdb")) const;
    QString SettingsFile() const { return Path(QStringLiteral("Zodra.ini")); }

private:
    QTemporaryDir m_dir;
};

// A stand-in for the main window in window tests: a session started on a fresh copy of the
// empty company (user "admin", the warehouse given, business year 2026), a scripted prompter,
// a window area, and a record of the status texts and commands run. Commands run through the
// registry given (or are recorded only).
class TestHost : public ui::WindowHost {
public:
    explicit TestHost(const WindowTestFolder& folder, int warehouse = 1,
                      const QString& company = QStringLiteral("firma.mdb"));
    // The same on a fresh demo company ("demo.mdb": master data, warehouses, posted receipts
    // and, unless `withSales` is false, the demo's invoices).
    struct DemoCompany {
        bool withSales = true;
    };
    TestHost(const WindowTestFolder& folder, DemoCompany demo, int warehouse = 1);
    ~TestHost() override;

    Session& CurrentSession() override { return m_session; }
    Prompter& UserPrompter() override { return prompter; }
    QWidget* DialogParent() override { return &area; }
    QMdiSubWindow* ShowWindow(QWidget* window, const QString& caption) override;
    QWidget* FindWindow(const QString& objectName) override;
    void SetStatusText(const QString& text) override { statusTexts << text; }
    void RefillWarehouses() override { ++warehouseRefills; }
    void ReloadCompanyOptions() override { ++optionReloads; }
    void RunCommand(const QString& controlName) override;

    // The window shown last (the widget given to ShowWindow), or nullptr.
    QWidget* LastWindow() const;
    // Runs a command and gives the window it showed last (nullptr when none).
    QWidget* Open(const QString& controlName);
    // With ZODRA_SCREENSHOTS set to a folder: a window of the area (maximized) or a dialog as
    // it stands, saved there as `name`.png.
    void Photograph(QWidget* window, const QString& name);

    ScriptedPrompter prompter;
    QMdiArea area;
    QStringList statusTexts;
    QStringList commandsRun;
    int warehouseRefills = 0;
    int optionReloads = 0;
    ui::CommandRegistry* registry = nullptr;

private:
    void Start(const QString& path, int warehouse);

    Session m_session;
};

// Runs `action` on the modal dialog of type Dialog as soon as it is shown (a window that runs
// its own event loop cannot be driven from the test's code path). Schedule before the call
// that opens the dialog; several can be scheduled for dialogs that follow one another. Gives
// up after `timeoutMs` (the test then fails on what the dialog should have done).
template <typename Dialog, typename Action>
void WhenShown(Action action, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMs] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool due = dialog && dialog->isVisible();
        if (!due && clock->elapsed() < timeoutMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (due) {
            action(dialog);
        }
    });
    timer->start(5);
}

// Types text into a widget as a user would, key by key (Croatian letters too).
void TypeInto(QWidget* widget, const QString& text);
// Lets pending events (deferred selections, closing windows) run.
void Settle();

}  // namespace zodra::test

// The main function of a window test program: an application object with the program's input
// conventions, a fixed time zone and settings that stay in the test.
#define ZODRA_WINDOW_TEST_MAIN(TestClass)                                     \
    int main(int argc, char** argv) {                                         \
        qputenv("TZ", "Europe/Zagreb");                                       \
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty()       \
                                       ? QByteArray("offscreen")              \
                                       : qgetenv("QT_QPA_PLATFORM"));         \
        QApplication app(argc, argv);                                         \
        QCoreApplication::setOrganizationName(QStringLiteral("ZodraTest"));   \
        QCoreApplication::setApplicationName(QStringLiteral("ZodraWindows")); \
        zodra::ui::InstallInputConventions(app);                              \
        TestClass test;                                                       \
        return QTest::qExec(&test, argc, argv);                               \
    }

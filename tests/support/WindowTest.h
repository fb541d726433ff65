#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QMdiArea>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

class QDialog;
class QPushButton;
class QWidget;

namespace zodra {
class Database;
namespace ui {
class DocumentWindow;
}
}  // namespace zodra

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

// How a DemoHost is set up: the commands its registry holds, the demo with or without its sales,
// the warehouse the session starts in, and what it turns on beyond the session's start: the debug
// mode (postings checked for consistency), the purchase prices shown, a wide area for windows that
// need the room.
struct DemoHostSetup {
    std::function<void(ui::CommandRegistry&)> commands = {};
    bool withSales = true;
    bool debugMode = false;
    bool purchasePricesVisible = false;
    bool wide = false;
    int warehouse = 1;
};

namespace detail {
// Built before the host so that the company's folder and the registry outlive its session.
struct DemoHostParts {
    WindowTestFolder folder;
    ui::CommandRegistry commands;
};
}  // namespace detail

// A TestHost on a fresh demo company in a folder of its own, running commands through a registry
// of its own, with short ways to read one value from the company.
class DemoHost : private detail::DemoHostParts, public TestHost {
public:
    explicit DemoHost(const DemoHostSetup& setup = {});

    Database& Db() { return CurrentSession().Db(); }
    QVariant Scalar(const QString& sql, const QVariantList& params = {});
    int Int(const QString& sql, const QVariantList& params = {}) {
        return Scalar(sql, params).toInt();
    }
    double Real(const QString& sql, const QVariantList& params = {}) {
        return Scalar(sql, params).toDouble();
    }
    int Count(const QString& table);
    // The window shown last as a W, or nullptr.
    template <typename W>
    W* Last() const {
        return qobject_cast<W*>(LastWindow());
    }

    using detail::DemoHostParts::commands;
};

// A TestHost on a fresh empty company in a folder of its own, running commands through a
// registry of its own that `commands` fills.
class EmptyHost : private detail::DemoHostParts, public TestHost {
public:
    explicit EmptyHost(const std::function<void(ui::CommandRegistry&)>& fill, int warehouse = 1)
        : TestHost(folder, warehouse) {
        fill(commands);
        registry = &commands;
    }
    Database& Db() { return CurrentSession().Db(); }

    using detail::DemoHostParts::folder;
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

// Runs `fn` on the modal dialog of type Dialog that the next statement opens (the dialog must
// be shown by the time the event loop next runs).
template <typename Dialog, typename Fn>
void OnModal(Fn fn) {
    QTimer::singleShot(0, [fn] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        fn(dialog);
    });
}

// Types text into a widget as a user would, key by key (Croatian letters too).
void TypeInto(QWidget* widget, const QString& text);
// Lets pending events (deferred selections, closing windows) run.
void Settle();
// Makes a dialog the active window, so that the keys' focus changes happen on any platform
// (waits up to 20 s on a loaded machine; warns when it does not happen).
void Activate(QWidget* dialog);
// Replaces the text of a box by keys and presses Enter.
void Retype(QWidget* box, const QString& text);
// The push button of that object name inside `w`, or nullptr.
QPushButton* Button(QWidget* w, const QString& name);
QPushButton* Button(QWidget* w, const char* name);
// Chooses an entry of a document window's header box as the user does (the box commits on
// activation); a null value chooses the first entry.
void Choose(ui::DocumentWindow* w, const QString& key, const QVariant& value);
// The text of a PDF file as pdftotext lays it out.
QString PdfText(const QString& pdf);

// Closes a dialog that a failed check inside its WhenShown action left open.
struct CloseAfter {
    QDialog* dialog;
    ~CloseAfter();
};

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

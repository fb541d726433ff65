#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "app/desktop/CommandWiring.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "app/ui/ZodraMain.h"
#include "demo/DemoCompany.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowTools.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;
using zodra::test::WhenShown;

namespace {

// Answers every modal window as it appears: looks at it, then closes it (a dialog is
// rejected), so that a command that asks first (a date range, a choice) runs on.
class ModalWatcher : public QObject {
public:
    using Look = std::function<void(QWidget*)>;
    explicit ModalWatcher(Look look) : m_look(std::move(look)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::Poll);
        m_timer.start(10);
    }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || m_seen.contains(modal)) {
            return;
        }
        m_seen.insert(modal);
        QPointer<QWidget> target(modal);
        // Outside the timer's slot: the window may open one of its own.
        QTimer::singleShot(0, this, [this, target] {
            if (!target) {
                return;
            }
            m_look(target);
            if (auto* dialog = qobject_cast<QDialog*>(target.data())) {
                dialog->reject();
            } else if (target) {
                target->close();
            }
            if (target) {
                m_seen.remove(target.data());
            }
        });
    }

    QTimer m_timer;
    QSet<QWidget*> m_seen;
    Look m_look;
};

// Where a clerk types: a box, a choice, a check box or a grid (not a button).
bool IsField(const QWidget* w) {
    if (auto* line = qobject_cast<const QLineEdit*>(w)) {
        return !line->isReadOnly();
    }
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QCheckBox*>(w);
}

// The main window on a fresh demo company, opened as a clerk opens it.
struct Program {
    test::WindowTestFolder folder;
    QString company = folder.Path(u"demo.mdb"_s);
    QSettings settings{folder.SettingsFile(), QSettings::IniFormat};
    ScriptedPrompter prompter;
    CommandRegistry registry;
    std::unique_ptr<ZodraMain> main;

    Program() {
        demo::CreateDemoCompany(company, QDate(2026, 3, 2));
        desktop::RegisterAllCommands(registry);
        main = std::make_unique<ZodraMain>(registry, settings, &prompter);
        main->show();
        main->activateWindow();
    }
    bool Open() {
        WhenShown<LoginDialog>([](LoginDialog* d) {
            d->NameField()->setText(u"admin"_s);
            d->findChild<QPushButton*>(u"cmdOK"_s)->click();
        });
        WhenShown<WarehouseChoiceDialog>(
            [](WarehouseChoiceDialog* d) { d->findChild<QPushButton*>(u"Prihvati"_s)->click(); });
        return main->OpenCompany(company);
    }
};

}  // namespace

class EveryWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void afterTheWarehouseChoiceTheMainWindowHasTheKeyboard() {
        Program p;
        QVERIFY(p.Open());
        test::Settle();
        QTRY_COMPARE(QApplication::activeWindow(), p.main.get());
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->window(), p.main.get());
        // The menus answer Alt at once.
        QVERIFY(p.main->menuBar()->isEnabled());
    }

    // Every window a command of the registry opens, from the main window on the demo company:
    // no Alt+letter means two things (a window of the window area shares the Alt keys with the
    // menus), and a window of the window area opens with the keyboard in one of its fields.
    void everyWindowHasOneMeaningPerAltKeyAndTheFocusInside() {
        Program p;
        QVERIFY(p.Open());
        QStringList clashes;
        QStringList unfocused;
        int dialogs = 0;
        QString running;
        ModalWatcher watcher([&](QWidget* modal) {
            ++dialogs;
            for (const QString& clash : MnemonicClashes(modal)) {
                clashes << running + u" / "_s + modal->windowTitle() + u": "_s + clash;
            }
        });
        int windows = 0;
        QMdiArea* area = p.main->findChild<QMdiArea*>();
        QVERIFY(area);
        for (const QString& name : p.registry.Names()) {
            running = name;
            p.main->RunCommand(name);
            test::Settle();
            // Back from any dialog the command asked through, the main window is active again.
            QTRY_COMPARE(QApplication::activeWindow(), p.main.get());
            for (QMdiSubWindow* sub : area->subWindowList()) {
                area->setActiveSubWindow(sub);
                QWidget* window = sub->widget();
                ++windows;
                for (const QString& clash : MnemonicClashes(p.main.get())) {
                    clashes << name + u" / "_s + window->windowTitle() + u": "_s + clash;
                }
                QWidget* focus = QApplication::focusWidget();
                // A report shown straight from the menu holds the keys itself (pages, zoom).
                const bool reportWithKeys =
                    focus == window && qobject_cast<reports::ui::ReportWindow*>(window);
                // A window of buttons only (no field to type in) opens on its first button.
                const auto children = window->findChildren<QWidget*>();
                const bool buttonsOnly = std::none_of(children.begin(), children.end(),
                                                      [](QWidget* w) { return IsField(w); });
                const bool focusInside = focus && window->isAncestorOf(focus);
                const bool onButton =
                    buttonsOnly && focusInside && qobject_cast<QAbstractButton*>(focus);
                if (!reportWithKeys && !onButton && (!focusInside || !IsField(focus))) {
                    unfocused << name + u" / "_s + window->windowTitle() + u": "_s +
                                     (focus
                                          ? QString::fromLatin1(focus->metaObject()->className()) +
                                                QLatin1Char(' ') + focus->objectName()
                                          : u"-"_s);
                }
                delete sub;
            }
            test::Settle();
        }
        // The entry windows of the registers, as a shortcut button beside a field opens them.
        for (const QString& entry : p.registry.EntryNames()) {
            running = entry;
            p.registry.OpenEntry(entry, *p.main, p.main.get());
            test::Settle();
        }
        // The sweep saw the program's windows, not a handful.
        QVERIFY2(windows >= 20, qPrintable(QString::number(windows)));
        QVERIFY2(dialogs >= 15, qPrintable(QString::number(dialogs)));
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
        QVERIFY2(unfocused.isEmpty(), qPrintable(unfocused.join(QLatin1Char('\n'))));
    }
};

ZODRA_WINDOW_TEST_MAIN(EveryWindowTest)
#include "EveryWindowTest.moc"

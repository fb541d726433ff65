// zodra_tour: walks through the program's windows without a person at the keyboard.
//
//   zodra_tour --screenshots FOLDER COMPANY   one PNG per window (scripts/screenshots.sh)
//   zodra_tour --open COMPANY                 opens the company through login ("admin", no
//                                             password) and warehouse choice, then quits
//   zodra_tour --bare                         a bare Qt window that quits when it is up
//
// The last two are the start-up benchmark's measured run and its baseline. Every window the
// command registry knows is visited, so later windows appear in the screenshots by themselves.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/desktop/CommandWiring.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/AdministrationWindow.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "app/ui/ZodraMain.h"
#include "data/CommandCatalogue.h"
#include "purchasing/PriceCalculation.h"
#include "purchasing/ui/CalculationDialog.h"
#include "purchasing/ui/LineEntryDialog.h"
#include "registers/ui/ArticlePicker.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"

using namespace zodra;
using namespace zodra::ui;

namespace {

void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Answers modal windows as they appear: a handler given for the window's object name (or
// class), else the default — photograph it and close it (Yes/OK for a question, Escape for the
// rest).
class ModalDriver : public QObject {
public:
    using Handler = std::function<void(QWidget*)>;
    explicit ModalDriver(Handler fallback, int intervalMs = 20) : m_fallback(std::move(fallback)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::Poll);
        m_timer.start(intervalMs);
    }
    void On(const QString& name, Handler handler) { m_handlers[name] = std::move(handler); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || m_handled.contains(modal)) {
            return;
        }
        // A window is answered once; a window it opens in turn (its own event loop runs
        // inside the handler) is answered by a later poll.
        m_handled.insert(modal);
        connect(modal, &QObject::destroyed, this, [this, modal] { m_handled.remove(modal); });
        const QString key = modal->objectName().isEmpty()
                                ? QString::fromLatin1(modal->metaObject()->className())
                                : modal->objectName();
        const auto it = m_handlers.find(key);
        Handler h = m_fallback;
        if (it != m_handlers.end()) {
            h = it->second;
            m_handlers.erase(it);
        }
        // The handler runs outside this timer's slot: a timer does not fire again while its
        // slot runs, and the handler may open windows of its own.
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, this, [this, h, target] {
            if (!target) {
                return;
            }
            h(target);
            // Closed but kept (a dialog on the stack): it may be shown again later.
            if (target && !target->isVisible()) {
                m_handled.remove(target.data());
            }
        });
    }
    QTimer m_timer;
    std::map<QString, Handler> m_handlers;
    QSet<QWidget*> m_handled;
    Handler m_fallback;
};

void Close(QWidget* modal) {
    if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        // A question asked again and again (the answer below refused each time) is cancelled.
        static QString last;
        static int repeats = 0;
        const QString asked = input->windowTitle() + QLatin1Char('\n') + input->labelText();
        repeats = asked == last ? repeats + 1 : 0;
        last = asked;
        if (repeats >= 3) {
            input->reject();
            return;
        }
        // Exchange rates of the day for the demo's foreign currencies.
        input->setTextValue(QStringLiteral("7,5"));
        input->accept();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        for (QAbstractButton* b : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(b);
            if (role == QMessageBox::YesRole || role == QMessageBox::AcceptRole) {
                b->click();
                return;
            }
        }
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

void AnswerLogin(ModalDriver& driver, const std::function<void(QWidget*)>& before = {}) {
    driver.On(QStringLiteral("frmLogin"), [before](QWidget* w) {
        auto* d = static_cast<LoginDialog*>(w);
        d->NameField()->setText(QStringLiteral("admin"));
        if (before) {
            before(w);
        }
        if (!d->TryLogin()) {
            d->reject();
            return;
        }
        d->accept();
    });
}

void AnswerWarehouse(ModalDriver& driver, const std::function<void(QWidget*)>& before = {}) {
    driver.On(QStringLiteral("frmIzborSkladista"), [before](QWidget* w) {
        auto* d = static_cast<WarehouseChoiceDialog*>(w);
        if (before) {
            before(w);
        }
        if (d->Start()) {
            d->accept();
        } else {
            d->reject();
        }
    });
}

class Photographer {
public:
    explicit Photographer(const QString& folder) : m_folder(folder) { QDir().mkpath(folder); }
    void Take(QWidget* w, const QString& name) {
        QApplication::processEvents();
        const QString file =
            m_folder +
            QStringLiteral("/%1_%2.png").arg(++m_count, 2, 10, QLatin1Char('0')).arg(name);
        if (!w->grab().save(file)) {
            std::fprintf(stderr, "Slika se ne može zapisati: %s\n", qPrintable(file));
        }
    }
    int Count() const { return m_count; }

private:
    QString m_folder;
    int m_count = 0;
};

QString Slug(const QString& text) {
    QString s = text;
    const QString from = QString::fromUtf16(u"čćđšžČĆĐŠŽ");
    const QString to = QStringLiteral("ccdszCCDSZ");
    for (int i = 0; i < from.size(); ++i) {
        s.replace(from[i], to[i]);
    }
    s.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
    return s;
}

// The goods receipt with its dialogs: the quick line entry, the calculation window on an
// article, a line written, the summary data.
void Receipt(ZodraMain& main, ModalDriver& driver, Photographer& camera) {
    using purchasing::PriceCalculation;
    main.RunCommand(QStringLiteral("Knjizenje_primka"));
    Pause(80);
    auto* receipt =
        qobject_cast<DocumentWindow*>(main.FindWindow(QStringLiteral("Knjizenje_primka")));
    if (!receipt) {
        return;
    }
    auto* supplier =
        qobject_cast<QComboBox*>(receipt->Extra()->Editor(QStringLiteral("SIFRA DOBAVLJACA")));
    supplier->setCurrentIndex(supplier->count() > 1 ? 1 : 0);
    qobject_cast<QLineEdit*>(receipt->Extra()->Editor(QStringLiteral("DOKUMENT DOBAVLJACA")))
        ->setText(QStringLiteral("R-2026/0500"));
    auto pick = [](purchasing::ui::LineEntryDialog* d, int row, const QString& quantity) {
        d->Picker()->Box()->setCurrentIndex(row);
        d->Quantity()->setText(quantity);
        Q_EMIT d->Quantity()->valueEdited(d->Quantity()->Value());
    };
    // First the calculation window, then a line written by the quick entry itself.
    driver.On(QStringLiteral("frmKalkulacija"), [&camera](QWidget* w) {
        auto* c = static_cast<purchasing::ui::CalculationDialog*>(w);
        c->Type(PriceCalculation::Box::InvoicePrice, 0.62);
        c->Type(PriceCalculation::Box::DiscountPercent, 5);
        camera.Take(w, QStringLiteral("Kalkulacija_cijena"));
        c->reject();
    });
    driver.On(QStringLiteral("frmUpisPrimke"), [&camera, pick](QWidget* w) {
        auto* d = static_cast<purchasing::ui::LineEntryDialog*>(w);
        pick(d, 14, QStringLiteral("240"));
        camera.Take(w, QStringLiteral("Upis_stavke_primke"));
        QPointer<QWidget> dialog(w);
        QTimer::singleShot(0, w, [dialog, d] {
            d->AcceptLine();
            if (dialog) {
                d->reject();
            }
        });
    });
    receipt->AddLine();
    Pause(80);
    driver.On(QStringLiteral("frmUpisPrimke"), [pick](QWidget* w) {
        auto* d = static_cast<purchasing::ui::LineEntryDialog*>(w);
        pick(d, 10, QStringLiteral("24"));
        d->CostPrice()->setText(QStringLiteral("1,10"));
        Q_EMIT d->CostPrice()->valueEdited(1.10);
        d->Price()->setText(QStringLiteral("1,50"));
        Q_EMIT d->Price()->valueEdited(1.50);
        d->AcceptLine();
    });
    receipt->AddLine();
    Pause(80);
    camera.Take(&main, QStringLiteral("Primka_sa_stavkom"));
    driver.On(QStringLiteral("frmZbirniPodaciPrimke"), [&camera](QWidget* w) {
        camera.Take(w, QStringLiteral("Zbirni_podaci_primke"));
        static_cast<QDialog*>(w)->reject();
    });
    if (QPushButton* summary = receipt->ActionButton(QStringLiteral("ZbirniPodaci"))) {
        summary->click();
    }
    Pause(50);
    main.Area()->closeAllSubWindows();  // the question to abandon it is answered Yes
    Pause(50);
}

int Screenshots(const QString& folder, const QString& company) {
    Photographer camera(folder);
    ModalDriver driver([&camera](QWidget* modal) {
        camera.Take(modal, Slug(modal->windowTitle().isEmpty() ? modal->objectName()
                                                               : modal->windowTitle()));
        Close(modal);
    });
    {
        auto* splash = new SplashWindow;
        splash->show();
        Pause(100);
        camera.Take(splash, QStringLiteral("splash"));
        splash->close();
    }
    CommandRegistry registry;
    desktop::RegisterAllCommands(registry);
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("tour.ini")), QSettings::IniFormat);
    ZodraMain main(registry, settings);
    main.resize(1280, 800);
    main.show();
    Pause(100);
    camera.Take(&main, QStringLiteral("glavni_prozor"));

    AnswerLogin(driver, [&camera](QWidget* w) { camera.Take(w, QStringLiteral("login")); });
    AnswerWarehouse(driver,
                    [&camera](QWidget* w) { camera.Take(w, QStringLiteral("izbor_skladista")); });
    if (!main.OpenCompany(QFileInfo(company).absoluteFilePath())) {
        std::fprintf(stderr, "Poduzeće se nije otvorilo: %s\n", qPrintable(company));
        return 1;
    }
    Pause(100);
    camera.Take(&main, QStringLiteral("glavni_prozor_poduzece"));

    for (const char16_t* menu : {u"Poduzeca", u"Sifarnici", u"Knjizenje", u"Izvjestaji"}) {
        QMenu* m = main.MenuOf(QString::fromUtf16(menu));
        m->popup(main.mapToGlobal(QPoint(20, 40)));
        Pause(50);
        camera.Take(m, QStringLiteral("izbornik_") + QString::fromUtf16(menu));
        m->hide();
    }

    // The company data with its settings and configuration, one inside the other. A handler
    // must return before the next window runs its own event loop, so the clicks that open
    // them come afterwards.
    driver.On(QStringLiteral("Podaci_poduzeca"), [&camera, &driver](QWidget* w) {
        camera.Take(w, QStringLiteral("Upis_podataka_poduzeca"));
        driver.On(QStringLiteral("Postavke"), [&camera, &driver](QWidget* s) {
            camera.Take(s, QStringLiteral("Postavke"));
            driver.On(QStringLiteral("Konfiguracija"), [&camera](QWidget* c) {
                camera.Take(c, QStringLiteral("Konfiguracija"));
                static_cast<QDialog*>(c)->reject();
            });
            QPointer<QWidget> settingsWindow(s);
            QTimer::singleShot(0, s, [settingsWindow] {
                settingsWindow->findChild<QPushButton*>(QStringLiteral("Konfiguracija"))->click();
                if (settingsWindow) {
                    static_cast<QDialog*>(settingsWindow.data())->reject();
                }
            });
        });
        QPointer<QWidget> data(w);
        QTimer::singleShot(0, w, [data] {
            data->findChild<QPushButton*>(QStringLiteral("Postavke"))->click();
            if (data) {
                static_cast<QDialog*>(data.data())->reject();
            }
        });
    });
    main.RunCommand(QStringLiteral("Podaci_poduzeca"));
    Pause(50);

    // Every window the program has.
    QStringList names = registry.Names();
    names.removeAll(QStringLiteral("Podaci_poduzeca"));
    for (const QString& name : names) {
        main.RunCommand(name);
        Pause(80);
        if (!main.Area()->subWindowList().isEmpty()) {
            camera.Take(&main, Slug(commands::WindowCaption(name)));
        }
        if (name == QLatin1String("Skladista")) {
            // The entry window from the list's "Dodaj" (photographed by the driver).
            if (QWidget* list = main.FindWindow(name)) {
                list->findChild<QPushButton*>(QStringLiteral("Dodaj"))->click();
            }
        }
        main.Area()->closeAllSubWindows();
        Pause(30);
    }
    Receipt(main, driver, camera);
    main.ShowAdministration();
    if (auto* admin = qobject_cast<AdministrationWindow*>(
            main.FindWindow(QStringLiteral("Administracija")))) {
        admin->Sql()->setPlainText(QStringLiteral(
            "SELECT \"SIFRA\", \"NAZIV\", \"ADRESA\", \"MALOPRODAJA\" FROM \"SKLADISTA\""));
        admin->ExecuteQuery();
        Pause(50);
        camera.Take(&main, QStringLiteral("Administracija"));
        main.Area()->closeAllSubWindows();
    }
    main.RunCommand(QStringLiteral("O_programu"));
    Pause(50);
    main.close();  // the exit question is photographed and answered
    Pause(50);
    std::printf("%d slika u %s\n", camera.Count(), qPrintable(folder));
    return 0;
}

int OpenAndQuit(const QString& company) {
    // Answers at once, so that the measurement is the program's time, not the driver's.
    ModalDriver driver([](QWidget* modal) { Close(modal); }, 0);
    AnswerLogin(driver);
    AnswerWarehouse(driver);
    CommandRegistry registry;
    desktop::RegisterAllCommands(registry);
    QSettings settings(QStringLiteral("Zodra"), QStringLiteral("Zodra"));
    ZodraMain main(registry, settings);
    main.show();
    QApplication::processEvents();
    const bool opened = main.OpenCompany(QFileInfo(company).absoluteFilePath());
    main.repaint();
    // The measurement ends with the opened company on the screen; closing the database (its
    // journal is written back into the file) belongs to the program's exit, not to opening.
    std::fflush(nullptr);
    std::_Exit(opened ? 0 : 1);
}

int Bare() {
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Zodra"));
    window.resize(1180, 760);
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        window.repaint();
        QApplication::exit(0);
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zodra"));
    QCoreApplication::setApplicationName(QStringLiteral("Zodra"));
    InstallInputConventions(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--screenshots")) {
        return Screenshots(args[2], args[3]);
    }
    if (args.size() >= 3 && args[1] == QLatin1String("--open")) {
        return OpenAndQuit(args[2]);
    }
    if (args.size() >= 2 && args[1] == QLatin1String("--bare")) {
        return Bare();
    }
    std::fputs("zodra_tour --screenshots MAPA PODUZECE.mdb | --open PODUZECE.mdb | --bare\n",
               stderr);
    return 2;
}

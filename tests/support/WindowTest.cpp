#include "support/WindowTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QWidget>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "demo/DemoCompany.h"
#include "support/TestCompany.h"
#include "ui/DocumentWindow.h"
#include "ui/FieldForm.h"
#include "ui/WindowTools.h"

namespace zodra::test {

WindowTestFolder::WindowTestFolder() {
    qputenv("ZODRA_CONFIG", Path(QStringLiteral("ZodraConfig.cfg")).toUtf8());
}

QString WindowTestFolder::NewCompany(const QString& name) const {
    const QString path = Path(name);
    CopyTemplateCompany(path);
    return path;
}

TestHost::TestHost(const WindowTestFolder& folder, int warehouse, const QString& company) {
    const QString path = folder.NewCompany(company);
    {
        auto opened = Database::Open(path, QString());
        if (opened.status != Database::OpenStatus::Ok) {
            qFatal("the test company does not open");
        }
        opened.db->Exec(QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", "
                                       "\"ADRESA\", \"TELEFON\") VALUES (?, ?, 'Adresa', '01')"),
                        {warehouse, QStringLiteral("Skladište %1").arg(warehouse)});
    }
    Start(path, warehouse);
}

TestHost::TestHost(const WindowTestFolder& folder, DemoCompany demo, int warehouse) {
    const QString path = folder.Path(QStringLiteral("demo.mdb"));
    demo::CreateDemoCompany(path, QDate(2026, 3, 2), demo.withSales);
    Start(path, warehouse);
}

DemoHost::DemoHost(const DemoHostSetup& setup)
    : TestHost(folder, DemoCompany{setup.withSales}, setup.warehouse) {
    registry = &commands;
    if (setup.commands) {
        setup.commands(commands);
    }
    if (setup.debugMode) {
        CurrentSession().workstation.debugMode = true;
    }
    if (setup.purchasePricesVisible) {
        CurrentSession().rights.purchasePricesVisible = true;
    }
    if (setup.wide) {
        area.resize(1280, 800);
    }
}

QVariant DemoHost::Scalar(const QString& sql, const QVariantList& params) {
    return Db().Scalar(sql, params);
}

int DemoHost::Count(const QString& table) {
    return Int(QStringLiteral("SELECT COUNT(*) FROM \"") + table + QStringLiteral("\""));
}

void TestHost::Start(const QString& path, int warehouse) {
    auto opened = Database::Open(path, QString());
    if (opened.status != Database::OpenStatus::Ok) {
        qFatal("the test company does not open");
    }
    m_session.databasePath = path;
    m_session.userName = QStringLiteral("admin");
    m_session.Attach(std::move(opened.db));
    ScriptedPrompter quiet;
    sessionstart::Start(m_session, warehouse, quiet, QDate(2026, 3, 2));
    area.resize(1000, 700);
}

TestHost::~TestHost() {
    area.closeAllSubWindows();
}

QMdiSubWindow* TestHost::ShowWindow(QWidget* window, const QString& caption) {
    window->setWindowTitle(caption);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = area.addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    ui::ResolveMnemonicClashes(window);
    ui::FocusFirstField(window);
    return sub;
}

QWidget* TestHost::FindWindow(const QString& objectName) {
    for (QMdiSubWindow* sub : area.subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == objectName) {
            area.setActiveSubWindow(sub);
            return sub->widget();
        }
    }
    return nullptr;
}

void TestHost::RunCommand(const QString& controlName) {
    commandsRun << controlName;
    if (registry) {
        if (const auto* handler = registry->Find(controlName)) {
            (*handler)(*this);
        }
    }
}

QWidget* TestHost::LastWindow() const {
    const auto list = area.subWindowList(QMdiArea::CreationOrder);
    return list.isEmpty() ? nullptr : list.last()->widget();
}

QWidget* TestHost::Open(const QString& controlName) {
    RunCommand(controlName);
    Settle();
    return LastWindow();
}

void TestHost::Photograph(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("ZODRA_SCREENSHOTS");
    if (folder.isEmpty()) {
        return;
    }
    QDir().mkpath(folder);
    const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        area.show();
        sub->showMaximized();
        Settle();
        sub->grab().save(file);
        return;
    }
    window->show();
    Settle();
    window->grab().save(file);
}

void TypeInto(QWidget* widget, const QString& text) {
    // Qt Test's key clicks know ASCII only; Croatian letters are sent as key events that carry
    // their text, as a keyboard layout would send them.
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(widget, ch.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(widget, &press);
            QCoreApplication::sendEvent(widget, &release);
        }
    }
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void Activate(QWidget* dialog) {
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog, 20000)) {
        qWarning("the dialog did not become active");
    }
}

void Retype(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    TypeInto(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

QPushButton* Button(QWidget* w, const QString& name) {
    return w->findChild<QPushButton*>(name);
}

QPushButton* Button(QWidget* w, const char* name) {
    return Button(w, QString::fromLatin1(name));
}

void Choose(ui::DocumentWindow* w, const QString& key, const QVariant& value) {
    auto* box = qobject_cast<QComboBox*>(w->Extra()->Editor(key));
    const int index = value.isNull() ? 0 : box->findData(value);
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
    Settle();
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

CloseAfter::~CloseAfter() {
    if (dialog->isVisible()) {
        dialog->reject();
    }
}

}  // namespace zodra::test

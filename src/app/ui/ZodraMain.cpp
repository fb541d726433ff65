#include "app/ui/ZodraMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <set>

#include "app/AutoBackup.h"
#include "app/CommandStates.h"
#include "app/CompanyOpen.h"
#include "app/RecentDatabases.h"
#include "app/WorkstationConfig.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/AdministrationWindow.h"
#include "app/ui/CompanyDataDialog.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/LogoLabel.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "data/CommandCatalogue.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Paths.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/PlaceholderWindow.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The hourglass while the program works.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A caption with a keyboard accelerator: the first letter not yet used by its neighbours.
QString WithMnemonic(const QString& caption, std::set<QChar>& used) {
    if (caption.contains(QLatin1Char('&'))) {
        return caption;
    }
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i].toLower();
        if (c.isLetterOrNumber() && used.insert(c).second) {
            QString text = caption;
            text.insert(i, QLatin1Char('&'));
            return text;
        }
    }
    return caption;
}

// Tool-bar pictures: a coloured tile with a short mark, so that the 16 buttons are told apart
// at a glance without image files.
QIcon ToolIcon(const QString& mark, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(130));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(mark.size() > 1 ? 13 : 17);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, mark);
    return QIcon(pixmap);
}

QString ButtonMark(int index) {
    static const char16_t* const marks[] = {u"Ot", u"Za", u"Pa", u"Ar", u"Us", u"Pr", u"Rč", u"IC",
                                            u"Ms", u"KP", u"KI", u"Cj", u"Gr", u"?",  u"Iz", u"Pl"};
    return index >= 1 && index <= 16 ? QString::fromUtf16(marks[index - 1]) : QString();
}

QColor ButtonColour(int index) {
    // Company, registers, documents, books, help and exit in their own colours.
    if (index <= 2) {
        return QColor(0x2f, 0x5d, 0x8a);
    }
    if (index <= 5) {
        return QColor(0x3b, 0x7d, 0x4f);
    }
    if (index <= 9) {
        return QColor(0xb0, 0x6a, 0x1c);
    }
    if (index <= 13) {
        return QColor(0x6d, 0x4c, 0x8f);
    }
    if (index == 15) {
        return QColor(0x9e, 0x2b, 0x2b);
    }
    return QColor(0x4a, 0x5a, 0x6a);
}

}  // namespace

ZodraMain::ZodraMain(CommandRegistry& registry, QSettings& settings, Prompter* prompter,
                     QWidget* parent)
    : QMainWindow(parent),
      m_registry(registry),
      m_settings(settings),
      m_qtPrompter(this),
      m_prompter(prompter ? prompter : &m_qtPrompter) {
    setObjectName(QStringLiteral("ZodraMain"));
    setWindowTitle(QStringLiteral("Zodra"));
    // The program's icon: the tile of the logo.
    const QPixmap logoPicture(paths::ProgramFolder() + QStringLiteral("/logo.bmp"));
    if (!logoPicture.isNull()) {
        const int side = logoPicture.height();
        setWindowIcon(QIcon(logoPicture.copy(0, 0, side, side)));
    }
    BuildCentral();
    BuildMenus();
    BuildToolBar();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    statusBar()->addWidget(m_status, 1);

    Guarded(*m_prompter, [&] {
        m_session.workstation = workstationconfig::Load(paths::WorkstationConfigFile());
    });
    m_recent = recent::Normalised(recent::Load(m_settings));
    RebuildRecentMenu();
    if (!recent::LoadShowBars(m_settings)) {
        m_toolBar->setVisible(false);
        statusBar()->setVisible(false);
        m_actions.value(T(u"Pomoćne_trake"))->setChecked(false);
    }
    ApplyStates();
    resize(1180, 760);
}

ZodraMain::~ZodraMain() {
    // Windows that use the session go first.
    if (m_area) {
        for (QMdiSubWindow* sub : m_area->subWindowList()) {
            delete sub;
        }
    }
}

void ZodraMain::BuildCentral() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("LogoStrip"));
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(8, 4, 8, 4);
    m_logo = new LogoLabel(strip);
    m_logo->setObjectName(QStringLiteral("Logo"));
    const QPixmap logo(paths::ProgramFolder() + QStringLiteral("/logo.bmp"));
    if (!logo.isNull()) {
        m_logo->setPixmap(logo.scaledToHeight(56, Qt::SmoothTransformation));
    } else {
        m_logo->setText(QStringLiteral("Zodra"));
    }
    m_logo->setToolTip(QStringLiteral("Zodra"));
    connect(m_logo, &LogoLabel::doubleClicked, this, &ZodraMain::ShowAdministration);
    stripLayout->addWidget(m_logo);
    stripLayout->addStretch();
    m_warehouseStrip = new QWidget(strip);
    auto* wh = new QHBoxLayout(m_warehouseStrip);
    wh->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("Aktivno skladište:"), m_warehouseStrip);
    m_warehouseBox = new QComboBox(m_warehouseStrip);
    m_warehouseBox->setObjectName(QStringLiteral("DBComboSkladista"));
    m_warehouseBox->setMinimumWidth(240);
    label->setBuddy(m_warehouseBox);
    wh->addWidget(label);
    wh->addWidget(m_warehouseBox);
    stripLayout->addWidget(m_warehouseStrip);
    connect(m_warehouseBox, &QComboBox::activated, this,
            [this](int index) { ChangeWarehouse(m_warehouseBox->itemData(index).toInt()); });
    layout->addWidget(strip);
    m_area = new QMdiArea(central);
    m_area->setObjectName(QStringLiteral("WindowArea"));
    m_area->setBackground(QColor(0xe4, 0xe8, 0xec));
    layout->addWidget(m_area, 1);
    setCentralWidget(central);
}

void ZodraMain::BuildMenus() {
    std::map<QString, std::set<QChar>> used;
    for (const commands::Command& c : commands::Menu()) {
        QWidget* parentWidget = c.parent.isEmpty() ? static_cast<QWidget*>(menuBar())
                                                   : static_cast<QWidget*>(m_menus.value(c.parent));
        auto* parentMenu = qobject_cast<QMenu*>(parentWidget);
        std::set<QChar>& siblings = used[c.parent];
        switch (c.kind) {
            case commands::Kind::Menu: {
                auto* menu = new QMenu(WithMnemonic(c.caption, siblings), parentWidget);
                menu->setObjectName(c.name);
                menu->menuAction()->setObjectName(c.name);
                if (parentMenu) {
                    parentMenu->addMenu(menu);
                } else {
                    menuBar()->addMenu(menu);
                }
                m_menus.insert(c.name, menu);
                m_actions.insert(c.name, menu->menuAction());
                break;
            }
            case commands::Kind::Separator: {
                QAction* sep = parentMenu->addSeparator();
                sep->setObjectName(c.name);
                m_actions.insert(c.name, sep);
                break;
            }
            case commands::Kind::Item: {
                auto* action = new QAction(WithMnemonic(c.caption, siblings), this);
                action->setObjectName(c.name);
                action->setStatusTip(c.statusText);
                const QString name = c.name;
                connect(action, &QAction::triggered, this, [this, name] { Execute(name); });
                parentMenu->addAction(action);
                m_actions.insert(c.name, action);
                break;
            }
        }
    }
    connect(m_menus.value(T(u"Prozori")), &QMenu::aboutToShow, this, &ZodraMain::ListOpenWindows);
    m_actions.value(T(u"Pomoćne_trake"))->setCheckable(true);
    m_actions.value(T(u"Pomoćne_trake"))->setChecked(true);
    m_actions.value(T(u"Pomoc_pomoc"))->setShortcut(QKeySequence::HelpContents);
    m_actions.value(T(u"Otvori"))->setShortcut(QKeySequence::Open);
}

void ZodraMain::BuildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Alati"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(26, 26));
    int index = 1;
    for (const commands::ToolButton& b : commands::ToolBar()) {
        auto* action =
            new QAction(ToolIcon(ButtonMark(index), ButtonColour(index)), b.caption, this);
        action->setObjectName(b.name);
        action->setStatusTip(b.statusText);
        action->setToolTip(b.caption);
        m_toolBar->addAction(action);
        m_actions.insert(b.name, action);
        if (!b.popupMenu.isEmpty()) {
            QMenu* menu = m_menus.value(b.popupMenu);
            const QString status = b.statusText;
            connect(action, &QAction::triggered, this, [this, menu, action, status] {
                SetStatusText(status);
                QWidget* button = m_toolBar->widgetForAction(action);
                menu->exec(button ? button->mapToGlobal(QPoint(0, button->height()))
                                  : QCursor::pos());
            });
        } else if (b.name == QLatin1String("SSCommand2")) {
            connect(action, &QAction::triggered, this, [this] { CloseCompany(true); });
        } else {
            const QString command = b.command;
            const QString status = b.statusText;
            connect(action, &QAction::triggered, this, [this, command, status] {
                SetStatusText(status);
                Execute(command);
            });
        }
        ++index;
    }
}

// --- WindowHost ---

namespace {

// Watches one sub-window: when it closes, its geometry is remembered for its user and the
// status bar's text of the command that opened it goes.
class SubWindowWatcher final : public QObject {
public:
    SubWindowWatcher(QMdiSubWindow* sub, std::function<void(const QRect&)> closed)
        : QObject(sub), m_closed(std::move(closed)) {
        sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            auto* sub = static_cast<QMdiSubWindow*>(watched);
            // A maximised or minimised window is remembered as it stood before.
            const QRect shown =
                sub->isMaximized() || sub->isMinimized() ? sub->normalGeometry() : sub->geometry();
            if (m_closed && shown.isValid()) {
                m_closed(shown);
            }
        }
        return false;
    }

private:
    std::function<void(const QRect&)> m_closed;
};

QString GeometryKey(const QString& user, const QString& objectName) {
    return QStringLiteral("Prozori/") + (user.isEmpty() ? QStringLiteral("-") : user) +
           QLatin1Char('/') + objectName;
}

}  // namespace

QRect ZodraMain::RememberedGeometry(const QString& objectName) const {
    if (objectName.isEmpty()) {
        return {};
    }
    return m_settings.value(GeometryKey(m_session.userName, objectName)).toRect();
}

void ZodraMain::RememberGeometry(const QString& objectName, const QRect& geometry) {
    if (!objectName.isEmpty()) {
        m_settings.setValue(GeometryKey(m_session.userName, objectName), geometry);
    }
}

QRect ZodraMain::InsideArea(QRect geometry) const {
    const QSize room = m_area->viewport()->size();
    geometry.setSize(geometry.size().boundedTo(room.expandedTo(QSize(200, 150))));
    const int x = qBound(0, geometry.x(), qMax(0, room.width() - geometry.width()));
    const int y = qBound(0, geometry.y(), qMax(0, room.height() - geometry.height()));
    geometry.moveTo(x, y);
    return geometry;
}

void ZodraMain::ListOpenWindows() {
    QMenu* menu = m_menus.value(T(u"Prozori"));
    for (QAction* item : std::as_const(m_windowItems)) {
        menu->removeAction(item);
        item->deleteLater();
    }
    m_windowItems.clear();
    const QList<QMdiSubWindow*> open = m_area->subWindowList();
    if (open.isEmpty()) {
        return;
    }
    m_windowItems << menu->addSeparator();
    int n = 0;
    for (QMdiSubWindow* sub : open) {
        ++n;
        const QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        // The first nine get a digit to choose them by.
        const QString label = n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(title)
                                     : QStringLiteral("%1 %2").arg(n).arg(title);
        auto* item = menu->addAction(label);
        item->setObjectName(QStringLiteral("Prozor_%1").arg(n));
        item->setCheckable(true);
        item->setChecked(sub == m_area->activeSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(item, &QAction::triggered, this, [this, target] {
            if (!target) {
                return;
            }
            if (target->isMinimized()) {
                target->showNormal();
            }
            m_area->setActiveSubWindow(target);
        });
        m_windowItems << item;
    }
}

QMdiSubWindow* ZodraMain::ShowWindow(QWidget* window, const QString& caption) {
    window->setWindowTitle(caption);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The size the window asked for (resize() in its constructor), else what its layout needs,
    // within the window area.
    // A window that asks for no size gets room for a grid.
    const QSize wanted = window->testAttribute(Qt::WA_Resized)
                             ? window->size()
                             : window->sizeHint().expandedTo(QSize(640, 420));
    QMdiSubWindow* sub = m_area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    sub->resize(wanted.width() + 2 * frame, wanted.height() + title + 2 * frame);
    const QString name = window->objectName();
    const QRect remembered = RememberedGeometry(name);
    sub->show();
    // Where this user left it last time, else where the area placed it; either way wholly
    // inside the area (a smaller screen, a window that grew).
    sub->setGeometry(InsideArea(remembered.isValid() ? remembered : sub->geometry()));
    new SubWindowWatcher(sub, [this, name](const QRect& geometry) {
        RememberGeometry(name, geometry);
        m_status->clear();
    });
    m_area->setActiveSubWindow(sub);
    // The window's Alt keys live beside the menus' (the menu bar answers them too).
    ResolveMnemonicClashes(window, Mnemonics(menuBar()));
    FocusFirstField(window);
    return sub;
}

QWidget* ZodraMain::FindWindow(const QString& objectName) {
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == objectName) {
            if (sub->isMinimized()) {
                sub->showNormal();
            }
            m_area->setActiveSubWindow(sub);
            return sub->widget();
        }
    }
    return nullptr;
}

void ZodraMain::SetStatusText(const QString& text) {
    m_status->setText(text);
}

QString ZodraMain::StatusText() const {
    return m_status->text();
}

QLabel* ZodraMain::LogoPicture() const {
    return m_logo;
}

void ZodraMain::RefillWarehouses() {
    if (!m_sessionActive) {
        return;
    }
    const QSignalBlocker block(m_warehouseBox);
    m_warehouseBox->clear();
    Guarded(*m_prompter, [&] {
        for (const auto& [name, code] : sessionstart::Warehouses(m_session.Db())) {
            m_warehouseBox->addItem(name, code);
        }
    });
    m_warehouseBox->setCurrentIndex(m_warehouseBox->findData(m_session.activeWarehouse.code));
}

void ZodraMain::ReloadCompanyOptions() {
    if (!m_sessionActive) {
        return;
    }
    Guarded(*m_prompter, [&] { sessionstart::LoadCompanyOptions(m_session); });
    ApplyStates();
}

void ZodraMain::RunCommand(const QString& controlName) {
    QAction* action = m_actions.value(controlName);
    if (action && (!action->isEnabled() || !action->isVisible())) {
        return;
    }
    Execute(controlName);
}

// --- commands ---

void ZodraMain::Execute(const QString& name) {
    if (const commands::Command* c = commands::Find(name); c && !c->statusText.isEmpty()) {
        SetStatusText(c->statusText);
    }

    if (Builtin(name)) {
        return;
    }
    // Without a company only help is at hand.
    const commands::Command* command = commands::Find(name);
    const bool help = command && command->parent == QLatin1String("Pomoc");
    if (!m_sessionActive && !help) {
        return;
    }
    const QString refusal = commands::RefusalInWarehouse(
        name, m_session.warehouseFlags.retail, m_session.warehouseFlags.allInvoicesAllowed);
    if (!refusal.isEmpty()) {
        m_prompter->Inform(refusal);
        return;
    }
    if (const CommandRegistry::Handler* handler = m_registry.Find(name)) {
        Guarded(*m_prompter, [&] { (*handler)(*this); });
        return;
    }
    if (FindWindow(name)) {
        return;
    }
    auto* placeholder = new PlaceholderWindow(name, commands::WindowCaption(name));
    ShowWindow(placeholder, placeholder->windowTitle());
}

bool ZodraMain::Builtin(const QString& name) {
    if (name == QLatin1String("Otvori")) {
        OpenWithDialog();
    } else if (name == QLatin1String("Zatvori")) {
        CloseCompany(false);
    } else if (name == QLatin1String("Upis_novog")) {
        NewCompany();
    } else if (name.startsWith(QLatin1String("Baza")) && name.size() == 5) {
        OpenRecent(name.right(1).toInt() - 1);
    } else if (name == QLatin1String("Izlaz")) {
        close();
    } else if (name == T(u"Pomoćne_trake")) {
        ToggleBars();
    } else if (name.startsWith(QLatin1String("Poslozi("))) {
        Arrange(name.mid(8, 1).toInt());
    } else if (name == QLatin1String("O_programu")) {
        ShowAbout();
    } else {
        return false;
    }
    return true;
}

void ZodraMain::ApplyStates() {
    commands::Situation situation;
    situation.sessionActive = m_sessionActive;
    situation.recent = m_recent;
    if (m_sessionActive) {
        situation.rights = &m_rights;
        situation.r2 = m_session.options.r2;
        situation.commissionWarehouse = m_session.warehouseFlags.commission;
        situation.employeesAndServiceDuration = m_session.company.employeesAndServiceDuration;
        situation.wordDocuments = m_session.company.wordDocuments;
    }
    for (const auto& [name, state] : commands::ComputeStates(situation)) {
        if (name == QLatin1String("DBComboSkladista")) {
            m_warehouseStrip->setVisible(state.visible);
            continue;
        }
        if (QAction* action = m_actions.value(name)) {
            action->setVisible(state.visible);
            action->setEnabled(state.enabled);
        }
    }
}

void ZodraMain::RebuildRecentMenu() {
    for (int i = 0; i < recent::kSlots; ++i) {
        if (QAction* a = m_actions.value(QStringLiteral("Baza%1").arg(i + 1))) {
            a->setText(m_recent[i].isEmpty() ? QString() : recent::Caption(i, m_recent[i]));
        }
    }
    ApplyStates();
}

void ZodraMain::SaveRecent() {
    // Written only when it changed: writing the settings file waits for the disk.
    if (recent::Load(m_settings) != m_recent) {
        recent::Save(m_settings, m_recent);
    }
}

void ZodraMain::UpdateTitle() {
    setWindowTitle(sessionstart::Title(m_session));
}

// --- opening ---

void ZodraMain::Start(const QString& path) {
    if (!path.isEmpty()) {
        OpenCompany(QFileInfo(path).absoluteFilePath());
    } else if (m_session.workstation.openLastDatabase && !m_recent[0].isEmpty()) {
        OpenRecent(0);
    }
}

void ZodraMain::OpenWithDialog() {
    SetStatusText(T(u" Otvaranje poduzeća"));
    QString folder = paths::UserDataFolder();
    if (!m_recent[0].isEmpty()) {
        folder = QFileInfo(m_recent[0]).absolutePath();
    }
    // A connection file (".zodra") names a company on a server and opens the same way.
    const QString path = m_prompter->ChooseFileToOpen(T(u"Otvaranje baze podataka"),
                                                      T(u"Zodra datoteke|*.mdb;*.zodra"), folder);
    if (path.isEmpty()) {
        return;
    }
    OpenCompany(path);
}

void ZodraMain::OpenRecent(int index) {
    if (index < 0 || index >= recent::kSlots || m_recent[index].isEmpty()) {
        return;
    }
    const QString path = m_recent[index];
    if (!QFileInfo::exists(path)) {
        m_prompter->Inform(T(u"Ove datoteke nema."));
        m_recent = recent::Drop(m_recent, index);
        SaveRecent();
        RebuildRecentMenu();
        return;
    }
    if (m_session.IsOpen() && !CloseCompany(false)) {
        return;
    }
    OpenCompany(path);
}

bool ZodraMain::OpenCompany(const QString& path, const QString& presetUser) {
    if (m_session.IsOpen() && !CloseCompany(false)) {
        return false;
    }
    SetStatusText(T(u" Otvaranje poduzeća"));
    companyopen::Opened opened;
    {
        BusyCursor busy;
        opened = companyopen::Open(path, *m_prompter);
    }
    if (!opened.db) {
        UpdateTitle();
        return false;
    }
    m_session.databasePath = path;
    m_session.databasePassword = opened.password;
    m_session.Attach(std::move(opened.db));
    UpdateTitle();
    if (!Login(presetUser)) {
        ForgetCompany();
        return false;
    }
    UpdateTitle();
    if (!ChooseWarehouse()) {
        ForgetCompany();
        return false;
    }
    m_rights = users::ApplyUserRights(m_session.Db(), m_session.userName);
    if (!m_rights.found) {
        m_prompter->Inform(T(u"Neispravan username ili password."));
        EndSession();
        ForgetCompany();
        return false;
    }
    m_session.rights = m_rights.session;
    m_sessionActive = true;
    RefillWarehouses();
    m_recent = recent::MoveToFront(m_recent, path);
    SaveRecent();
    RebuildRecentMenu();
    UpdateTitle();
    // Back from the login and the warehouse choice, the keyboard works the main window (its
    // menus on Alt) until a window opens.
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    if (m_start.openPlanner) {
        RunCommand(QStringLiteral("SSCommand16"));
    }
    return true;
}

bool ZodraMain::Login(const QString& presetUser) {
    m_session.userName.clear();
    LoginDialog dialog(m_session.Db(), *m_prompter, presetUser, this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    m_session.userName = dialog.UserName();
    return true;
}

bool ZodraMain::ChooseWarehouse() {
    WarehouseChoiceDialog dialog(*this, &m_registry, this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    m_start = dialog.Result();
    return true;
}

void ZodraMain::ForgetCompany() {
    m_session.Close();
    m_session.databasePath.clear();
    m_session.databasePassword.clear();
    m_session.userName.clear();
    m_session.activeWarehouse = ActiveWarehouse{};
    m_session.warehouseFlags = WarehouseFlags{};
    m_sessionActive = false;
    m_rights = users::AppliedRights{};
    m_warehouseBox->clear();
    UpdateTitle();
    ApplyStates();
}

void ZodraMain::EndSession() {
    if (m_session.IsOpen() && m_session.sessionCode != 0) {
        Guarded(*m_prompter, [&] { sessionstart::End(m_session); });
    }
}

void ZodraMain::NewCompany() {
    SetStatusText(T(u" Upis novog poduzeća"));
    const QString path =
        m_prompter->ChooseFileToSave(T(u"Novo poduzeće"), T(u"Zodra datoteke|*.mdb"),
                                     paths::UserDataFolder(), QStringLiteral(".mdb"));
    if (path.isEmpty() || !companyopen::CreateNew(path, *m_prompter)) {
        return;
    }
    companyopen::Opened opened = companyopen::Open(path, *m_prompter);
    if (!opened.db) {
        return;
    }
    // The new company's own data first, then the login as for any company.
    {
        CompanyDataDialog companyData(*opened.db, *m_prompter, this);
        companyData.exec();
    }
    opened.db.reset();
    OpenCompany(path, QStringLiteral("admin"));
}

// --- closing ---

bool ZodraMain::CloseAllWindows() {
    m_area->closeAllSubWindows();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m_area->subWindowList().isEmpty();
}

void ZodraMain::RunAutoBackup() {
    if (!m_session.IsOpen()) {
        return;
    }
    Guarded(*m_prompter, [&] {
        if (autobackup::Enabled(m_session.Db())) {
            SetStatusText(T(u" AutoBackup - pričekajte trenutak"));
            BusyCursor busy;
            autobackup::Run(m_session.Db());
        }
    });
}

bool ZodraMain::CloseCompany(bool byToolBarButton) {
    if (!m_session.IsOpen()) {
        return true;
    }
    if (!CloseAllWindows()) {
        return false;
    }
    if (byToolBarButton) {
        RunAutoBackup();
    }
    SetStatusText(T(u" Zatvaranje poduzeća"));
    m_recent = recent::MoveToFront(m_recent, m_session.databasePath);
    SaveRecent();
    EndSession();
    ForgetCompany();
    RebuildRecentMenu();
    return true;
}

void ZodraMain::closeEvent(QCloseEvent* event) {
    if (!m_prompter->AskYesNo(T(u"Želite li napustiti program ?"), QStringLiteral("Zodra"),
                              false)) {
        event->ignore();
        return;
    }
    if (!CloseAllWindows()) {
        event->ignore();
        return;
    }
    if (m_session.IsOpen()) {
        SetStatusText(T(u" Izlaz"));
        const QString path = m_session.databasePath;
        EndSession();
        RunAutoBackup();
        m_recent = recent::MoveToFront(m_recent, path);
        SaveRecent();
        ForgetCompany();
    }
    m_exiting = true;
    event->accept();
}

// --- warehouse, windows, bars ---

void ZodraMain::ChangeWarehouse(int code) {
    if (!m_sessionActive || code == m_session.activeWarehouse.code) {
        return;
    }
    if (!CloseAllWindows()) {
        RefillWarehouses();
        return;
    }
    const bool changed =
        Guarded(*m_prompter, [&] { sessionstart::ChangeWarehouse(m_session, code); });
    if (!changed) {
        RefillWarehouses();
        return;
    }
    UpdateTitle();
    ApplyStates();
}

void ZodraMain::ToggleBars() {
    const bool shown = m_toolBar->isVisible() && statusBar()->isVisible();
    m_toolBar->setVisible(!shown);
    statusBar()->setVisible(!shown);
    m_actions.value(T(u"Pomoćne_trake"))->setChecked(!shown);
    recent::SaveShowBars(m_settings, !shown);
}

void ZodraMain::Arrange(int how) {
    if (how == 0) {
        m_area->cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (sub->isVisible() && !sub->isMinimized()) {
            windows << sub;
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    const QRect area = m_area->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (how == 1) {  // one above another, each the full width
            const int h = area.height() / n;
            windows[i]->setGeometry(0, i * h, area.width(), h);
        } else {  // side by side, each the full height
            const int w = area.width() / n;
            windows[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

void ZodraMain::ShowAdministration() {
    // Only in a session (the menu "Otvori" is hidden then) and only for the administrator.
    if (!m_sessionActive || m_session.userName != QLatin1String("admin")) {
        return;
    }
    if (FindWindow(QStringLiteral("Administracija"))) {
        return;
    }
    SetStatusText(QStringLiteral(" Administracija"));
    auto* window = new AdministrationWindow(*this);
    ShowWindow(window, QStringLiteral("Administracija"));
}

void ZodraMain::ShowAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

}  // namespace zodra::ui

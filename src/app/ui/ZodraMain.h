#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/SessionStart.h"
#include "app/Users.h"
#include "data/Session.h"
#include "ui/QtPrompter.h"
#include "ui/WindowHost.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QSettings;
class QToolBar;

namespace zodra::ui {

class CommandRegistry;
class LogoLabel;

// The main window: menus, tool bar, status bar, logo and the warehouse box "Aktivno
// skladište"; it opens and closes one company at a time, runs the login and the warehouse
// choice that start the working session, owns the one Session and hosts every other window.
class ZodraMain : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    // `settings` keeps the recent databases and options ("ZadnjeBaze", "Opcije"); `prompter`
    // replaces the message boxes (tests), else the Qt prompter is used.
    ZodraMain(CommandRegistry& registry, QSettings& settings, Prompter* prompter = nullptr,
              QWidget* parent = nullptr);
    ~ZodraMain() override;

    // WindowHost
    Session& CurrentSession() override { return m_session; }
    Prompter& UserPrompter() override { return *m_prompter; }
    QWidget* DialogParent() override { return this; }
    QMdiSubWindow* ShowWindow(QWidget* window, const QString& caption) override;
    QWidget* FindWindow(const QString& objectName) override;
    void SetStatusText(const QString& text) override;
    void RefillWarehouses() override;
    void ReloadCompanyOptions() override;
    void RunCommand(const QString& controlName) override;

    // After the window is shown: opens the path given on the command line, else the most
    // recent database when the workstation says so.
    void Start(const QString& path = QString());

    // "Otvori" with a path (the command line, a recent item): password, repair, login,
    // warehouse choice. True when a session was started.
    bool OpenCompany(const QString& path, const QString& presetUser = QString());
    void OpenRecent(int index);
    void OpenWithDialog();
    void NewCompany();
    // "Zatvori"; the tool-bar button first makes the automatic backup. False when an open
    // window refused to close.
    bool CloseCompany(bool byToolBarButton);
    // The warehouse box: moves the session to another warehouse.
    void ChangeWarehouse(int code);
    void ToggleBars();
    void Arrange(int how);
    void ShowAdministration();
    void ShowAbout();

    // For tests and the screenshot tour.
    QAction* Action(const QString& controlName) const { return m_actions.value(controlName); }
    QMenu* MenuOf(const QString& controlName) const { return m_menus.value(controlName); }
    QComboBox* WarehouseBox() const { return m_warehouseBox; }
    QString StatusText() const;
    QStringList Recent() const { return m_recent; }
    bool SessionActive() const { return m_sessionActive; }
    QMdiArea* Area() const { return m_area; }
    QLabel* LogoPicture() const;
    QToolBar* ToolBar() const { return m_toolBar; }
    const users::AppliedRights& Rights() const { return m_rights; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildCentral();
    void ApplyStates();
    void RebuildRecentMenu();
    void SaveRecent();
    bool CloseAllWindows();
    bool Login(const QString& presetUser);
    bool ChooseWarehouse();
    void ForgetCompany();
    void EndSession();
    void RunAutoBackup();
    void Execute(const QString& name);
    bool Builtin(const QString& name);
    void UpdateTitle();
    // The open windows at the end of the "Prozori" menu, the active one ticked.
    void ListOpenWindows();
    // Where a window of this name stood when this user last closed it; invalid when unknown.
    QRect RememberedGeometry(const QString& objectName) const;
    void RememberGeometry(const QString& objectName, const QRect& geometry);
    // A sub-window's geometry moved inside the window area, shrunk to it where it is larger.
    QRect InsideArea(QRect geometry) const;

    CommandRegistry& m_registry;
    QSettings& m_settings;
    QtPrompter m_qtPrompter;
    Prompter* m_prompter;
    Session m_session;
    bool m_sessionActive = false;
    users::AppliedRights m_rights;
    sessionstart::StartResult m_start;
    QStringList m_recent;

    QMap<QString, QAction*> m_actions;
    QMap<QString, QMenu*> m_menus;
    QMdiArea* m_area = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_status = nullptr;
    LogoLabel* m_logo = nullptr;
    QWidget* m_warehouseStrip = nullptr;
    QComboBox* m_warehouseBox = nullptr;
    bool m_exiting = false;
    QList<QAction*> m_windowItems;  // the open windows listed in "Prozori"
};

}  // namespace zodra::ui

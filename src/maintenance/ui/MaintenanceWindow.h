#pragma once

#include <QWidget>

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::maintenance::ui {

// "Održavanje baze podataka": compaction of the open company, its zip archive, the password
// change of a company file, and the restore of an archive into a new company file. Each button
// asks what it needs first and then calls one core operation.
class MaintenanceWindow : public QWidget {
    Q_OBJECT
public:
    MaintenanceWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    void Compact();
    void Archive();
    void ChangePassword();
    void Restore();

private:
    zodra::ui::WindowHost& m_host;
};

// Binds "Odrzavanje_baze_podataka" to the window.
void RegisterMaintenanceCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::maintenance::ui

#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>

class QWidget;

namespace zodra::ui {

class WindowHost;

// What an entry window hands back to the window that opened it: the new row's name and code.
struct NewRow {
    QString name;
    int code = 0;
};

// The binding of the command catalogue's control names to what they open. Each subsystem
// provides one function `RegisterXxxCommands(CommandRegistry&)` that binds its names; the
// shell calls them all from one wiring file. A command with no handler opens a window of its
// name saying that the function is not yet available in this version.
//
// Entry windows of registers ("Upis novog skladišta" …) are bound by register name (the table,
// e.g. "SKLADISTA") so that any window can offer "add a new one" and use the row at once.
class CommandRegistry {
public:
    using Handler = std::function<void(WindowHost&)>;
    using EntryOpener = std::function<std::optional<NewRow>(WindowHost&, QWidget* parent)>;

    // Binds a control name of the catalogue (menu item or tool-bar button name). Binding a
    // name twice replaces the handler.
    void Register(const QString& controlName, Handler handler);
    const Handler* Find(const QString& controlName) const;
    bool Has(const QString& controlName) const { return Find(controlName) != nullptr; }
    QStringList Names() const;

    void RegisterEntry(const QString& registerName, EntryOpener opener);
    const EntryOpener* FindEntry(const QString& registerName) const;
    // The registers that have an entry window.
    QStringList EntryNames() const;
    // Opens the register's entry window; std::nullopt when cancelled or not available.
    std::optional<NewRow> OpenEntry(const QString& registerName, WindowHost& host,
                                    QWidget* parent) const;

private:
    std::map<QString, Handler> m_handlers;
    std::map<QString, EntryOpener> m_entries;
};

}  // namespace zodra::ui

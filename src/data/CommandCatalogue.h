#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zodra::commands {

// The program's command catalogue: every menu, menu item and tool-bar button of the main window
// under its control name. Rights (KORISNICI columns) and visibility rules refer to commands by
// these names, and subsystems bind their windows to them.

enum class Kind { Menu, Item, Separator };

struct Command {
    QString name;     // control name, e.g. "Knjizenje_primka"; array entries "Stanje1(0)"
    QString caption;  // as the menu shows it (empty for separators and the recent items)
    QString parent;   // the menu it is in; empty for the menus of the menu bar
    Kind kind = Kind::Item;
    QString statusText;   // a blank followed by the description, e.g. " Knjiženje primke"
    QString window;       // the caption of the window it opens
    QStringList reports;  // report files it prints, where named
};

// The menu tree in display order (a menu comes before its entries).
const std::vector<Command>& Menu();
// The command of that control name, or nullptr.
const Command* Find(const QString& name);
// The entries of one menu, in order.
std::vector<const Command*> Children(const QString& menu);

struct ToolButton {
    QString name;  // "SSCommand1" … "SSCommand16"
    QString caption;
    QString statusText;  // shown while the mouse is over the button
    QString command;     // the command it runs (a menu command, or its own name when the
                         // button has no menu item, e.g. "SSCommand16" for "Planer"), or
    QString popupMenu;   // the menu it pops up
};
const std::vector<ToolButton>& ToolBar();
const ToolButton* FindToolButton(const QString& name);

// The window caption a command opens: its own window's name where one is named, else its
// caption.
QString WindowCaption(const Command& command);
// The same by control name (menu command or tool-bar button).
QString WindowCaption(const QString& name);

// The text of a window whose function is not part of this version yet.
QString NotAvailableText();

// Refusal of a command in the active warehouse (e.g. the till outside a retail
// warehouse); empty when the command may run.
QString RefusalInWarehouse(const QString& name, bool retailWarehouse, bool allInvoicesAllowed);

}  // namespace zodra::commands

#pragma once

#include <QString>
#include <QWidget>

namespace zodra::ui {
class CommandRegistry;
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::fiscal::ui {

QString UnconfirmedReceiptsCommand();  // "Nepotvrdeni_racuni"
QString UnconfirmedReceiptsCaption();  // "Nepotvrđeni računi"

// The fiscal receipts the tax administration has not confirmed yet (no JIR), oldest first, with
// the last failure in words. "Pošalji ponovno" (F5) delivers the whole outbox once more with
// the workstation's settings read from `settingsFile` and tells how it went; the list is read
// again after it.
class UnconfirmedReceiptsWindow : public QWidget {
    Q_OBJECT
public:
    UnconfirmedReceiptsWindow(zodra::ui::WindowHost& host, QString settingsFile,
                              QWidget* parent = nullptr);

    void Reload();
    void Retry();

private:
    zodra::ui::WindowHost& m_host;
    QString m_settingsFile;
    zodra::ui::DataGrid* m_grid = nullptr;
};

// Binds the window's command.
void RegisterFiscalCommands(zodra::ui::CommandRegistry& registry, const QString& settingsFile);

}  // namespace zodra::fiscal::ui

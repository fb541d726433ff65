#pragma once

#include <QString>
#include <QWidget>

#include "transfer/DataTransfer.h"

namespace zodra::ui {
class WindowHost;
}  // namespace zodra::ui

namespace zodra::maintenance::ui {

// "Prijenos podataka": receipts or delivery notes of the warehouse in use written to a transfer
// file, sent by e-mail, read from a transfer file, or read straight from another company file.
// Each button asks what it needs and runs one operation of the transfer core; reading shows its
// progress document by document.
class TransferWindow : public QWidget {
    Q_OBJECT
public:
    explicit TransferWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    void WriteFile(transfer::Kind kind);
    void Mail(transfer::Kind kind);
    void ReadFile(transfer::Kind kind);
    void ReadCompany(transfer::Kind kind);

private:
    void Read(bool fromFile, transfer::Kind kind);
    zodra::ui::WindowHost& m_host;
    QString m_lastFile[2];  // the transfer files written last (receipts, delivery notes)
};

// Shows the window (once) from the maintenance window's button.
void OpenTransferWindow(zodra::ui::WindowHost& host);

}  // namespace zodra::maintenance::ui

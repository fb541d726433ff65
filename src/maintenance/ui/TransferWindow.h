#pragma once

#include <QString>
#include <QWidget>

namespace zodra::ui {
class WindowHost;
}  // namespace zodra::ui

namespace zodra::maintenance::ui {

// "Prijenos podataka": receipts of the warehouse in use written to a transfer file, sent by
// e-mail, read from a transfer file, or read straight from another company file. Each button
// asks what it needs and runs one operation of the transfer core; reading shows its progress
// receipt by receipt.
class TransferWindow : public QWidget {
    Q_OBJECT
public:
    explicit TransferWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    void WriteFile();
    void Mail();
    void ReadFile();
    void ReadCompany();

private:
    void Read(bool fromFile);
    zodra::ui::WindowHost& m_host;
    QString m_lastFile;  // the transfer file written last, offered for the e-mail
};

// Shows the window (once) from the maintenance window's button.
void OpenTransferWindow(zodra::ui::WindowHost& host);

}  // namespace zodra::maintenance::ui

#pragma once

#include <QDialog>

#include "app/SessionStart.h"

class QComboBox;

namespace zodra {
class Session;
}

namespace zodra::ui {

class CommandRegistry;
class WindowHost;

// "Izbor skladišta": the warehouse to work in. "Novo skladište" opens "Upis novog skladišta"
// and selects the new warehouse; "Prihvati" starts the working session in the chosen one
// ("Nije izabrano skladište." without a choice, and the window stays).
class WarehouseChoiceDialog : public QDialog {
    Q_OBJECT
public:
    WarehouseChoiceDialog(WindowHost& host, const CommandRegistry* registry,
                          QWidget* parent = nullptr);
    QComboBox* Box() const { return m_box; }
    // Chooses a warehouse by code in the box; false when it is not there.
    bool Choose(int code);
    void Refill(int selectCode = 0);
    // "Prihvati": true when the session was started.
    bool Start();
    sessionstart::StartResult Result() const { return m_result; }

private:
    WindowHost& m_host;
    const CommandRegistry* m_registry;
    QComboBox* m_box;
    sessionstart::StartResult m_result;
};

}  // namespace zodra::ui

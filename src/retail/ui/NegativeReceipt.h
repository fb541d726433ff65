#pragma once

#include <QString>

namespace zodra::ui {
class WindowHost;
}

namespace zodra::retail::ui {

// After an invoice of the main tables was cancelled ("Izbor računa"): when it was a fiscalized
// receipt and this workstation's till has a receipt printer, its 40-column negative receipt
// (its own number, ZKI, JIR and QR code) is printed there, as `zodractl receipt … --storno`
// prints it. Any other invoice prints nothing here; a printer that fails is told under `title`.
void PrintNegativeReceipt(zodra::ui::WindowHost& host, int book, int number, const QString& title);

}  // namespace zodra::retail::ui

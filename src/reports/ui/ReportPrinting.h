#pragma once

#include "reports/ReportEngine.h"

namespace zodra::ui {
class WindowHost;
}

namespace zodra::reports::ui {

class ReportWindow;

// Where a print command sends its report: the report window on screen, or straight to the
// printer with no window.
enum class Destination { Screen = 0, Printer = 1 };

// Shows the report in its own window "Izvještaj" captioned with the title, filling the main
// window's area, at the workstation's "Report Zoom". Returns the window, or nullptr when the
// report could not be made (the message was shown).
ReportWindow* ShowReport(zodra::ui::WindowHost& host, const ReportRequest& request);

// Prints to the workstation's default printer (CUPS) without a window; a failure is shown.
// Returns whether the report was printed.
bool PrintReport(zodra::ui::WindowHost& host, const ReportRequest& request);

// The two together, as the print operations of the documents take their flag: 0 on screen,
// anything else to the printer.
void OutputReport(zodra::ui::WindowHost& host, const ReportRequest& request, int destination);

}  // namespace zodra::reports::ui

#pragma once

#include <QStringList>

namespace zodra::ui {
class WindowHost;
}

namespace zodra::fiscal::ui {

// "eRačun" of "Izbor računa": writes the e-invoice of a posted invoice of the session's
// warehouse and year (and, for a cancelled one, the credit note of its cancellation too) into
// the folder the information intermediary picks e-invoices up from (the workstation's
// "eRačun - mapa posrednika"). A folder not yet set is asked for and kept there; an
// operator without an OIB is asked for it, which is stored for the next time. What cannot be
// written is told in words; what was written is told with its paths. Returns the paths.
QStringList ExportEInvoice(zodra::ui::WindowHost& host, int book, int number);

}  // namespace zodra::fiscal::ui

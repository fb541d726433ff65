#pragma once

#include <QWidget>
#include <map>

#include "books/VatReturn.h"

class QLabel;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::books::ui {

// "PDV Obrazac": a computed return shown for checking and correction. Leaving a base box taxes
// the base at its line's own rate and sums the totals again; leaving a tax box sums the totals.
// "Prihvati" stores the return under the next number of the year, closes the window and shows
// the printout; "Odustani" closes it without storing. "XML" writes the filing of a current-form
// return.
class VatReturnWindow : public QWidget {
    Q_OBJECT
public:
    VatReturnWindow(zodra::ui::WindowHost& host, VatReturn vat, QWidget* parent = nullptr);

    static QString ObjectName() { return QStringLiteral("PDV_Obrazac"); }
    static QString Caption() { return QStringLiteral("PDV Obrazac"); }

    const VatReturn& Return() const { return m_vat; }
    zodra::ui::NumberBox* BaseBox(const QString& code) const;
    zodra::ui::NumberBox* TaxBox(const QString& code) const;

    // "Prihvati": true when the return was stored (its number in Return().number).
    bool Accept();
    void ExportXml();

private:
    void BaseLeft(const QString& code);
    void TaxLeft(const QString& code);
    void ShowValues();

    zodra::ui::WindowHost& m_host;
    VatReturn m_vat;
    std::map<QString, zodra::ui::NumberBox*> m_bases;
    std::map<QString, zodra::ui::NumberBox*> m_taxes;
    std::map<const zodra::ui::NumberBox*, QString> m_shown;  // each box's text as last filled
};

}  // namespace zodra::books::ui

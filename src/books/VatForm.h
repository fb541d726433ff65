#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

// The VAT return as a form: its lines in the order printed, each with a base, a tax or both,
// filled from the books, typed by the user or summed from other lines. Three generations of the
// form exist, each for the periods it covers; which one a return uses depends on the end of its
// period only, never on the day it is computed or printed.
namespace zodra::books {

enum class VatFormGeneration {
    Before2012,  // periods ending before 1 March 2012: rates 10, 22 and 23 %
    From2012,    // periods ending in 2012 from 1 March: 10 %, 22 and 23 % together, 25 %
    Current,     // periods ending from 2013 on: the tax administration's lines 000 to 660
};

VatFormGeneration VatGenerationFor(const QDate& periodEnd);
// Kept with a stored return ("2006", "2012", "2013").
QString VatGenerationCode(VatFormGeneration generation);
std::optional<VatFormGeneration> VatGenerationFromCode(const QString& code);
// The layout a stored return of the generation prints with.
QString VatReportFile(VatFormGeneration generation);

enum class VatLineKind {
    Computed,  // filled from the books, corrected by hand where needed
    Typed,     // only the user fills it
    Total,     // the sum of other lines, never typed
};

struct VatLineDef {
    QString code;   // "II.1", "201": the line's mark on the form
    QString label;  // as the window and the printout show it
    bool hasBase = true;
    bool hasTax = false;
    VatLineKind kind = VatLineKind::Computed;
    // The line's own rate in percent: a base corrected by hand gets its tax at this rate. Unset
    // where the tax is not the base at one rate (totals, typed lines, lines of several rates
    // typed by hand).
    std::optional<double> rate;
    // Totals: the lines whose bases / taxes add up here, and those whose taxes are taken away.
    QStringList baseOf;
    QStringList taxOf;
    QStringList taxLess;
};

struct VatLine {
    VatLineDef def;
    double base = 0;
    double tax = 0;
};

// One filled form. Amounts stay unrounded doubles; they are rounded only where shown.
class VatForm {
public:
    // The current form's taxed lines take their rates from the tax groups mapped to them
    // (code → rate in percent); the older forms know their rates themselves.
    explicit VatForm(VatFormGeneration generation,
                     const std::map<QString, double>& currentLineRates = {});

    VatFormGeneration Generation() const { return m_generation; }
    const std::vector<VatLine>& Lines() const { return m_lines; }
    const VatLine* Find(const QString& code) const;
    double Base(const QString& code) const;
    double Tax(const QString& code) const;

    // Adds a computed amount to a line (the books' figures, line by line).
    void Add(const QString& code, double base, double tax);
    // Values as typed or stored: no tax is derived, totals are recomputed.
    void Set(const QString& code, double base, double tax);
    // A base corrected by hand: the line's tax becomes base × its own rate (a line without one
    // keeps its tax), then the totals are recomputed. Totals cannot be corrected.
    void CorrectBase(const QString& code, double base);
    void CorrectTax(const QString& code, double tax);

    // Sums the total lines from the others.
    void ComputeTotals();

private:
    VatLine* FindLine(const QString& code);
    VatLine& Require(const QString& code);

    VatFormGeneration m_generation;
    std::vector<VatLine> m_lines;
};

// The line codes of the current form that carry both a value and a tax (200–215, 300–314).
bool IsCurrentPairLine(const QString& code);

}  // namespace zodra::books

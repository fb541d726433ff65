#include <map>
#include <memory>

#include "books/TaxFormLines.h"
#include "books/VatReturn.h"

namespace zodra::books {

namespace {

// The current form's lines for the books' figures, from the tax groups' settings: a sale goes
// to the line its tax treatment or its group's kind of supply names; input tax at a rate goes
// to the input line of the taxable kind of that rate. The lines bought abroad repeat the
// domestic rate lines in the same order (201–203 → 208–210 and 308–310).
class CurrentAssignment : public VatLineAssignment {
public:
    explicit CurrentAssignment(Database& db) : m_lines(db) {}

    QStringList OutputLines(const VatOutputFigure& f) const override {
        const Placement p = m_lines.Place(f.taxGroup, f.treatment, f.rate);
        if (p.outputLine == 0) {
            return {};
        }
        return {QString::number(p.outputLine)};
    }

    QStringList InputLines(const VatInputFigure& f) const override {
        const RateColumn* column = ColumnOfRate(f.rate);
        switch (f.kind) {
            case VatInputKind::Domestic:
                if (column == nullptr) {
                    return {};
                }
                return {QString::number(column->outputLine + kInputOffset)};
            case VatInputKind::Import:
                return {QString::number(kImportLine)};
            case VatInputKind::ForeignServices: {
                if (column == nullptr) {
                    return {};
                }
                // Services bought abroad: the tax is owed (II) and deducted (III) at once.
                const int slot = column->outputLine - kFirstRateLine;
                return {QString::number(kServicesReceivedLine + slot),
                        QString::number(kServicesReceivedLine + slot + kInputOffset)};
            }
        }
        return {};
    }

    std::map<QString, double> LineRates() const override {
        std::map<QString, double> rates;
        for (const RateColumn& c : m_lines.RateColumns()) {
            rates[QString::number(c.outputLine)] = c.rate;
        }
        return rates;
    }

private:
    static constexpr int kFirstRateLine = 201;
    static constexpr int kServicesReceivedLine = 208;
    static constexpr int kImportLine = 314;
    static constexpr int kInputOffset = 100;

    const RateColumn* ColumnOfRate(double rate) const {
        for (const RateColumn& c : m_lines.RateColumns()) {
            if (qAbs(c.rate - rate) < 1e-9) {
                return &c;
            }
        }
        return nullptr;
    }

    TaxFormLines m_lines;
};

}  // namespace

std::unique_ptr<VatLineAssignment> CurrentVatAssignment(Database& db) {
    return std::make_unique<CurrentAssignment>(db);
}

}  // namespace zodra::books

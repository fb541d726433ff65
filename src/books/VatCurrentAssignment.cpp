#include <map>
#include <memory>

#include "books/TaxFormLines.h"
#include "books/VatReturn.h"

namespace zodra::books {

namespace {

// The current form's lines for the books' figures, from the tax groups' settings: a sale goes
// to the line its tax treatment or its group's kind of supply names; input tax at a rate goes
// to the input line of the taxable kind of that rate, by the purchase's kind. The lines bought
// abroad repeat the domestic rate lines in the same order (201–203 → 205–207, 208–210,
// 211–213 and 305–313).
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
        if (f.kind == PurchaseKind::Import) {
            return {QString::number(kImportLine)};
        }
        const int owed = OwedLine(f);
        if (owed == 0) {
            return {};
        }
        return {QString::number(owed + kInputOffset)};
    }

    QStringList OwedLines(const VatInputFigure& f) const override {
        if (f.kind == PurchaseKind::Domestic || f.kind == PurchaseKind::Import) {
            return {};
        }
        const int owed = OwedLine(f);
        if (owed == 0) {
            return {};
        }
        return {QString::number(owed)};
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
    static constexpr int kDomesticReverseLine = 204;
    static constexpr int kEuGoodsLine = 205;
    static constexpr int kEuServicesLine = 208;
    static constexpr int kForeignServicesLine = 211;
    static constexpr int kImportLine = 314;
    static constexpr int kInputOffset = 100;

    // The line of part II a purchase of the kind and rate belongs to (its input tax is the
    // line 100 further): domestic purchases at the rate lines 201–203, the buyer's own reverse
    // charge on one line of all rates, the purchases from abroad in the three rate slots of
    // their group. 0 when the rate has no slot.
    int OwedLine(const VatInputFigure& f) const {
        if (f.kind == PurchaseKind::DomesticReverse) {
            return kDomesticReverseLine;
        }
        const RateColumn* column = ColumnOfRate(f.rate);
        if (column == nullptr) {
            return 0;
        }
        const int slot = column->outputLine - kFirstRateLine;
        switch (f.kind) {
            case PurchaseKind::Domestic:
                return column->outputLine;
            case PurchaseKind::EuGoods:
                return kEuGoodsLine + slot;
            case PurchaseKind::EuServices:
                return kEuServicesLine + slot;
            case PurchaseKind::ForeignServices:
                return kForeignServicesLine + slot;
            case PurchaseKind::DomesticReverse:
            case PurchaseKind::Import:
                break;
        }
        return 0;
    }

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

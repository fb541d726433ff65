#include <cmath>
#include <map>
#include <memory>

#include "books/VatReturn.h"
#include "data/Database.h"
#include "data/Statement.h"

namespace zodra::books {

namespace {

// The current form's lines for the books' figures. The three taxed slots (201–203 and the
// lines repeating them) are the company's tax groups with a rate, lowest rate first; a figure
// at a rate that no slot holds is left out rather than put on a wrong line.
class CurrentAssignment : public VatLineAssignment {
public:
    explicit CurrentAssignment(Database& db) {
        Statement s(db, QStringLiteral("SELECT DISTINCT \"STOPA\" FROM \"GRUPE_POREZA\" WHERE "
                                       "\"STOPA\" > 0 ORDER BY \"STOPA\""));
        s.Exec();
        while (s.Next() && m_rates.size() < 3) {
            m_rates.push_back(s.Double(0));
        }
    }

    QStringList OutputLines(const VatOutputFigure& f) const override {
        switch (f.treatment) {
            case 14:
                return {QStringLiteral("108")};
            case 8:
                return {QStringLiteral("109")};
            case 7:
            case 9:
            case 15:
                return {QStringLiteral("110")};
            case 13:
                return {QStringLiteral("111")};
            case 10:
            case 12:
                return Slot(f.rate, 201);
            default:
                return {};
        }
    }

    QStringList InputLines(const VatInputFigure& f) const override {
        switch (f.kind) {
            case VatInputKind::Domestic:
                return Slot(f.rate, 301);
            case VatInputKind::Import:
                return {QStringLiteral("314")};
            case VatInputKind::ForeignServices: {
                // Services bought abroad: the tax is owed (II) and deducted (III) at once.
                QStringList lines = Slot(f.rate, 208);
                lines += Slot(f.rate, 308);
                return lines;
            }
        }
        return {};
    }

    std::map<QString, double> LineRates() const override {
        std::map<QString, double> rates;
        for (size_t k = 0; k < m_rates.size(); ++k) {
            rates[QString::number(201 + static_cast<int>(k))] = m_rates.at(k);
        }
        return rates;
    }

private:
    QStringList Slot(double rate, int first) const {
        for (size_t k = 0; k < m_rates.size(); ++k) {
            if (std::fabs(m_rates.at(k) - rate) < 1e-9) {
                return {QString::number(first + static_cast<int>(k))};
            }
        }
        return {};
    }

    std::vector<double> m_rates;
};

}  // namespace

std::unique_ptr<VatLineAssignment> CurrentVatAssignment(Database& db) {
    return std::make_unique<CurrentAssignment>(db);
}

}  // namespace zodra::books

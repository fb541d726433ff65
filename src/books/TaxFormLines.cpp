#include "books/TaxFormLines.h"

#include <algorithm>
#include <cmath>

#include "data/Database.h"
#include "data/Statement.h"

namespace zodra::books {

namespace {

// Lines of the current return that the tax-free taxation types of sales terms report on.
constexpr int kExportLine = 109;
constexpr int kDomesticExemptLine = 108;
constexpr int kOtherExemptLine = 110;
constexpr int kZeroRateLine = 111;

bool SameRate(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

}  // namespace

QString RateColumn::Caption() const {
    return QString::number(rate) + QStringLiteral(" %");
}

TaxFormLines::TaxFormLines(Database& db) {
    Statement kinds = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA\", \"NAZIV\", \"VRSTA\", \"REDAK\", \"STOPA\" FROM \"PDV_VRSTE\" "
        "ORDER BY \"SIFRA\""));
    kinds.Exec();
    while (kinds.Next()) {
        SupplyLine line;
        line.code = kinds.Int(0);
        line.name = kinds.Text(1);
        line.kind = static_cast<SupplyKind>(kinds.Int(2));
        line.outputLine = kinds.Int(3);
        line.rate = kinds.Double(4);
        m_kinds.push_back(line);
        if (line.kind == SupplyKind::Taxable) {
            m_columns.push_back({line.outputLine, line.rate});
        }
    }
    std::sort(m_columns.begin(), m_columns.end(),
              [](const RateColumn& a, const RateColumn& b) { return a.rate < b.rate; });

    Statement groups = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA\", \"NAZIV\", \"STOPA\", \"PDV_VRSTA\" FROM \"GRUPE_POREZA\" "
        "ORDER BY \"SIFRA\""));
    groups.Exec();
    while (groups.Next()) {
        TaxGroupSetting group;
        group.group = groups.Int(0);
        group.name = groups.Text(1);
        group.rate = groups.Double(2);
        if (!groups.IsNull(3)) {
            const int code = groups.Int(3);
            const auto kind = std::find_if(m_kinds.begin(), m_kinds.end(),
                                           [code](const SupplyLine& k) { return k.code == code; });
            if (kind != m_kinds.end()) {
                group.line = *kind;
            }
        }
        m_groups.push_back(group);
    }
}

const TaxGroupSetting* TaxFormLines::GroupByName(const QString& name) const {
    for (const TaxGroupSetting& group : m_groups) {
        if (group.name == name) {
            return &group;
        }
    }
    return nullptr;
}

const TaxGroupSetting* TaxFormLines::GroupByCode(int code) const {
    for (const TaxGroupSetting& group : m_groups) {
        if (group.group == code) {
            return &group;
        }
    }
    return nullptr;
}

bool TaxFormLines::IsTaxFree(int taxationType) {
    switch (taxationType) {
        case 7:   // not subject to tax
        case 8:   // export
        case 9:   // other exemptions
        case 13:  // rate 0 %
        case 14:  // domestic exemption
        case 15:  // exemption of art. 11.b
            return true;
        default:
            return false;
    }
}

int TaxFormLines::ColumnOfRate(double rate) const {
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (SameRate(m_columns[i].rate, rate)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Placement TaxFormLines::Place(const QString& groupName, int taxationType, double rate) const {
    switch (taxationType) {
        case 8:
            return {SupplyKind::Export, kExportLine, -1};
        case 14:
            return {SupplyKind::Exempt, kDomesticExemptLine, -1};
        case 13:
            return {SupplyKind::Exempt, kZeroRateLine, -1};
        case 7:
        case 9:
        case 15:
            return {SupplyKind::Exempt, kOtherExemptLine, -1};
        default:
            break;
    }
    const TaxGroupSetting* group = GroupByName(groupName);
    if (group && group->line) {
        const SupplyLine& line = *group->line;
        if (line.kind != SupplyKind::Taxable) {
            return {line.kind, line.outputLine, -1};
        }
        for (std::size_t i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].outputLine == line.outputLine) {
                return {SupplyKind::Taxable, line.outputLine, static_cast<int>(i)};
            }
        }
    }
    // A group of an earlier year's rate, or a line whose group was renamed since: by its rate.
    if (rate == 0) {
        return {SupplyKind::Exempt, kOtherExemptLine, -1};
    }
    const int column = ColumnOfRate(rate);
    return {SupplyKind::Taxable, column < 0 ? 0 : m_columns[column].outputLine, column};
}

}  // namespace zodra::books

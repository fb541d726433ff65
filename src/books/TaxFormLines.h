#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
}

// Where the sales of a tax group are reported: the kind of supply (taxable, exempt, export, EU,
// reverse charge), the line of the current VAT return and the column of the invoice books. Every
// book and the return read it here; the setting lives per tax group in the company file
// (GRUPE_POREZA.PDV_VRSTA, a row of PDV_VRSTE), so no rate is written into the code.
namespace zodra::books {

enum class SupplyKind { Taxable = 1, Exempt = 2, Export = 3, EuSupply = 4, ReverseCharge = 5 };

// One kind of supply a tax group can be set to.
struct SupplyLine {
    int code = 0;  // PDV_VRSTE.SIFRA
    QString name;
    SupplyKind kind = SupplyKind::Exempt;
    int outputLine = 0;  // line of the current VAT return (201, 109, ...)
    double rate = 0;     // taxable kinds: the rate of the line
    // Line of the current return for the input tax of a taxable kind (201 -> 301); 0 otherwise.
    int InputLine() const { return kind == SupplyKind::Taxable ? outputLine + 100 : 0; }
};

// The setting of one tax group.
struct TaxGroupSetting {
    int group = 0;
    QString name;  // GRUPE_POREZA.NAZIV, as invoice lines carry it in GRUPA_POREZA
    double rate = 0;
    std::optional<SupplyLine> line;  // none: not set (a rate of an earlier year)
};

// A taxable column of the books: base and tax at one rate.
struct RateColumn {
    int outputLine = 0;
    double rate = 0;
    QString Caption() const;  // "25 %"
};

// The book column of one sale (an invoice line).
struct Placement {
    SupplyKind kind = SupplyKind::Exempt;
    int outputLine = 0;   // 0 when the line has no place on the current return
    int rateColumn = -1;  // index into RateColumns() of a taxable sale, else -1
};

class TaxFormLines {
public:
    // Reads the kinds and the tax groups' settings once.
    explicit TaxFormLines(Database& db);

    const std::vector<SupplyLine>& Kinds() const { return m_kinds; }
    const std::vector<TaxGroupSetting>& Groups() const { return m_groups; }
    // The taxable kinds by rate, ascending: the rate columns of the books.
    const std::vector<RateColumn>& RateColumns() const { return m_columns; }

    const TaxGroupSetting* GroupByName(const QString& name) const;
    const TaxGroupSetting* GroupByCode(int code) const;

    // Where an invoice line goes: its sales terms' taxation type first (export, exempt, 0 %
    // and the other tax-free treatments are tax-free whatever the article's group), then the
    // setting of its tax group. A taxable line of a group not set goes to the rate column of
    // its own rate when there is one, else to none (rateColumn -1, outputLine 0).
    Placement Place(const QString& groupName, int taxationType, double rate) const;

    // The taxation types of sales terms that carry no tax (7, 8, 9, 13, 14, 15).
    static bool IsTaxFree(int taxationType);

private:
    int ColumnOfRate(double rate) const;

    std::vector<SupplyLine> m_kinds;
    std::vector<TaxGroupSetting> m_groups;
    std::vector<RateColumn> m_columns;
};

}  // namespace zodra::books

#include "books/IraBookReport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "books/TaxFormLines.h"
#include "data/Database.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "reports/PagedBook.h"

namespace zodra::books {

namespace {

// One row of the book before it is paged: an invoice, a cancellation, a retail day or a
// collection.
struct Entry {
    QDate date;      // the invoice's (or cancellation's) date
    QDate paidDate;  // the paid variants: the date paid
    QString invoice;
    QString customer;
    QString oib;
    int order = 0;  // within a date: the book position, number or collection
    std::vector<double> amounts = std::vector<double>(kIraAmountCount, 0.0);
};

// One row of a stored query: a tax group of an invoice.
struct GroupRow {
    QString group;
    double rate = 0;
    int taxation = 0;
    double base = 0;
    double tax = 0;
};

// The columns of a period: either the tax groups' setting or the period's own rates.
class Columns {
public:
    Columns(const TaxFormLines& lines, bool older, std::vector<double> periodRates)
        : m_lines(lines), m_older(older) {
        if (older) {
            m_rates = std::move(periodRates);
        } else {
            for (const RateColumn& column : lines.RateColumns()) {
                m_rates.push_back(column.rate);
            }
        }
        if (m_rates.size() > 3) {
            m_rates.resize(3);
        }
    }

    const std::vector<double>& Rates() const { return m_rates; }

    // Adds base and tax of a group row to the entry's columns.
    void Add(Entry& entry, const GroupRow& row) const {
        const Placement place = m_lines.Place(row.group, row.taxation, row.rate);
        auto& a = entry.amounts;
        switch (place.kind) {
            case SupplyKind::Taxable: {
                int column = m_older ? RateIndex(row.rate) : place.rateColumn;
                if (column >= 3) {
                    column = -1;
                }
                if (column < 0) {
                    a[kIraOtherBase] += row.base;
                    a[kIraOtherTax] += row.tax;
                } else {
                    a[kIraBase1 + 2 * column] += row.base;
                    a[kIraTax1 + 2 * column] += row.tax;
                }
                return;
            }
            case SupplyKind::EuSupply:
                a[kIraEu] += row.base;
                break;
            case SupplyKind::Export:
                a[kIraExport] += row.base;
                break;
            case SupplyKind::Exempt:
                a[kIraExempt] += row.base;
                break;
            case SupplyKind::ReverseCharge:
                a[kIraReverseCharge] += row.base;
                break;
        }
        // A tax-free supply carries no tax; what a line shows anyway stays visible.
        a[kIraOtherTax] += row.tax;
    }

private:
    int RateIndex(double rate) const {
        for (std::size_t i = 0; i < m_rates.size(); ++i) {
            if (std::abs(m_rates[i] - rate) < 1e-9) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    const TaxFormLines& m_lines;
    bool m_older;
    std::vector<double> m_rates;
};

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The nonzero rates of the period's taxable rows, ascending.
std::vector<double> PeriodRates(Database& db, const QString& view, const QString& dateColumn,
                                const IraRange& range) {
    Statement rates =
        db.Prepare(QStringLiteral("SELECT DISTINCT \"STOPA\" FROM ") + Quoted(view) +
                   QStringLiteral(" WHERE \"IRA\" = ? AND \"GODINA\" = ? AND ") +
                   Quoted(dateColumn) + QStringLiteral(" >= ? AND ") + Quoted(dateColumn) +
                   QStringLiteral(" <= ? AND \"STOPA\" > 0 ORDER BY \"STOPA\""));
    rates.Exec({range.book, range.year, range.from, range.to});
    std::vector<double> list;
    while (rates.Next()) {
        list.push_back(rates.Double(0));
    }
    return list;
}

QString NumberText(const QVariant& first, const QVariant& last) {
    const QString a = first.isNull() ? QString() : QString::number(sqlvalue::ToInt(first));
    const QString b = last.isNull() ? a : QString::number(sqlvalue::ToInt(last));
    return a == b ? a : a + QLatin1Char('-') + b;
}

// The invoice variants: one entry per invoice event (or retail day) of the stored query.
std::vector<Entry> InvoiceEntries(Database& db, IraVariant variant, const IraRange& range,
                                  const Columns& columns) {
    const bool daily = variant == IraVariant::RetailDaily;
    const QString view = IraQueryName(variant);
    QString sql = QStringLiteral("SELECT \"DATUM\", \"STORNO\", \"BROJ\", ") +
                  (daily ? QStringLiteral("\"BROJ_DO\"") : QStringLiteral("\"BROJ\"")) +
                  QStringLiteral(
                      ", \"RBR\", \"KUPAC\", \"OIB\", \"GRUPA_POREZA\", \"STOPA\", "
                      "\"TIP_OPOREZIVANJA\", \"OSNOVICA\", \"POREZ\", \"UKUPNO\" FROM ") +
                  Quoted(view) +
                  QStringLiteral(
                      " WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                      "AND \"DATUM\" >= ? AND \"DATUM\" <= ?");
    QVariantList values{range.warehouse, range.book, range.year, range.from, range.to};
    if (!daily && range.first) {
        sql += QStringLiteral(" AND \"BROJ\" >= ?");
        values << *range.first;
    }
    if (!daily && range.last) {
        sql += QStringLiteral(" AND \"BROJ\" <= ?");
        values << *range.last;
    }
    sql += QStringLiteral(" ORDER BY \"DATUM\", \"STORNO\", \"BROJ\"");
    Statement rows = db.Prepare(sql);
    rows.Exec(values);
    std::vector<Entry> entries;
    QString lastKey;
    while (rows.Next()) {
        const bool cancelled = rows.Int(1) != 0;
        const QString key = rows.Value(0).toString() + QLatin1Char('|') +
                            QString::number(cancelled) + QLatin1Char('|') + rows.Text(2) +
                            QLatin1Char('|') + rows.Text(3);
        if (entries.empty() || key != lastKey) {
            Entry entry;
            entry.date = rows.Value(0).toDate();
            entry.invoice = NumberText(rows.Value(2), rows.Value(3));
            if (cancelled) {
                entry.invoice += QStringLiteral(" storno");
            }
            entry.customer = rows.Text(5);
            entry.oib = rows.Text(6);
            entry.order = rows.Int(4);
            entries.push_back(entry);
            lastKey = key;
        }
        const GroupRow row{rows.Text(7), rows.Double(8), rows.Int(9), rows.Double(10),
                           rows.Double(11)};
        columns.Add(entries.back(), row);
        entries.back().amounts[kIraTotal] += rows.Double(12);
    }
    return entries;
}

// One collection with the rows of its invoice.
struct Collection {
    QDate paidDate;
    QDate date;
    int number = 0;
    bool retail = false;
    QString customer;
    QString oib;
    double paid = 0;
    std::vector<GroupRow> rows;
    double invoiceTotal = 0;
};

// The share of a collection in each group of its invoice. An invoice of total 0 has no
// proportion: the whole collection goes to the first group's base with tax 0.
void AddShare(Entry& entry, const Collection& c, const Columns& columns) {
    entry.amounts[kIraTotal] += c.paid;
    if (std::abs(c.invoiceTotal) < 0.005) {
        GroupRow whole = c.rows.front();
        whole.base = c.paid;
        whole.tax = 0;
        columns.Add(entry, whole);
        return;
    }
    const double share = c.paid / c.invoiceTotal;
    for (GroupRow row : c.rows) {
        row.base = RoundMoney(row.base * share);
        row.tax = RoundMoney(row.tax * share);
        columns.Add(entry, row);
    }
}

std::vector<Entry> PaidEntries(Database& db, IraVariant variant, const IraRange& range,
                               const Columns& columns) {
    const QString sumView = IraQueryName(IraVariant::PaidRetailDaily);
    const bool daily = variant == IraVariant::PaidRetailDaily;
    std::vector<Collection> collections;
    const auto read = [&](const QString& view, const QString& extra) {
        Statement rows = db.Prepare(
            QStringLiteral("SELECT \"NAPLATA\", \"DATUM PLAĆANJA\", \"DATUM\", \"BROJ\", "
                           "\"UVJET PRODAJE\", \"KUPAC\", \"OIB\", \"PLACENO\", \"GRUPA_POREZA\", "
                           "\"STOPA\", \"TIP_OPOREZIVANJA\", \"OSNOVICA\", \"POREZ\", \"UKUPNO\" "
                           "FROM ") +
            Quoted(view) +
            QStringLiteral(" WHERE \"Skladiste\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                           "\"DATUM PLAĆANJA\" >= ? AND \"DATUM PLAĆANJA\" <= ?") +
            extra + QStringLiteral(" ORDER BY \"DATUM PLAĆANJA\", \"NAPLATA\""));
        rows.Exec({range.warehouse, range.book, range.year, range.from, range.to});
        int last = -1;
        while (rows.Next()) {
            if (collections.empty() || rows.Int(0) != last) {
                last = rows.Int(0);
                Collection c;
                c.number = rows.Int(3);
                c.paidDate = rows.Value(1).toDate();
                c.date = rows.Value(2).toDate();
                c.retail = rows.Int(4) == 1;
                c.customer = rows.Text(5);
                c.oib = rows.Text(6);
                c.paid = rows.Double(7);
                collections.push_back(c);
            }
            Collection& c = collections.back();
            c.rows.push_back(
                {rows.Text(8), rows.Double(9), rows.Int(10), rows.Double(11), rows.Double(12)});
            c.invoiceTotal += rows.Double(13);
        }
    };
    if (daily) {
        read(IraQueryName(IraVariant::Paid),
             QStringLiteral(" AND (\"UVJET PRODAJE\" IS NULL OR \"UVJET PRODAJE\" <> 1)"));
        read(sumView, QString());
    } else {
        read(IraQueryName(IraVariant::Paid), QString());
    }

    std::vector<Entry> entries;
    std::map<QDate, std::size_t> retailDay;  // entry of each day's retail collections
    for (const Collection& c : collections) {
        if (daily && c.retail) {
            const auto found = retailDay.find(c.paidDate);
            if (found != retailDay.end()) {
                Entry& day = entries[found->second];
                AddShare(day, c, columns);
                day.invoice = day.invoice.section(QLatin1Char('-'), 0, 0) + QLatin1Char('-') +
                              QString::number(c.number);
                continue;
            }
        }
        Entry entry;
        entry.date = c.date;
        entry.paidDate = c.paidDate;
        entry.invoice = QString::number(c.number);
        entry.customer = daily && c.retail ? QStringLiteral("Maloprodaja") : c.customer;
        entry.oib = daily && c.retail ? QString() : c.oib;
        entry.order = static_cast<int>(entries.size());
        AddShare(entry, c, columns);
        if (daily && c.retail) {
            entry.date = QDate();
            retailDay[c.paidDate] = entries.size();
        }
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.paidDate < b.paidDate; });
    return entries;
}

}  // namespace

QString IraCommandCaption(IraVariant variant) {
    switch (variant) {
        case IraVariant::Total:
            return QStringLiteral("Izvještaj ukupno");
        case IraVariant::RetailDaily:
            return QStringLiteral("Izvještaj ukupno - maloprodaja sumarno po danima");
        case IraVariant::Paid:
            return QStringLiteral("Izvještaj plaćenih računa po datumima plaćanja");
        case IraVariant::PaidRetailDaily:
            return QStringLiteral(
                "Izvještaj plaćenih računa po datumima plaćanja - maloprodaja sumarno po danima");
    }
    return {};
}

QString IraStatusText(IraVariant variant) {
    switch (variant) {
        case IraVariant::Total:
            return QStringLiteral(" Knjiga izlaznih računa");
        case IraVariant::RetailDaily:
            return QStringLiteral(" Knjiga izlaznih računa - maloprodaja sumarno po danima");
        case IraVariant::Paid:
            return QStringLiteral(" Knjiga plaćenih izlaznih računa");
        case IraVariant::PaidRetailDaily:
            return QStringLiteral(
                " Knjiga plaćenih izlaznih računa (maloprodaja sumirana po danima)");
    }
    return {};
}

QString IraTitlePart(IraVariant variant) {
    switch (variant) {
        case IraVariant::Total:
            return QStringLiteral(" od ");
        case IraVariant::RetailDaily:
            return QStringLiteral(" (maloprodaja sumarno po danima) od ");
        case IraVariant::Paid:
            return QStringLiteral(" - plaćeni računi od ");
        case IraVariant::PaidRetailDaily:
            return QStringLiteral(" - plaćeni računi, maloprodaja sumarno po danima od ");
    }
    return {};
}

QString IraQueryName(IraVariant variant) {
    switch (variant) {
        case IraVariant::Total:
            return QStringLiteral("Query knjiga izlaznih računa5");
        case IraVariant::RetailDaily:
            return QStringLiteral("Query knjiga izlaznih računa6");
        case IraVariant::Paid:
            return QStringLiteral("Query knjiga izlaznih računa plaćeno N");
        case IraVariant::PaidRetailDaily:
            return QStringLiteral("Query knjiga izlaznih računa plaćeno maloprodaja sumarno N");
    }
    return {};
}

QDate IraOlderLayoutsUntil() {
    return QDate(2012, 3, 1);
}

QString IraReportFile(IraVariant variant, const QDate& periodEnd) {
    QString base;
    switch (variant) {
        case IraVariant::Total:
            base = QStringLiteral("i-ra");
            break;
        case IraVariant::RetailDaily:
            base = QStringLiteral("i-ra_d");
            break;
        case IraVariant::Paid:
            base = QStringLiteral("i-ra_dp");
            break;
        case IraVariant::PaidRetailDaily:
            base = QStringLiteral("i-ra_pl_d");
            break;
    }
    if (periodEnd < IraOlderLayoutsUntil()) {
        base += QStringLiteral("_prije_01_03_2012");
    }
    return base + QStringLiteral(".rpt");
}

IraBookResult BuildIraBook(Database& db, int sessionCode, IraVariant variant, const IraRange& range,
                           int rowsPerPage) {
    const bool paid = variant == IraVariant::Paid || variant == IraVariant::PaidRetailDaily;
    const bool older = range.to < IraOlderLayoutsUntil();
    const TaxFormLines lines(db);
    const Columns columns(
        lines, older,
        older
            ? PeriodRates(db, IraQueryName(paid ? IraVariant::Paid : IraVariant::Total),
                          paid ? QStringLiteral("DATUM PLAĆANJA") : QStringLiteral("DATUM"), range)
            : std::vector<double>());
    std::vector<Entry> entries = paid ? PaidEntries(db, variant, range, columns)
                                      : InvoiceEntries(db, variant, range, columns);

    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_IRA_IZVJESTAJ\" WHERE \"SESIJA\" = ?"),
            {sessionCode});
    Statement insert(
        db, QStringLiteral(
                "INSERT INTO \"KNJIGA_IRA_IZVJESTAJ\" (\"SESIJA\", \"SKLADISTE\", "
                "\"BROJ_STRANICE\", \"RBR\", \"DATUM\", \"DATUM_PLACANJA\", \"RACUN\", "
                "\"KUPAC\", \"OIB\", \"UKUPNO\", \"OSNOVICA_1\", \"POREZ_1\", \"OSNOVICA_2\", "
                "\"POREZ_2\", \"OSNOVICA_3\", \"POREZ_3\", \"OSNOVICA_EU\", \"OSNOVICA_IZVOZ\", "
                "\"OSNOVICA_OSLOBODENO\", \"OSNOVICA_PRIJENOS\", \"OSNOVICA_OSTALO\", "
                "\"POREZ_OSTALO\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?, ?, ?)"));
    const Entry* current = nullptr;
    PagedBook book(rowsPerPage, kIraAmountCount, [&](const PagedBook::Row& row) {
        const bool booking = row.kind == PagedBook::Row::Kind::Booking;
        QVariantList values{
            sessionCode,
            range.warehouse,
            row.page,
            booking ? QVariant(row.number) : QVariant(),
            booking && current->date.isValid() ? QVariant(current->date) : QVariant(),
            booking && current->paidDate.isValid() ? QVariant(current->paidDate) : QVariant(),
            booking ? current->invoice : row.text,
            booking ? QVariant(current->customer) : QVariant(),
            booking && !current->oib.isEmpty() ? QVariant(current->oib) : QVariant()};
        for (double amount : row.amounts) {
            values << (booking ? RoundMoney(amount) : amount);
        }
        insert.Exec(values);
    });
    book.Start();
    for (const Entry& entry : entries) {
        current = &entry;
        book.Add(entry.amounts);
    }
    tx.Commit();
    return {book.Bookings(), book.Page(), book.Sums(), columns.Rates()};
}

reports::ReportRequest PrepareIraBook(Session& session, IraVariant variant, int book,
                                      const reports::ReportRange& range) {
    IraRange r;
    r.warehouse = session.activeWarehouse.code;
    r.book = book;
    r.year = session.businessYear;
    r.from = range.from;
    r.to = range.to;
    if (variant == IraVariant::Total) {
        r.first = range.first;
        r.last = range.last;
    }
    const IraBookResult result = BuildIraBook(session.Db(), session.sessionCode, variant, r);
    const QString name =
        session.Db()
            .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"),
                    {book})
            .toString();
    reports::ReportRequest request;
    request.reportFile = IraReportFile(variant, range.to);
    request.title = IraStatusText(variant).trimmed();
    request.Formula(QStringLiteral("NASLOV"), name + IraTitlePart(variant) + range.fromText +
                                                  QStringLiteral(" do ") + range.toText);
    for (std::size_t i = 0; i < 3; ++i) {
        request.Formula(QStringLiteral("STOPA%1").arg(i + 1),
                        i < result.rates.size()
                            ? QString::number(result.rates[i]) + QStringLiteral(" %")
                            : QString());
    }
    request.parameters = reports::SessionParameters(session);
    return request;
}

IraNumberSpan IraNumbers(Database& db, int warehouse, int book, int year) {
    Statement span = db.Prepare(QStringLiteral(
        "SELECT MIN(\"BROJ RACUNA\"), MAX(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE \"SKLADISTE\" "
        "= ? AND \"IRA\" = ? AND \"GODINA\" = ?"));
    span.Exec({warehouse, book, year});
    IraNumberSpan numbers;
    if (span.Next() && !span.IsNull(0)) {
        numbers.first = span.Int(0);
        numbers.last = span.Int(1);
    }
    return numbers;
}

}  // namespace zodra::books

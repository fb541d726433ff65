#include "books/KpiBook.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "reports/PagedBook.h"

namespace zodra::books {

namespace {

const char16_t* const kEntryColumns[kKpiAmountCount] = {
    u"PRIMICI U GOTOVINI",       u"PRIMICI NA ZIRO RACUN",  u"PRIMICI U NARAVI",
    u"PDV U PRIMICIMA",          u"UKUPNI PRIMICI",         u"IZDACI U GOTOVINI",
    u"IZDACI PUTEM ZIRO RACUNA", u"IZDACI U NARAVI",        u"PDV U IZDACIMA",
    u"IZDACI IZ CL 19",          u"UKUPNO DOPUSTENI IZDACI"};

const char16_t* const kLabels[kKpiAmountCount] = {
    u"Primici u gotovini :",       u"Primici na žiro račun :",  u"Primici u naravi :",
    u"PDV u primicima :",          u"Ukupni primici :",         u"Izdaci u gotovini :",
    u"Izdaci putem žiro računa :", u"Izdaci u naravi :",        u"PDV u izdacima :",
    u"Izdaci iz čl. 19 :",         u"Ukupno dopušteni izdaci :"};

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString EntryColumnList() {
    QStringList list;
    for (int i = 0; i < kKpiAmountCount; ++i) {
        list << Quoted(KpiEntryColumn(i));
    }
    return list.join(QStringLiteral(", "));
}

KpiEntry ReadEntry(const Statement& s) {
    KpiEntry e;
    e.number = s.Int(0);
    e.date = sqlvalue::ToDate(s.Value(1));
    e.voucher = s.Text(2);
    e.description = s.Text(3);
    if (!s.IsNull(4)) {
        e.type = s.Int(4);
    }
    for (int i = 0; i < kKpiAmountCount; ++i) {
        e.amounts[static_cast<std::size_t>(i)] = s.Double(5 + i);
    }
    return e;
}

QString SelectEntries() {
    return QStringLiteral(
               "SELECT \"REDNI BROJ\", \"NADNEVAK PRIMITKA / IZDATKA\", \"BROJ "
               "TEMELJNICE\", \"OPIS ISPRAVA\", \"TIP_UPISA\", ") +
           EntryColumnList() + QStringLiteral(" FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" ");
}

void WriteEntry(Database& db, int year, const KpiEntry& e) {
    QVariantList values{year,      e.number,      e.date,
                        e.voucher, e.description, e.type ? QVariant(*e.type) : QVariant()};
    for (double amount : e.amounts) {
        values << amount;
    }
    db.Exec(QStringLiteral("INSERT INTO \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" (\"GODINA\", \"REDNI "
                           "BROJ\", \"NADNEVAK PRIMITKA / IZDATKA\", \"BROJ TEMELJNICE\", \"OPIS "
                           "ISPRAVA\", \"TIP_UPISA\", ") +
                EntryColumnList() +
                QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values);
}

}  // namespace

QString KpiEntryColumn(int amount) {
    return QString::fromUtf16(kEntryColumns[amount]);
}

QString KpiReportColumn(int amount) {
    return KpiEntryColumn(amount).replace(QLatin1Char(' '), QLatin1Char('_'));
}

QString KpiAmountLabel(int amount) {
    return QString::fromUtf16(kLabels[amount]);
}

QString KpiEntryCaption() {
    return QStringLiteral("Upis primitaka i izdataka");
}
QString KpiVoucherTooLong() {
    return QStringLiteral("Broj temeljnice je duži od 10 znakova !");
}
QString KpiDescriptionTooLong() {
    return QStringLiteral("Opis je duži od 255 znakova !");
}
QString KpiDuplicateMessage() {
    return QStringLiteral("Stavka pod ovim rednim brojem je već upisana !");
}
QString KpiDeleteQuestion() {
    return QStringLiteral("Želite li obrisati stavku?");
}
QString KpiDailySalesText() {
    return QStringLiteral("promet u gotovini");
}

void ComputeKpiTotals(KpiAmounts& a) {
    a[kReceiptsTotal] = a[kCashReceipts] + a[kBankReceipts] + a[kReceiptsInKind] - a[kReceiptsVat];
    a[kAllowedExpenditures] = a[kCashExpenditures] + a[kBankExpenditures] + a[kExpendituresInKind] -
                              a[kExpendituresVat] - a[kArticle19];
}

int NextKpiNumber(Database& db, int year) {
    const QVariant max =
        db.Scalar(QStringLiteral("SELECT MAX(\"REDNI BROJ\") FROM "
                                 "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" = ?"),
                  {year});
    return max.isNull() ? 1 : max.toInt() + 1;
}

bool KpiEntryExists(Database& db, int year, int number) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE "
                               "\"GODINA\" = ? AND \"REDNI BROJ\" = ?"),
                {year, number})
        .isValid();
}

std::vector<KpiEntry> ListKpiEntries(Database& db, int year) {
    Statement s(db,
                SelectEntries() + QStringLiteral("WHERE \"GODINA\" = ? ORDER BY \"REDNI BROJ\""));
    s.Exec({year});
    std::vector<KpiEntry> list;
    while (s.Next()) {
        list.push_back(ReadEntry(s));
    }
    return list;
}

std::optional<KpiEntry> FindKpiEntry(Database& db, int year, int number) {
    Statement s(db,
                SelectEntries() + QStringLiteral("WHERE \"GODINA\" = ? AND \"REDNI BROJ\" = ?"));
    s.Exec({year, number});
    if (!s.Next()) {
        return std::nullopt;
    }
    return ReadEntry(s);
}

std::vector<KpiEntryType> KpiEntryTypes(Database& db) {
    Statement s(db, QStringLiteral("SELECT \"Sifra\", \"Naziv\" FROM \"KPI_TIPOVI_UPISA\" ORDER "
                                   "BY \"Sifra\""));
    s.Exec();
    std::vector<KpiEntryType> list;
    while (s.Next()) {
        list.push_back({s.Int(0), s.Text(1)});
    }
    return list;
}

void CheckKpiEntry(const KpiEntry& e, int year) {
    if (e.number <= 0) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (e.voucher.size() > kKpiMaxVoucher) {
        throw UserError(KpiVoucherTooLong());
    }
    if (e.description.size() > kKpiMaxDescription) {
        throw UserError(KpiDescriptionTooLong());
    }
    for (const auto& [text, what] : {std::pair{e.voucher, QStringLiteral("Broj temeljnice")},
                                     std::pair{e.description, QStringLiteral("Opis")}}) {
        if (const auto refusal = limits::CheckText(text, what)) {
            throw UserError(*refusal);
        }
    }
    limits::RequireDocumentDate(e.date, year, QStringLiteral("Datum"));
    for (int i = 0; i < kKpiAmountCount; ++i) {
        limits::RequireNumber(e.amounts[static_cast<std::size_t>(i)], limits::NumberKind::Amount,
                              KpiAmountLabel(i).chopped(2));
    }
}

void InsertKpiEntry(Database& db, int year, KpiEntry entry) {
    ComputeKpiTotals(entry.amounts);
    CheckKpiEntry(entry, year);
    Transaction tx(db);
    if (KpiEntryExists(db, year, entry.number)) {
        throw UserError(KpiDuplicateMessage());
    }
    WriteEntry(db, year, entry);
    tx.Commit();
}

int AppendKpiEntry(Database& db, int year, KpiEntry entry) {
    ComputeKpiTotals(entry.amounts);
    entry.number = 1;  // checked below with the number it gets
    CheckKpiEntry(entry, year);
    Transaction tx(db);
    entry.number = NextKpiNumber(db, year);
    WriteEntry(db, year, entry);
    tx.Commit();
    return entry.number;
}

bool DeleteKpiEntry(Database& db, int year, int number) {
    Transaction tx(db);
    const int deleted = db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" "
                                               "WHERE \"GODINA\" = ? AND \"REDNI BROJ\" = ?"),
                                {year, number});
    tx.Commit();
    return deleted > 0;
}

KpiReportTotals BuildKpiReport(Database& db, int sessionCode, int year, const QDate& from,
                               const QDate& to, std::optional<int> first, std::optional<int> last) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA\" WHERE \"SESIJA\" = ?"),
            {sessionCode});
    QStringList columns;
    for (int i = 0; i < kKpiAmountCount; ++i) {
        columns << Quoted(KpiReportColumn(i));
    }
    Statement insert(
        db, QStringLiteral("INSERT INTO \"KNJIGA_PRIMITAKA_I_IZDATAKA\" (\"SESIJA\", "
                           "\"BROJ_STRANICE\", \"REDNI_BROJ\", \"NADNEVAK_PRIMITKA_IZDATKA\", "
                           "\"BROJ_TEMELJNICE\", \"OPIS_ISPRAVA\", ") +
                columns.join(QStringLiteral(", ")) +
                QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The entry at hand: the book's rows carry the entry's own number, not the builder's.
    const KpiEntry* current = nullptr;
    PagedBook book(kKpiRowsPerPage, kKpiAmountCount, [&](const PagedBook::Row& row) {
        const bool booking = row.kind == PagedBook::Row::Kind::Booking;
        QVariantList values{sessionCode,
                            row.page,
                            booking ? QVariant(current->number) : QVariant(),
                            booking ? QVariant(current->date) : QVariant(),
                            booking ? QVariant(current->voucher) : QVariant(),
                            booking ? current->description : row.text};
        for (double amount : row.amounts) {
            values << amount;
        }
        insert.Exec(values);
    });
    book.Start();
    QString sql =
        SelectEntries() + QStringLiteral(
                              "WHERE \"GODINA\" = ? AND \"NADNEVAK PRIMITKA / IZDATKA\" >= ? "
                              "AND \"NADNEVAK PRIMITKA / IZDATKA\" <= ?");
    QVariantList params{year, from, to};
    if (first) {
        sql += QStringLiteral(" AND \"REDNI BROJ\" >= ?");
        params << *first;
    }
    if (last) {
        sql += QStringLiteral(" AND \"REDNI BROJ\" <= ?");
        params << *last;
    }
    std::vector<KpiEntry> entries;
    {
        Statement s(db, sql + QStringLiteral(" ORDER BY \"REDNI BROJ\""));
        s.Exec(params);
        while (s.Next()) {
            entries.push_back(ReadEntry(s));
        }
    }
    std::vector<double> amounts(kKpiAmountCount);
    for (const KpiEntry& e : entries) {
        current = &e;
        std::copy(e.amounts.begin(), e.amounts.end(), amounts.begin());
        book.Add(amounts);
    }
    tx.Commit();
    KpiReportTotals totals;
    totals.entries = book.Bookings();
    totals.pages = book.Page();
    std::copy(book.Sums().begin(), book.Sums().end(), totals.sums.begin());
    return totals;
}

reports::ReportRequest PrepareKpiReport(Session& session, const reports::ReportRange& range) {
    BuildKpiReport(session.Db(), session.sessionCode, session.businessYear, range.from, range.to,
                   range.first, range.last);
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("kpi.rpt");
    request.title = QStringLiteral("Knjiga primitaka i izdataka");
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Knjiga primitaka i izdataka od ") +
                                                  range.fromText + QStringLiteral(" do ") +
                                                  range.toText);
    request.parameters = reports::SessionParameters(session);
    return request;
}

reports::ReportRequest KpiByTypeReport(const Session& session, const reports::ReportRange& range) {
    const QString t = QStringLiteral("KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS.");
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("kpi_tip.rpt");
    request.title = QStringLiteral("Knjiga primitaka i izdataka po tipovima upisa");
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Knjiga primitaka i izdataka od ") +
                                                  range.fromText + QStringLiteral(" do ") +
                                                  range.toText +
                                                  QStringLiteral(" po tipovima upisa"));
    request.selection.Where(t + QStringLiteral("GODINA"), reports::CompareOp::Equal,
                            session.businessYear);
    if (range.first) {
        request.selection.Where(t + QStringLiteral("REDNI BROJ"),
                                reports::CompareOp::GreaterOrEqual, *range.first);
    }
    if (range.last) {
        request.selection.Where(t + QStringLiteral("REDNI BROJ"), reports::CompareOp::LessOrEqual,
                                *range.last);
    }
    request.selection
        .Where(t + QStringLiteral("NADNEVAK PRIMITKA / IZDATKA"),
               reports::CompareOp::GreaterOrEqual, range.from)
        .Where(t + QStringLiteral("NADNEVAK PRIMITKA / IZDATKA"), reports::CompareOp::LessOrEqual,
               range.to);
    request.parameters = reports::SessionParameters(session);
    return request;
}

std::pair<int, int> KpiNumberRange(Database& db, int year) {
    Statement s(db, QStringLiteral("SELECT MIN(\"REDNI BROJ\"), MAX(\"REDNI BROJ\") FROM "
                                   "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"GODINA\" = ?"));
    s.Exec({year});
    if (!s.Next() || s.IsNull(0)) {
        return {0, 0};
    }
    return {s.Int(0), s.Int(1)};
}

}  // namespace zodra::books

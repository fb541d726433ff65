#pragma once

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <ostream>

#include "cashbook/CashBook.h"
#include "data/Database.h"
#include "support/Pdf.h"
#include "support/TestCompany.h"

// gtest prints QStrings as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zodra::test {

// Keeps a rendered PDF for looking at when ZODRA_TEST_OUTPUT names a folder.
inline void KeepPdf(const QString& pdf, const QString& name) {
    const QString folder = qEnvironmentVariable("ZODRA_TEST_OUTPUT");
    if (!folder.isEmpty()) {
        QFile::remove(folder + QLatin1Char('/') + name);
        QFile::copy(pdf, folder + QLatin1Char('/') + name);
    }
}

// Writes a voucher straight into its table (as a posted one would be).
inline void AddVoucher(Database& db, cashbook::VoucherKind kind, int warehouse, int year,
                       int number, const QDate& date, double amount,
                       const QString& party = QStringLiteral("Partner"),
                       const QString& purpose = QStringLiteral("Svrha")) {
    cashbook::InsertVoucher(db, kind, warehouse, year,
                            {number, date, party, purpose, amount, QString()});
}

}  // namespace zodra::test

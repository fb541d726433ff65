#pragma once

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <ostream>

#include "cashbook/CashBook.h"
#include "data/Database.h"
#include "support/TestCompany.h"

// gtest prints QStrings as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zodra::test {

// Text of a PDF as pdftotext extracts it (page by page, in reading order; "-layout" keeps
// the columns of a line together).
inline QString PdfText(const QString& pdf, bool layout = true) {
    QProcess p;
    QStringList args;
    if (layout) {
        args << QStringLiteral("-layout");
    }
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Keeps a rendered PDF for looking at when ZODRA_TEST_OUTPUT names a folder.
inline void KeepPdf(const QString& pdf, const QString& name) {
    const QString folder = qEnvironmentVariable("ZODRA_TEST_OUTPUT");
    if (!folder.isEmpty()) {
        QFile::remove(folder + QLatin1Char('/') + name);
        QFile::copy(pdf, folder + QLatin1Char('/') + name);
    }
}

// The text of one page (1-based).
inline QString PdfPageText(const QString& pdf, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int PdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
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

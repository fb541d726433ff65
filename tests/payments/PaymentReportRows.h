#pragma once

#include <QDate>
#include <QString>

#include "data/Database.h"
#include "data/SqlValue.h"
#include "reports/ReportTestSupport.h"
#include "stock/StockTest.h"

namespace zodra::test {

// A workstation in warehouse 1 with invoices, collections, payments and opening balances
// written straight into their tables, as the entry windows and postings leave them.
class PaymentRowsTest : public StockTest {
protected:
    int AddPartner(const QString& name, const QString& iban = QString()) {
        return sqlvalue::ToInt(db().Scalar(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\", \"MJESTO\", "
                           "\"ZIRO_RACUN\", \"Kupac\", \"Dobavljac\") VALUES (?, 'Ilica 1', "
                           "'10000 Zagreb', ?, TRUE, TRUE) RETURNING \"SIFRA\""),
            {name, iban}));
    }
    // An output invoice of book 2 whose lines add up to the amounts given.
    void AddInvoice(int number, int partner, const QDate& date, std::initializer_list<double> lines,
                    bool cancelled = false, int warehouse = 1, const QString& reference = {}) {
        db().Exec(
            QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                           "\"BROJ RACUNA\", \"DATUM\", \"DOSPIJECE RACUNA\", "
                           "\"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"STORNO\", "
                           "\"POZIV NA BROJ\") VALUES (?, 2, ?, ?, ?, ?, ?, 2, ?, ?)"),
            {warehouse, Year(), number, date, date.addDays(15), partner, cancelled, reference});
        for (const double line : lines) {
            db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                     "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", "
                                     "\"VRIJEDNOST_\", \"UKUPNO_\") VALUES (?, 2, ?, ?, 'USL', "
                                     "?, ?)"),
                      {warehouse, Year(), number, line / 1.25, line});
        }
    }
    // A customer payment and the part of it that closes an invoice of book 2.
    int AddPayment(int partner, const QDate& date, double amount, int warehouse = 1) {
        return sqlvalue::ToInt(db().Scalar(
            QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", "
                           "\"Datum\", \"Tip\", \"Opis\", \"Iznos\") VALUES (?, ?, ?, ?, "
                           "'žiro račun', 'izvod 1', ?) RETURNING \"Sifra\""),
            {warehouse, Year(), partner, date, amount}));
    }
    void AddCollection(int payment, int number, const QDate& date, double amount,
                       int warehouse = 1) {
        db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                 "\"Broj računa\", \"Tip\", \"Datum\", \"Opis dokumenta\", "
                                 "\"Iznos\", \"Sifra uplate\") VALUES (?, 2, ?, ?, 'žiro račun', "
                                 "?, 'izvod 1', ?, ?)"),
                  {warehouse, Year(), number, date, amount, payment});
    }
    QDate Day(int month, int day) const { return QDate(Year(), month, day); }
    QString ReportFolder() const { return QStringLiteral(ZODRA_SOURCE_DIR "/share/reports"); }
    // The report rendered to PDF and read back as text, blanks folded.
    QString Rendered(Session& s, const reports::ReportRequest& request, const QString& name) {
        const QString pdf =
            CompanyTest::Folder() + QLatin1Char('/') + name + QStringLiteral(".pdf");
        reports::ReportEngine(s.Db(), ReportFolder()).ToPdf(request, pdf);
        KeepPdf(pdf, name + QStringLiteral(".pdf"));
        return PdfText(pdf).simplified();
    }
};

}  // namespace zodra::test

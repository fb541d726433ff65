#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace zodra {
class Database;
}

// The input invoice book as the tax administration's electronic form "Obrazac U-RA": the
// company as the taxpayer, the person who prepared it, and every invoice of a book dated in the
// period with its bases and input tax at 0, 5, 13 and 25 %, and the totals. A datum the form
// requires and the company or a supplier lacks is refused with a message naming it, never
// written as an invalid file.
namespace zodra::books {

// The schema the form follows, in one place: a newer version is a change of these.
struct UraFormSchema {
    static QString Namespace();          // …/zahtjevi/ObrazacURA/v2-0
    static QString MetadataNamespace();  // …/Metapodaci/v2-0
    static QString Version();            // "2.0"
    static QString Conformance();        // "ObrazacURA-v2-0"
};

struct UraFormRequest {
    int book = 1;
    int year = 0;
    QDate from;
    QDate to;
    // "Ime Prezime" of the person who prepared the form; empty takes the company's director.
    QString preparer;
    QDateTime written = QDateTime::currentDateTime();
};

// The totals the form carries (U8 … U19), for the caller and the tests.
struct UraFormTotals {
    int invoices = 0;
    double base0 = 0, base5 = 0, base13 = 0, base25 = 0, total = 0, tax = 0;
    double deductible5 = 0, nonDeductible5 = 0, deductible13 = 0, nonDeductible13 = 0;
    double deductible25 = 0, nonDeductible25 = 0;
};

struct UraForm {
    QByteArray xml;
    UraFormTotals totals;
};

UraForm BuildUraForm(Database& db, const UraFormRequest& request);

}  // namespace zodra::books

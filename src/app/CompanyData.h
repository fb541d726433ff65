#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>

namespace zodra {
class Database;
}

namespace zodra::companydata {

// The company record (the single row of PODACI_FIRME): the data that heads every printed
// document, the invoice mark "R-1"/"R-2", the article list order, automatic backup, the
// settings of "Postavke" (report names, number format, receipt printer port) and the logo.

// The columns of "Upis podataka poduzeća", in window order.
const QStringList& RecordColumns();
// The columns of "Postavke".
const QStringList& SettingsColumns();

// The values of the record by column (texts; "AutoBackup" as bool).
QVariantMap Read(Database& db);
// "Prihvati" of "Upis podataka poduzeća": a name ("Naziv mora biti upisan.") and a bank
// account ("Žiro račun mora biti upisan.") are required; the invoice mark must be "R-1" or
// "R-2" and the article order one of the three. Writes the columns given.
void Save(Database& db, const QVariantMap& values);

// "Postavke": the three report names and the number format are required, with their
// messages; writes them and the receipt printer port.
void SaveSettings(Database& db, const QVariantMap& values);

// The logo: a bitmap file stored as it is (the picture itself, not a wrapper of another
// platform). A file that is not a bitmap is refused. The message to show after storing it is
// "Logo je unesen u bazu podataka.".
void StoreLogo(Database& db, const QString& bitmapPath);
QByteArray Logo(Database& db);

// Points the company at another detail file (detailed retail invoices). Only a Zodra detail
// file is accepted: anything else is refused and the link stays as it was.
void RelinkDetailFile(Database& db, const QString& detailPath);

// Further bank accounts of the company (ZIRO_RACUNI).
struct BankAccount {
    int code = 0;
    QString account;
    QString bank;
};
QList<BankAccount> BankAccounts(Database& db);
int AddBankAccount(Database& db, const QString& account, const QString& bank);
void DeleteBankAccount(Database& db, int code);

}  // namespace zodra::companydata

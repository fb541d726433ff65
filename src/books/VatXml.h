#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zodra {
class Database;
}

// The electronic filing of the current VAT return: the tax administration's "Obrazac PDV" XML.
// The schema version lives here alone, so that moving to a newer schema is a change of these
// constants and of the lines the newer schema adds.
namespace zodra::books {

struct VatReturn;

inline constexpr const char* kVatXmlNamespace =
    "http://e-porezna.porezna-uprava.hr/sheme/zahtjevi/ObrazacPDV/v10-0";
inline constexpr const char* kVatXmlSchemaVersion = "10.0";
inline constexpr const char* kVatXmlConformsTo = "ObrazacPDV-v10-0";

// Company settings (table Konfiguracija) the filing needs beside the company record: the
// four-digit code of the tax office and the name of the person who prepared the return (when
// empty, the company's director).
inline constexpr const char* kVatTaxOfficeSetting = "PDV porezna ispostava";
inline constexpr const char* kVatPreparerSetting = "PDV obrazac sastavio";

// The XML of a return of the current form. Every datum the schema requires is checked first;
// a missing one is refused with a message naming it (UserError), so no invalid file is
// written. `created` is the time the file is made (the metadata's date).
QByteArray VatReturnXml(Database& db, const VatReturn& vat,
                        const QDateTime& created = QDateTime::currentDateTime());

// Writes the XML to a file (replaced as a whole: a refusal leaves no file behind).
void WriteVatReturnXml(Database& db, const VatReturn& vat, const QString& path);

}  // namespace zodra::books

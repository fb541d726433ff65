#pragma once

#include <QString>

#include "registers/IdentityNumbers.h"

class QSettings;

namespace zodra {
class Database;
}

namespace zodra::fiscal {

constexpr int kDefaultTimeoutMs = 2000;

QString TestEndpoint();        // the tax administration's test service
QString ProductionEndpoint();  // its production service
// The service that takes the reports of e-invoices and of their payments.
QString ReportTestEndpoint();
QString ReportProductionEndpoint();

// What fiscalization needs. The company's part ("Fiskalizacija", "U sustavu PDV-a", the
// numbering sequence) is kept in the company's configuration and shared by every till; the
// till's part (premises and device marks, the certificate file and its password, the service
// and the timeout) in the workstation's own settings, so the certificate's password never
// enters the company file.
struct FiscalSettings {
    bool enabled = false;
    bool inVatSystem = true;
    QString sequence = QStringLiteral("P");  // P: numbered per premises, N: per device
    QString premises;                        // OznPosPr
    QString device;                          // OznNapUr
    QString certificatePath;
    QString certificatePassword;
    bool production = false;
    QString endpoint;        // empty: the test or production service
    QString reportEndpoint;  // the same for the e-invoice reports
    int timeoutMs = kDefaultTimeoutMs;
    // The certificate (PEM) the service signs its answers with: an answer whose signature it
    // does not confirm is kept as an error, never taken for a JIR. Empty: answers are taken
    // unchecked.
    QString serviceCertificatePath;
    // Certificate authorities (PEM) trusted for the service's HTTPS beside the system's own.
    QString trustedCaPath;

    QString Url() const;
    bool operator==(const FiscalSettings&) const = default;
    QString ReportUrl() const;
};

FiscalSettings ReadFiscalSettings(Database& db, QSettings& workstation);

// Checks and stores. Refusals (UserError): a premises mark that is not 1–20 letters and
// digits, a device mark that is not a number without leading zeros, a sequence other than P
// or N, a timeout outside 100–60000 ms.
void WriteFiscalSettings(Database& db, QSettings& workstation, const FiscalSettings& settings);

// The OIB an operator issues receipts under; empty when none is recorded.
QString OperatorOib(Database& db, const QString& user);
// Records it; an OIB that is not 11 digits with a valid check digit is refused.
void SetOperatorOib(Database& db, const QString& user, const QString& oib);

// The OIB check digit (ISO 7064, MOD 11,10) over 11 digits.
using registers::IsValidOib;

// The company's OIB from its record.
QString CompanyOib(Database& db);

QString InvalidOibMessage(const QString& oib);
QString NoOperatorOibMessage(const QString& user);

}  // namespace zodra::fiscal

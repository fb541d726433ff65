#include "fiscal/FiscalSettings.h"

#include <QRegularExpression>
#include <QSettings>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"

namespace zodra::fiscal {

namespace {

const QString kGroup = QStringLiteral("Fiskalizacija");
const QString kEnabled = QStringLiteral("Fiskalizacija");
const QString kInVat = QStringLiteral("Fiskalizacija u sustavu PDV-a");
const QString kSequence = QStringLiteral("Fiskalizacija oznaka slijednosti");

QString Configuration(Database& db, const QString& name, const QString& fallback) {
    const QVariant value = db.Scalar(
        QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"), {name});
    return value.isNull() ? fallback : value.toString();
}

void SetConfiguration(Database& db, const QString& name, const QString& value) {
    db.Exec(sqldialect::InsertOrReplace(
                db.Dialect(),
                QStringLiteral("\"Konfiguracija\" (\"Naziv\", \"Vrijednost\") "
                               "VALUES (?, ?)"),
                QStringLiteral("\"Naziv\""), {QStringLiteral("\"Vrijednost\"")}),
            {name, value});
}

QString YesNo(bool value) {
    return value ? QStringLiteral("DA") : QStringLiteral("NE");
}

}  // namespace

QString TestEndpoint() {
    return QStringLiteral("https://cistest.apis-it.hr:8449/FiskalizacijaServiceTest");
}
QString ProductionEndpoint() {
    return QStringLiteral("https://cis.porezna-uprava.hr:8449/FiskalizacijaService");
}

QString FiscalSettings::Url() const {
    if (!endpoint.isEmpty()) {
        return endpoint;
    }
    return production ? ProductionEndpoint() : TestEndpoint();
}

QString ReportTestEndpoint() {
    return QStringLiteral("https://cistest.apis-it.hr:8509/FiskalizacijaServiceEprod");
}
QString ReportProductionEndpoint() {
    return QStringLiteral("https://cis.porezna-uprava.hr:8509/FiskalizacijaService");
}

QString FiscalSettings::ReportUrl() const {
    if (!reportEndpoint.isEmpty()) {
        return reportEndpoint;
    }
    return production ? ReportProductionEndpoint() : ReportTestEndpoint();
}

FiscalSettings ReadFiscalSettings(Database& db, QSettings& workstation) {
    FiscalSettings s;
    s.enabled = Configuration(db, kEnabled, QStringLiteral("NE")) == QStringLiteral("DA");
    s.inVatSystem = Configuration(db, kInVat, QStringLiteral("DA")) == QStringLiteral("DA");
    s.sequence = Configuration(db, kSequence, QStringLiteral("P"));
    workstation.beginGroup(kGroup);
    s.premises = workstation.value(QStringLiteral("OznakaPoslovnogProstora")).toString();
    s.device = workstation.value(QStringLiteral("OznakaNaplatnogUredaja")).toString();
    s.certificatePath = workstation.value(QStringLiteral("Certifikat")).toString();
    s.certificatePassword = workstation.value(QStringLiteral("LozinkaCertifikata")).toString();
    s.production = workstation.value(QStringLiteral("Produkcija"), false).toBool();
    s.endpoint = workstation.value(QStringLiteral("Adresa")).toString();
    s.reportEndpoint = workstation.value(QStringLiteral("AdresaEIzvjestavanja")).toString();
    s.timeoutMs = workstation.value(QStringLiteral("CekanjeMs"), kDefaultTimeoutMs).toInt();
    s.serviceCertificatePath = workstation.value(QStringLiteral("CertifikatServisa")).toString();
    s.trustedCaPath = workstation.value(QStringLiteral("PouzdaniCA")).toString();
    workstation.endGroup();
    return s;
}

void WriteFiscalSettings(Database& db, QSettings& workstation, const FiscalSettings& s) {
    static const QRegularExpression premises(QStringLiteral("^[0-9A-Za-z]{1,20}$"));
    static const QRegularExpression device(QStringLiteral("^[1-9][0-9]{0,19}$"));
    if (!premises.match(s.premises).hasMatch()) {
        throw UserError(
            QStringLiteral("Oznaka poslovnog prostora smije imati samo slova i znamenke (najviše "
                           "20)."));
    }
    if (!device.match(s.device).hasMatch()) {
        throw UserError(QStringLiteral(
            "Oznaka naplatnog uređaja mora biti broj bez vodećih nula (najviše 20 znamenaka)."));
    }
    if (s.sequence != QStringLiteral("P") && s.sequence != QStringLiteral("N")) {
        throw UserError(QStringLiteral("Oznaka slijednosti mora biti P ili N."));
    }
    if (s.timeoutMs < 100 || s.timeoutMs > 60000) {
        throw UserError(
            QStringLiteral("Vrijeme čekanja odgovora mora biti od 100 do 60000 milisekundi."));
    }
    {
        Transaction transaction(db);
        SetConfiguration(db, kEnabled, YesNo(s.enabled));
        SetConfiguration(db, kInVat, YesNo(s.inVatSystem));
        SetConfiguration(db, kSequence, s.sequence);
        transaction.Commit();
    }
    workstation.beginGroup(kGroup);
    workstation.setValue(QStringLiteral("OznakaPoslovnogProstora"), s.premises);
    workstation.setValue(QStringLiteral("OznakaNaplatnogUredaja"), s.device);
    workstation.setValue(QStringLiteral("Certifikat"), s.certificatePath);
    workstation.setValue(QStringLiteral("LozinkaCertifikata"), s.certificatePassword);
    workstation.setValue(QStringLiteral("Produkcija"), s.production);
    workstation.setValue(QStringLiteral("Adresa"), s.endpoint);
    workstation.setValue(QStringLiteral("AdresaEIzvjestavanja"), s.reportEndpoint);
    workstation.setValue(QStringLiteral("CekanjeMs"), s.timeoutMs);
    workstation.setValue(QStringLiteral("CertifikatServisa"), s.serviceCertificatePath);
    workstation.setValue(QStringLiteral("PouzdaniCA"), s.trustedCaPath);
    workstation.endGroup();
    workstation.sync();
}

QString InvalidOibMessage(const QString& oib) {
    return QStringLiteral("OIB \"") + oib + QStringLiteral("\" nije ispravan.");
}
QString NoOperatorOibMessage(const QString& user) {
    return QStringLiteral("Korisnik \"") + user +
           QStringLiteral("\" nema upisan OIB za fiskalizaciju računa.");
}

QString OperatorOib(Database& db, const QString& user) {
    return db
        .Scalar(QStringLiteral("SELECT \"OIB\" FROM \"FISKAL_OPERATERI\" WHERE \"KORISNIK\" = ?"),
                {user})
        .toString();
}

void SetOperatorOib(Database& db, const QString& user, const QString& oib) {
    if (!IsValidOib(oib)) {
        throw UserError(InvalidOibMessage(oib));
    }
    Transaction transaction(db);
    db.Exec(
        sqldialect::InsertOrReplace(db.Dialect(),
                                    QStringLiteral("\"FISKAL_OPERATERI\" (\"KORISNIK\", \"OIB\") "
                                                   "VALUES (?, ?)"),
                                    QStringLiteral("\"KORISNIK\""), {QStringLiteral("\"OIB\"")}),
        {user, oib});
    transaction.Commit();
}

QString CompanyOib(Database& db) {
    return db.Scalar(QStringLiteral("SELECT \"OIB\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"))
        .toString()
        .trimmed();
}

}  // namespace zodra::fiscal

#include "app/CompanyConfig.h"

#include <map>

#include "data/Database.h"
#include "data/Prompter.h"

namespace zodra::companyconfig {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

}  // namespace

const std::vector<std::pair<QString, QString>>& Keys() {
    static const std::vector<std::pair<QString, QString>> keys = {
        {T(u"Vođenje skladišta"), T(u"FIFO")},
        {T(u"Godina koja se knjiži"), QString()},
        {T(u"Fiksni dodatni tekst"), QString()},
        {T(u"Baza sa više godina"), T(u"NE")},
        {T(u"Prodaja vozila"), T(u"NE")},
        {T(u"Artikli dodatni podaci"), T(u"NE")},
        {T(u"Djelatnici i trajanje usluga"), T(u"NE")},
        {T(u"Skraćena kalkulacija"), T(u"NE")},
        {T(u"Prethodni podaci artikla u kalkulaciji"), T(u"NE")},
        {T(u"Automatski radni nalozi"), T(u"NE")},
        {T(u"Naknadno skidanje artikala POS"), T(u"NE")},
        {T(u"Sumiranje maloprodajnih računa"), T(u"NE")},
        {T(u"Sumiranje međuskladišnica i primki"), T(u"NE")},
        {T(u"Vanjski izvor artikala"), T(u"NE")},
        {T(u"Vanjski izvor artikala - putanja baze"), QString()},
        {T(u"Vanjski izvor artikala - šifra skladišta"), T(u"0")},
        {T(u"Prikaz cijena u valuti"), T(u"NE")},
        {T(u"Zatvaranje prozora nakon upisa stavke"), T(u"DA")},
        {T(u"Word dokumenti"), T(u"NE")},
        {T(u"Dodatni zavisni troškovi"), T(u"NE")},
        {T(u"Ispis vremena na POS računu"), T(u"NE")},
        {T(u"Ambalaža"), T(u"NE")},
        {T(u"Specifikacije usluga"), T(u"NE")},
        {T(u"Izbor primke u POS kasi"), T(u"NE")},
        {T(u"Prikaz ukupnih iznosa na računu"), T(u"DA")},
        {T(u"Upozorenje na cijenu ispod nabavne"), T(u"DA")},
        {T(u"Naplata nakon maloprodajnog računa"), T(u"DA")},
        // The VAT return's electronic filing: the four-digit code of the tax office and the
        // person who prepares the return (the director when empty).
        {T(u"PDV porezna ispostava"), QString()},
        {T(u"PDV obrazac sastavio"), QString()},
        // The product classification (KPD) of the e-invoice's lines whose article has none.
        {T(u"KPD zadana šifra"), QString()},
    };
    return keys;
}

QString Value(Database& db, const QString& key) {
    return db
        .Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                {key})
        .toString();
}

std::vector<std::pair<QString, QString>> ReadAll(Database& db) {
    std::vector<std::pair<QString, QString>> rows;
    Statement all =
        db.Prepare(QStringLiteral("SELECT \"Naziv\", \"Vrijednost\" FROM \"Konfiguracija\" ORDER "
                                  "BY \"Naziv\" COLLATE \"HR\""));
    all.Exec();
    while (all.Next()) {
        rows.emplace_back(all.Text(0), all.Text(1));
    }
    return rows;
}

void Write(Database& db, const QString& key, const QString& value) {
    if (db.Exec(
            QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
            {value, key}) == 0) {
        db.Exec(QStringLiteral(
                    "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
                {key, value});
    }
}

CompanySettings Load(Database& db, Prompter& prompter, const QDate& today) {
    std::map<QString, QVariant> rows;
    {
        Statement all =
            db.Prepare(QStringLiteral("SELECT \"Naziv\", \"Vrijednost\" FROM \"Konfiguracija\""));
        all.Exec();
        while (all.Next()) {
            rows[all.Text(0)] = all.Value(1);
        }
    }
    auto has = [&](const char16_t* key) { return rows.count(T(key)) > 0; };
    auto text = [&](const char16_t* key) {
        const auto it = rows.find(T(key));
        return it == rows.end() || it->second.isNull() ? QString() : it->second.toString();
    };
    auto yes = [&](const char16_t* key) { return text(key) == QLatin1String("DA"); };
    // Keys that mean yes unless they say otherwise.
    auto yesUnlessNo = [&](const char16_t* key) { return !has(key) || yes(key); };

    CompanySettings s;
    const auto method = ParseStockMethod(text(u"Vođenje skladišta"));
    if (method) {
        s.stockMethod = *method;
    } else {
        prompter.Inform(
            T(u"Skladišna metoda nije ispravno postavljena, bit će postavljena FIFO metoda."));
        Write(db, T(u"Vođenje skladišta"), T(u"FIFO"));
        s.stockMethod = StockMethod::Fifo;
    }
    bool yearOk = false;
    const int year = text(u"Godina koja se knjiži").trimmed().toInt(&yearOk);
    if (yearOk && year > 0) {
        s.businessYear = year;
    } else {
        prompter.Inform(
            T(u"Nije određena godina koja se knjiži i bit će postavljena tekuća godina."));
        s.businessYear = today.year();
        Write(db, T(u"Godina koja se knjiži"), QString::number(s.businessYear));
    }
    s.fixedExtraText = text(u"Fiksni dodatni tekst");
    s.multiYearDatabase = yes(u"Baza sa više godina");
    s.vehicleSales = yes(u"Prodaja vozila");
    s.articleExtraData = yes(u"Artikli dodatni podaci");
    s.employeesAndServiceDuration = yes(u"Djelatnici i trajanje usluga");
    s.shortCalculation = yes(u"Skraćena kalkulacija");
    s.previousArticleDataInCalculation = yes(u"Prethodni podaci artikla u kalkulaciji");
    s.automaticWorkOrders = yes(u"Automatski radni nalozi");
    s.sumRetailInvoices = yes(u"Sumiranje maloprodajnih računa");
    s.deferredRegisterStock = yes(u"Naknadno skidanje artikala POS");
    s.sumTransfersAndReceipts = yes(u"Sumiranje međuskladišnica i primki");
    s.externalArticleSource = yes(u"Vanjski izvor artikala");
    s.externalArticleSourcePath = text(u"Vanjski izvor artikala - putanja baze");
    s.externalArticleSourceWarehouse = text(u"Vanjski izvor artikala - šifra skladišta").toInt();
    s.pricesInCurrency = yes(u"Prikaz cijena u valuti");
    s.closeLineWindowAfterEntry = yesUnlessNo(u"Zatvaranje prozora nakon upisa stavke");
    s.wordDocuments = yes(u"Word dokumenti");
    s.additionalDependentCosts = yes(u"Dodatni zavisni troškovi");
    s.printTimeOnRegisterReceipt = yes(u"Ispis vremena na POS računu");
    s.packaging = yes(u"Ambalaža");
    s.serviceConsumptionLists = yes(u"Specifikacije usluga");
    s.lotChoiceInRegister = yes(u"Izbor primke u POS kasi");
    s.showInvoiceTotals = yesUnlessNo(u"Prikaz ukupnih iznosa na računu");
    s.warnBelowCost = yesUnlessNo(u"Upozorenje na cijenu ispod nabavne");
    s.paymentDialogAfterRetailInvoice = yesUnlessNo(u"Naplata nakon maloprodajnog računa");
    s.homeCurrencyName =
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"))
            .toString();
    return s;
}

}  // namespace zodra::companyconfig

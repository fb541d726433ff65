#include "payments/PaymentModels.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Statement.h"

namespace zodra::payments {

QStringList CustomerModels() {
    return {QStringLiteral("žiro račun"), QStringLiteral("gotovina"), QStringLiteral("u naravi"),
            QStringLiteral("kartica"), QStringLiteral("ček")};
}

QStringList SupplierModels() {
    return {QStringLiteral("žiro račun"), QStringLiteral("gotovina"), QStringLiteral("u naravi")};
}

QString CardModel() {
    return QStringLiteral("kartica");
}

QString ChooseModelMessage() {
    return QStringLiteral("Izaberite model plaćanja.");
}
QString ChooseModelTypeMessage() {
    return QStringLiteral("Tip plaćanja mora biti izabran !");
}
QString CardTypeMessage() {
    return QStringLiteral("Tip kreditne kartice mora biti izabran.");
}
QString CardTypeMarkedMessage() {
    return QStringLiteral("Tip kreditne kartice mora biti izabran !");
}
QString OverpaidMessage() {
    return QStringLiteral("S ovim iznosom račun bi bio preplaćen. Nije dozvoljeno knjiženje.");
}
QString OverpaidLaterMessage() {
    return QStringLiteral("S ovim iznosom račun bi bio preplaćen. Nije dozovljeno knjiženje.");
}
QString ZeroAmountMessage() {
    return QStringLiteral("Iznos nesmije biti nula !");
}
QString NoCustomerMessage() {
    return QStringLiteral("Nije izabran kupac !");
}
QString NoSupplierMessage() {
    return QStringLiteral("Nije izabran dobavljač !");
}
QString NoInvoiceMessage() {
    return QStringLiteral("Nije izabran račun !");
}
QString NoPaymentMessage() {
    return QStringLiteral("Nema uplata !");
}
QString NoCoverMessage() {
    return QStringLiteral("Nema pokrića za ovaj iznos zatvaranja !");
}
QString PaymentRecordedMessage() {
    return QStringLiteral("Plaćanje je upisano !");
}
QString DeletePaymentQuestion() {
    return QStringLiteral("Želite li izbrisati plaćanje ?");
}

qint64 Cents(double amount) {
    return std::llround(RoundMoney(amount) * 100.0);
}

void CheckPaymentEntry(Database& db, const PaymentEntry& entry, const QStringList& models,
                       EntryWindow window, int businessYear, bool zeroRefused) {
    const bool collection = window == EntryWindow::Collection;
    // The entry windows that pick partner and invoice first ask for an amount before a model.
    if (!collection) {
        limits::RequireNumber(entry.amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
        if (zeroRefused && Cents(entry.amount) == 0) {
            throw UserError(ZeroAmountMessage());
        }
    }
    if (entry.model.isEmpty() || !models.contains(entry.model)) {
        throw UserError(collection ? ChooseModelMessage() : ChooseModelTypeMessage());
    }
    if (entry.model == CardModel()) {
        const bool known =
            entry.cardType &&
            db.Scalar(QStringLiteral("SELECT 1 FROM \"TIPOVI_KARTICA\" WHERE \"SIFRA\" = ?"),
                      {*entry.cardType})
                .isValid();
        if (!known) {
            throw UserError(collection ? CardTypeMessage() : CardTypeMarkedMessage());
        }
    }
    limits::RequireNumber(entry.amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
    if (zeroRefused && Cents(entry.amount) == 0) {
        throw UserError(ZeroAmountMessage());
    }
    limits::RequireDocumentDate(entry.date, businessYear, QStringLiteral("Datum"));
    if (const auto bad = limits::CheckText(entry.text, QStringLiteral("Opis"))) {
        throw UserError(*bad);
    }
}

namespace {

std::vector<Choice> Choices(Database& db, const QString& sql) {
    Statement s(db, sql);
    s.Exec({});
    std::vector<Choice> out;
    while (s.Next()) {
        out.push_back({s.Int(0), s.Text(1)});
    }
    return out;
}

}  // namespace

std::vector<Choice> PartnerChoices(Database& db) {
    return Choices(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"PARTNERI\" ORDER BY "
                                      "\"NAZIV\" COLLATE \"HR\", \"SIFRA\""));
}

std::vector<Choice> CardTypeChoices(Database& db) {
    return Choices(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"TIPOVI_KARTICA\" ORDER "
                                      "BY \"NAZIV\""));
}

std::vector<Choice> OutputBookChoices(Database& db) {
    return Choices(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"KNJIGE_IRA\" ORDER BY "
                                      "\"SIFRA\""));
}

std::vector<Choice> InputBookChoices(Database& db) {
    return Choices(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"KNJIGE_URA\" ORDER BY "
                                      "\"SIFRA\""));
}

}  // namespace zodra::payments

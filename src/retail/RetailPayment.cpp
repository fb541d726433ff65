#include "retail/RetailPayment.h"

#include <array>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Transaction.h"

namespace zodra::retail {

QString PaymentExceedsMessage() {
    return QStringLiteral("Upisani iznosi premašuju ukupni iznos računa");
}

QString PaymentDiffersQuestion() {
    return QStringLiteral("Iznos plaćanja nije isti kao iznos računa. Želite li nastaviti ?");
}

QString NoCardTypeMessage() {
    return QStringLiteral("Tip kartice nije izabran.");
}

double Change(double handedOver, double total) {
    return handedOver - total;
}

bool CheckRetailPayment(const RetailPaymentInput& in) {
    limits::RequireNumber(in.cash, limits::NumberKind::Amount, QStringLiteral("Gotovina"));
    limits::RequireNumber(in.cheques, limits::NumberKind::Amount, QStringLiteral("Čekovi"));
    limits::RequireNumber(in.card, limits::NumberKind::Amount, QStringLiteral("Kartica"));
    limits::RequireNumber(in.total, limits::NumberKind::Amount, QStringLiteral("Ukupno"));
    const double sum = RoundMoney(in.cash + in.cheques + in.card);
    const double total = RoundMoney(in.total);
    if (sum > total) {
        throw UserError(PaymentExceedsMessage());
    }
    if (RoundMoney(in.card) != 0 && (!in.cardType || *in.cardType <= 0)) {
        throw UserError(NoCardTypeMessage());
    }
    return sum != total;
}

bool RecordRetailPayment(Database& db, Prompter& prompter, const RetailPaymentInput& in) {
    // The dialog's order: the excess, the question, then the card type.
    limits::RequireNumber(in.cash, limits::NumberKind::Amount, QStringLiteral("Gotovina"));
    limits::RequireNumber(in.cheques, limits::NumberKind::Amount, QStringLiteral("Čekovi"));
    limits::RequireNumber(in.card, limits::NumberKind::Amount, QStringLiteral("Kartica"));
    limits::RequireNumber(in.total, limits::NumberKind::Amount, QStringLiteral("Ukupno"));
    if (RoundMoney(in.cash + in.cheques + in.card) > RoundMoney(in.total)) {
        throw UserError(PaymentExceedsMessage());
    }
    if (RoundMoney(in.cash + in.cheques + in.card) != RoundMoney(in.total) &&
        !prompter.AskYesNo(PaymentDiffersQuestion(), QStringLiteral("Naplata"), false)) {
        return false;
    }
    WriteRetailPayment(db, in);
    return true;
}

void WriteRetailPayment(Database& db, const RetailPaymentInput& in) {
    CheckRetailPayment(in);
    const QString description = QStringLiteral("Račun m. br. ") + QString::number(in.number);
    const std::array<std::pair<QString, double>, 3> kinds = {
        std::pair{QStringLiteral("gotovina"), in.cash},
        std::pair{QStringLiteral("ček"), in.cheques},
        std::pair{QStringLiteral("kartica"), in.card}};
    const QString collection = QStringLiteral(
        "\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj računa\", \"Tip\", "
        "\"Datum\", \"Opis dokumenta\", \"Iznos\", \"Tip kartice\", "
        "\"Sifra uplate\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Transaction transaction(db);
    if (RoundMoney(in.card) != 0 &&
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"TIPOVI_KARTICA\" WHERE \"SIFRA\" = ?"),
                   {*in.cardType})
             .isValid()) {
        throw UserError(NoCardTypeMessage());
    }
    for (const auto& [type, amount] : kinds) {
        if (RoundMoney(amount) == 0) {
            continue;
        }
        const QVariant cardType =
            type == QLatin1String("kartica") ? QVariant(*in.cardType) : QVariant();
        if (in.detailed) {
            transaction.DeferDetail(QStringLiteral("INSERT INTO \"NAPLATA_DETALJNO") + collection,
                                    {in.warehouse, in.book, in.year, in.number, type, in.date,
                                     description, amount, cardType, QVariant()});
            continue;
        }
        db.Exec(QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", "
                               "\"Datum\", \"Tip\", \"Opis\", \"Iznos\", \"Tip kartice\") VALUES "
                               "(?, ?, ?, ?, ?, ?, ?, ?)"),
                {in.warehouse, in.year, in.customer, in.date, type, description, amount, cardType});
        const QVariant payment = db.Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"UPLATE\""));
        db.Exec(QStringLiteral("INSERT INTO \"NAPLATA") + collection,
                {in.warehouse, in.book, in.year, in.number, type, in.date, description, amount,
                 cardType, payment});
    }
    transaction.Commit();
}

}  // namespace zodra::retail

#include <QDate>
#include <QFile>
#include <algorithm>
#include <optional>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "payments/BankStatement.h"
#include "payments/CollectionBook.h"
#include "payments/PaymentBook.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/DocumentDoors.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

namespace pay = zodra::payments;

const char* kPayUsage =
    "upotreba: zodractl pay PUTANJA (--racun KNJIGA/BROJ | --ura KNJIGA/REDNI_BROJ) --iznos A "
    "--datum DD.MM.GGGG [--model \"žiro račun\"|gotovina|\"u naravi\"|kartica|ček] "
    "[--kartica TIP] [--opis TEKST] [--svrha TEKST] [--skladiste N] [--godina G]";

struct PayArgs {
    QString invoice;  // BOOK/NUMBER of an output invoice
    QString input;    // BOOK/SERIAL of an input invoice
    QString amount;
    QString date;
    QString model = QStringLiteral("žiro račun");
    std::optional<int> card;
    QString text;
    QString purpose;
    int warehouse = 0;
    int year = 0;
};

std::optional<PayArgs> ParsePayArgs(const QStringList& args) {
    PayArgs out;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) {
            return std::nullopt;
        }
        const QString& flag = args.at(i);
        const QString& value = args.at(i + 1);
        if (flag == QLatin1String("--racun")) {
            out.invoice = value;
        } else if (flag == QLatin1String("--ura")) {
            out.input = value;
        } else if (flag == QLatin1String("--iznos")) {
            out.amount = value;
        } else if (flag == QLatin1String("--datum")) {
            out.date = value;
        } else if (flag == QLatin1String("--model")) {
            out.model = value;
        } else if (flag == QLatin1String("--kartica")) {
            out.card = value.toInt();
        } else if (flag == QLatin1String("--opis")) {
            out.text = value;
        } else if (flag == QLatin1String("--svrha")) {
            out.purpose = value;
        } else if (flag == QLatin1String("--skladiste")) {
            out.warehouse = value.toInt();
        } else if (flag == QLatin1String("--godina")) {
            out.year = value.toInt();
        } else {
            return std::nullopt;
        }
    }
    if (out.invoice.isEmpty() == out.input.isEmpty() || out.amount.isEmpty() ||
        out.date.isEmpty()) {
        return std::nullopt;
    }
    return out;
}

// "BOOK/NUMBER" as two positive numbers.
std::optional<std::pair<int, int>> BookAndNumber(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('/'));
    bool okBook = false;
    bool okNumber = false;
    if (parts.size() != 2) {
        return std::nullopt;
    }
    const int book = parts.at(0).trimmed().toInt(&okBook);
    const int number = parts.at(1).trimmed().toInt(&okNumber);
    if (!okBook || !okNumber || book <= 0 || number <= 0) {
        return std::nullopt;
    }
    return std::pair{book, number};
}

void DeleteCollectionDoor(zodra::Session& session, CommandLinePrompter& prompter,
                          const DocumentArgs& args, bool supplier) {
    if (!prompter.AskYesNo(pay::DeletePaymentQuestion(), QStringLiteral("Brisanje"), false)) {
        throw zodra::UserError(QStringLiteral("Plaćanje nije izbrisano."));
    }
    const pay::DeletedCollection d = supplier ? pay::DeleteInputInvoicePayment(session, args.number)
                                              : pay::DeleteCollection(session, args.number);
    if (!d.found) {
        throw zodra::UserError(
            QStringLiteral("Ne postoji zatvaranje pod šifrom %1.").arg(args.number));
    }
    Out(d.paymentDeleted
            ? QStringLiteral("Zatvaranje %1 je izbrisano s uplatom.").arg(args.number)
            : QStringLiteral("Zatvaranje %1 je izbrisano; uplata ostaje.").arg(args.number));
}

void DeletePaymentDoor(zodra::Session& session, CommandLinePrompter& prompter,
                       const DocumentArgs& args, bool supplier) {
    if (!prompter.AskYesNo(pay::DeletePaymentQuestion(), QStringLiteral("Brisanje"), false)) {
        throw zodra::UserError(QStringLiteral("Plaćanje nije izbrisano."));
    }
    const std::optional<int> closings = supplier ? pay::DeleteSupplierPayment(session, args.number)
                                                 : pay::DeletePayment(session, args.number);
    if (!closings) {
        throw zodra::UserError(QStringLiteral("Ne postoji uplata pod šifrom %1.").arg(args.number));
    }
    Out(QStringLiteral("Uplata %1 je izbrisana (zatvaranja: %2).").arg(args.number).arg(*closings));
}

DocumentDoors PaymentDoor(const QString& word,
                          void (*remove)(zodra::Session&, CommandLinePrompter&, const DocumentArgs&,
                                         bool),
                          bool supplier) {
    DocumentDoors doors;
    doors.word = word;
    doors.remove = [remove, supplier](zodra::Session& session, CommandLinePrompter& prompter,
                                      const DocumentArgs& args) {
        remove(session, prompter, args, supplier);
    };
    doors.cancel = [](zodra::Session&, CommandLinePrompter&, const DocumentArgs&) {
        throw zodra::UserError(
            QStringLiteral("Plaćanje se ne stornira nego briše (zodractl "
                           "delete)."));
    };
    return doors;
}

}  // namespace

std::vector<DocumentDoors> PaymentDoors() {
    return {PaymentDoor(QStringLiteral("naplata"), DeleteCollectionDoor, false),
            PaymentDoor(QStringLiteral("uplata"), DeletePaymentDoor, false),
            PaymentDoor(QStringLiteral("placanje"), DeleteCollectionDoor, true),
            PaymentDoor(QStringLiteral("uplata-ura"), DeletePaymentDoor, true)};
}

int ImportBankStatement(const QStringList& args) {
    QStringList rest = args;
    const bool yes = rest.removeAll(QStringLiteral("--da")) > 0;
    int warehouse = 0;
    if (const qsizetype at = rest.indexOf(QStringLiteral("--skladiste")); at > 0) {
        warehouse = at + 1 < rest.size() ? rest.at(at + 1).toInt() : 0;
        rest.remove(at, std::min<qsizetype>(2, rest.size() - at));
    }
    if (rest.size() != 3) {
        Err(
            QStringLiteral("upotreba: zodractl import PUTANJA bank IZVOD.xml [--skladiste N] "
                           "[--da]"));
        return kUsage;
    }
    QFile file(rest.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Datoteka se ne može otvoriti: ") + rest.at(2));
        return kMissing;
    }
    const QByteArray xml = file.readAll();
    return InSession(rest.at(0), warehouse, [&](zodra::Session& session) {
        const pay::BankStatement statement = pay::ReadBankStatement(xml);
        const std::vector<pay::BankMatch> matches =
            pay::MatchBankStatement(session.Db(), statement);
        int matched = 0;
        for (const pay::BankMatch& m : matches) {
            QString mark;
            switch (m.status) {
                case pay::BankMatch::Status::Matched:
                    mark = QStringLiteral("PREPOZNATO   ");
                    ++matched;
                    break;
                case pay::BankMatch::Status::Ambiguous:
                    mark = QStringLiteral("DVOSMISLENO  ");
                    break;
                case pay::BankMatch::Status::Unmatched:
                    mark = QStringLiteral("NEPREPOZNATO ");
                    break;
                case pay::BankMatch::Status::Debit:
                    mark = QStringLiteral("TEREĆENJE    ");
                    break;
                case pay::BankMatch::Status::AlreadyRecorded:
                    mark = QStringLiteral("UPISANO      ");
                    break;
            }
            Out(mark + pay::DescribeMatch(m));
        }
        if (!yes) {
            Out(QStringLiteral("Prepoznatih uplata: %1. Ništa nije upisano (--da ih upisuje).")
                    .arg(matched));
            return;
        }
        const int recorded = pay::RecordBankMatches(session, matches);
        Out(QStringLiteral("Upisano uplata: %1.").arg(recorded));
    });
}

int Pay(const QStringList& args) {
    const std::optional<PayArgs> parsed = args.isEmpty() ? std::nullopt : ParsePayArgs(args);
    if (!parsed) {
        Err(QString::fromUtf8(kPayUsage));
        return kUsage;
    }
    const auto key = BookAndNumber(parsed->invoice.isEmpty() ? parsed->input : parsed->invoice);
    const std::optional<double> amount = zodra::inputrules::ParseNumber(parsed->amount);
    const QDate date = QDate::fromString(parsed->date, QStringLiteral("dd.MM.yyyy"));
    if (!key || !amount || !date.isValid()) {
        Err(!key      ? QStringLiteral("Račun se navodi kao KNJIGA/BROJ.")
            : !amount ? QStringLiteral("Nije ispravno upisan broj.")
                      : QStringLiteral("Nije ispravno upisan datum."));
        return kUsage;
    }
    return InSession(args.at(0), parsed->warehouse, [&](zodra::Session& session) {
        const int year = parsed->year > 0 ? parsed->year : session.businessYear;
        pay::PaymentEntry entry;
        entry.date = date;
        entry.model = parsed->model;
        entry.cardType = parsed->card;
        entry.amount = *amount;
        pay::RecordResult result;
        if (!parsed->invoice.isEmpty()) {
            entry.text = parsed->text.isEmpty() ? QStringLiteral("Račun br. %1").arg(key->second)
                                                : parsed->text;
            result = pay::RecordCollection(
                session, {session.activeWarehouse.code, key->first, year, key->second}, entry);
            const pay::InvoiceBalance b = pay::InvoiceBalanceOf(
                session.Db(), {session.activeWarehouse.code, key->first, year, key->second});
            Out(QStringLiteral("Naplata je upisana (uplata %1). %2, %3")
                    .arg(result.payment)
                    .arg(pay::CollectedText(b), pay::OwedText(b)));
        } else {
            entry.text = parsed->text;
            result = pay::RecordInputInvoicePayment(session, {key->first, year, key->second}, entry,
                                                    parsed->purpose);
            const pay::InvoiceBalance b =
                pay::InputInvoiceBalanceOf(session.Db(), {key->first, year, key->second});
            Out(QStringLiteral("Plaćanje je upisano (uplata %1). Plaćeno: %2, Dugovanje: %3")
                    .arg(result.payment)
                    .arg(zodra::MoneyText(b.collected), zodra::MoneyText(b.Open())));
        }
        if (result.bookEntry) {
            Out(QStringLiteral("Knjiga primitaka i izdataka: stavka %1.").arg(*result.bookEntry));
        }
    });
}

}  // namespace zodractl

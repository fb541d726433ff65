#include "tools/zodractl/StockCheckCommand.h"

#include <QSet>
#include <optional>
#include <tuple>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Transaction.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/NumberText.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

using zodra::Database;

namespace {

int OpenFailure(Database::OpenStatus status) {
    switch (status) {
        case Database::OpenStatus::Missing:
            Err(QStringLiteral("Ove datoteke nema."));
            return kMissing;
        case Database::OpenStatus::WrongPassword:
            Err(QStringLiteral("Nije upisan točan password."));
            return kWrongPassword;
        case Database::OpenStatus::NotACompany:
            Err(QStringLiteral("Datoteka nije Zodra baza podataka."));
            return kNotACompany;
        case Database::OpenStatus::Damaged:
            Err(QStringLiteral("Datoteka je oštećena."));
            return kDamaged;
        case Database::OpenStatus::TooNew:
            Err(QStringLiteral("Datoteku je zapisala novija verzija programa."));
            return kTooNew;
        case Database::OpenStatus::Locked:
        case Database::OpenStatus::ReadOnly:
            Err(QStringLiteral("Datoteku drži zaključanu drugi program ili je samo za čitanje."));
            return kLocked;
        case Database::OpenStatus::Unreachable:
            Err(QStringLiteral("Poslužitelj baze podataka nije dostupan."));
            return kLocked;
        case Database::OpenStatus::Ok:
            break;
    }
    return kRefused;
}

QString Money(double value) {
    return zodra::MoneyText(value);
}

// The warehouses and years that hold lots or trade-book entries, optionally narrowed.
std::vector<std::pair<int, int>> Books(Database& db, std::optional<int> warehouse,
                                       std::optional<int> year) {
    zodra::Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"SKLADISTE\", \"GODINA\" FROM \"NABAVE\" UNION SELECT \"SKLADISTE\", \"GODINA\" "
        "FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" UNION SELECT \"SKLADISTE\", \"GODINA\" FROM "
        "\"TRGOVACKA_KNJIGA_MALOPRODAJE\" ORDER BY 1, 2"));
    rows.Exec();
    std::vector<std::pair<int, int>> books;
    while (rows.Next()) {
        if ((!warehouse || rows.Int(0) == *warehouse) && (!year || rows.Int(1) == *year)) {
            books.push_back({rows.Int(0), rows.Int(1)});
        }
    }
    return books;
}

}  // namespace

int StockCheck(const QStringList& args) {
    QStringList rest = args;
    const bool fix = rest.removeAll(QStringLiteral("--popravi")) > 0;
    std::optional<int> warehouse;
    std::optional<int> year;
    for (const auto& [flag, target] : {std::pair{QStringLiteral("--skladiste"), &warehouse},
                                       std::pair{QStringLiteral("--godina"), &year}}) {
        const int at = static_cast<int>(rest.indexOf(flag));
        if (at < 0) {
            continue;
        }
        bool ok = false;
        const int value = at + 1 < rest.size() ? rest.at(at + 1).toInt(&ok) : 0;
        if (!ok) {
            Err(
                QStringLiteral("upotreba: zodractl stockcheck PUTANJA [--skladiste N] "
                               "[--godina G] [--popravi]"));
            return kUsage;
        }
        *target = value;
        rest.removeAt(at + 1);
        rest.removeAt(at);
    }
    if (rest.size() != 1) {
        Err(
            QStringLiteral("upotreba: zodractl stockcheck PUTANJA [--skladiste N] [--godina G] "
                           "[--popravi]"));
        return kUsage;
    }
    auto opened = Database::Open(rest.at(0), QString());
    if (opened.status == Database::OpenStatus::WrongPassword ||
        (opened.status == Database::OpenStatus::Ok &&
         qEnvironmentVariableIsSet("ZODRA_PASSWORD"))) {
        opened.db.reset();
        opened = Database::Open(
            rest.at(0), ReadPassword("ZODRA_PASSWORD", QStringLiteral("Password baze podataka: ")));
    }
    if (opened.status != Database::OpenStatus::Ok) {
        return OpenFailure(opened.status);
    }
    Database& db = *opened.db;
    int problems = 0;
    try {
        for (const auto& [w, y] : Books(db, warehouse, year)) {
            Out(QStringLiteral("Skladište %1, godina %2").arg(w).arg(y));
            // Numbers that cannot be come first: the sums below mean nothing around them.
            for (const zodra::stock::BrokenNumber& n : zodra::stock::BrokenNumbers(db, w, y)) {
                ++problems;
                Out(QStringLiteral("  Neispravan broj: %1, %2, \"%3\" = %4")
                        .arg(n.table, n.row, n.column, n.value));
            }
            for (const zodra::stock::StockDifference& d :
                 zodra::stock::StockDifferences(db, w, y)) {
                ++problems;
                Out(QStringLiteral("  Artikal %1 %2: nabave %3 kom, %4 nabavno, %5 prodajno; "
                                   "kartica %6 kom, %7 nabavno, %8 prodajno")
                        .arg(d.article)
                        .arg(zodra::stock::ArticleName(db, d.article))
                        .arg(zodra::stock::NumberText(d.lotQuantity), Money(d.lotCostValue),
                             Money(d.lotSellingValue), zodra::stock::NumberText(d.cardQuantity),
                             Money(d.cardCostValue), Money(d.cardSellingValue)));
            }
            // What a recomputation would change, tried in a transaction that is kept only when
            // asked to put things right.
            zodra::Transaction transaction(db);
            for (const auto& [book, name] :
                 {std::pair{zodra::tradebook::Book::Wholesale, QStringLiteral("veleprodaje")},
                  std::pair{zodra::tradebook::Book::Retail, QStringLiteral("maloprodaje")}}) {
                if (const int changed = zodra::tradebook::RecomputeBalance(db, book, w, y)) {
                    ++problems;
                    Out(QStringLiteral("  Trgovačka knjiga %1: netočnih stanja %2%3")
                            .arg(name)
                            .arg(changed)
                            .arg(fix ? QStringLiteral(" (preračunato)") : QString()));
                }
            }
            zodra::Statement pooled = db.Prepare(QStringLiteral(
                "SELECT \"SIFRA_ARTIKLA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
                "? AND \"BROJ_PRIMKE\" = 0 ORDER BY \"SIFRA_ARTIKLA\""));
            pooled.Exec({w, y});
            std::vector<int> articles;
            while (pooled.Next()) {
                articles.push_back(pooled.Int(0));
            }
            for (int article : articles) {
                const auto before = zodra::stock::FindLot(db, {w, y, 0, article});
                const int documents = zodra::stock::RecomputeAverageCost(db, w, y, article, 0);
                const auto after = zodra::stock::FindLot(db, {w, y, 0, article});
                const bool lotChanged =
                    before && after &&
                    (before->quantity != after->quantity || before->costPrice != after->costPrice);
                if (documents > 0 || lotChanged) {
                    ++problems;
                    Out(QStringLiteral("  Prosječna nabavna cijena artikla %1 %2: dokumenata s "
                                       "drugom cijenom %3%4%5")
                            .arg(article)
                            .arg(zodra::stock::ArticleName(db, article))
                            .arg(documents)
                            .arg(lotChanged ? QStringLiteral(", nabava ne odgovara kartici")
                                            : QString())
                            .arg(fix ? QStringLiteral(" (preračunato)") : QString()));
                }
            }
            if (fix) {
                transaction.Commit();
            }
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return kRefused;
    }
    if (problems == 0) {
        Out(QStringLiteral("Zalihe, kartice artikala i trgovačke knjige se slažu."));
        return kOk;
    }
    return fix ? kOk : kRefused;
}

}  // namespace zodractl

#include "stock/AverageCost.h"

#include <QHash>
#include <map>
#include <tuple>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Transaction.h"
#include "stock/CostCascade.h"
#include "stock/CostFamilies.h"
#include "stock/CostWriter.h"
#include "stock/Lot.h"
#include "stock/Lots.h"

namespace zodra::stock {

namespace {

constexpr int kMaxDepth = 64;

// How a card row moves the pooled lot.
enum class Movement {
    Receipt,    // in at its own cost: averaged
    Follows,    // an issue family's line: at the average of its moment
    Reversal,   // a cancellation: back at the cost its line went out at, averaged
    Repricing,  // price changes: selling value only
    Other,      // not a family of the list: as stored
};

struct Kind {
    Movement movement = Movement::Other;
    int family = -1;  // index in CostFamilies()
};

Kind Classify(const QString& type) {
    if (type == QLatin1String("PRIMKA")) {
        return {Movement::Receipt, -1};
    }
    if (type == QStringLiteral("IZMJENA CIJENA") ||
        type == QStringLiteral("STORNO IZMJENE CIJENA")) {
        return {Movement::Repricing, -1};
    }
    bool cancellation = false;
    const CostFamily* family = FamilyOfCardType(type, &cancellation);
    if (!family) {
        return {Movement::Other, -1};
    }
    const int index = static_cast<int>(family - CostFamilies().data());
    return {cancellation ? Movement::Reversal : Movement::Follows, index};
}

// A document of a family, by the key its lines carry.
using DocumentKey = std::tuple<int, int, int>;  // family, invoice book, number

struct Replay {
    double quantity = 0;
    double cost = 0;
    bool priced = false;  // a cost is known once the first goods came in at one

    void In(double q, double unitCost) {
        if (!priced) {
            cost = unitCost;
            priced = true;
        }
        const double sum = quantity + q;
        if (!QuantityIsZero(sum)) {
            cost = (quantity * cost + q * unitCost) / sum;
        }
        quantity = RoundQuantity(sum);
    }
    void Move(double q) { quantity = RoundQuantity(quantity + q); }
};

QString AveragingTypes() {
    QStringList types{QStringLiteral("'PRIMKA'")};
    for (const CostFamily& family : CostFamilies()) {
        if (!family.cancellationType.isEmpty()) {
            types << QStringLiteral("'") + family.cancellationType + QStringLiteral("'");
        }
    }
    return types.join(QStringLiteral(", "));
}

}  // namespace

int RecomputeAverageCost(Database& db, int warehouse, int year, int article, int position) {
    return detail::RecomputeAverageCost(db, warehouse, year, article, position, 0);
}

void detail::CheckDepth(int depth) {
    if (depth > kMaxDepth) {
        throw UserError(QStringLiteral(
            "Nabavne cijene nije moguće preračunati: međuskladišnice artikla čine zatvoreni "
            "krug."));
    }
}

int detail::RecomputeAverageCost(Database& db, int warehouse, int year, int article, int position,
                                 int depth) {
    CheckDepth(depth);
    Transaction transaction(db);
    // Issues alone never move the average: only goods coming in at a cost of their own do.
    static const QString averaging = AveragingTypes();
    const bool affected =
        db.Scalar(QStringLiteral("SELECT 1 FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" = ? AND "
                                 "\"GODINA\" = ? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = 0 AND "
                                 "\"RBR\" >= ? AND \"TIP_DOKUMENTA\" IN (") +
                      averaging + QStringLiteral(") LIMIT 1"),
                  {warehouse, year, article, position})
            .isValid();
    if (!affected) {
        transaction.Commit();
        return 0;
    }

    Replay replay;
    std::map<DocumentKey, double> costAt;   // the cost each document at or after the position has
    std::map<DocumentKey, double> rewrite;  // those whose lines carry another cost
    QHash<QString, Kind> kinds;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"RBR\", \"TIP_DOKUMENTA\", \"IRA\", \"BROJ_DOKUMENTA\", \"KOLIČINA ULAZ\", "
            "\"KOLIČINA IZLAZ\", \"NABAVNA CIJENA\" FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" "
            "= ? AND \"GODINA\" = ? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = 0 ORDER BY "
            "\"RBR\""));
        rows.Exec({warehouse, year, article});
        while (rows.Next()) {
            const QString type = rows.Text(1);
            auto found = kinds.constFind(type);
            if (found == kinds.constEnd()) {
                found = kinds.insert(type, Classify(type));
            }
            const Kind kind = *found;
            const double in = rows.Double(4);
            const double out = rows.Double(5);
            const double stored = rows.Double(6);
            switch (kind.movement) {
                case Movement::Receipt:
                case Movement::Other:
                    if (in != 0) {
                        replay.In(in, stored);
                    }
                    replay.Move(-out);
                    break;
                case Movement::Repricing:
                    break;
                case Movement::Follows: {
                    if (replay.priced && rows.Int(0) >= position) {
                        const DocumentKey key{kind.family, rows.Int(2), rows.Int(3)};
                        costAt[key] = replay.cost;
                        if (stored != replay.cost) {
                            rewrite[key] = replay.cost;
                        }
                    }
                    replay.Move(in - out);
                    break;
                }
                case Movement::Reversal: {
                    const DocumentKey key{kind.family, rows.Int(2), rows.Int(3)};
                    const auto at = costAt.find(key);
                    replay.In(in - out, at != costAt.end() ? at->second : stored);
                    break;
                }
            }
        }
    }

    CostWriter writer(db);
    std::vector<DocumentKey> transfers;
    for (const auto& [key, cost] : rewrite) {
        const CostFamily& family = CostFamilies()[static_cast<size_t>(std::get<0>(key))];
        writer.SetDocumentCost(family, warehouse, year, std::get<1>(key), std::get<2>(key), article,
                               kPooledLot, cost);
        if (family.generatesReceipt) {
            transfers.push_back(key);
        }
    }

    const LotKey lotKey{warehouse, year, kPooledLot, article};
    if (std::optional<Lot> lot = FindLot(db, lotKey); lot && replay.priced) {
        const double quantity = RoundQuantity(replay.quantity);
        if (quantity != lot->quantity || replay.cost != lot->costPrice) {
            db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, "
                                   "\"KOLICINA_PRIVREMENO\" = ?, \"NABAVNA CIJENA\" = ? WHERE "
                                   "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
                                   "AND \"SIFRA_ARTIKLA\" = ?"),
                    {quantity, RoundQuantity(lot->freeQuantity + (quantity - lot->quantity)),
                     replay.cost, warehouse, year, kPooledLot, article});
        }
    }

    for (const DocumentKey& key : transfers) {
        FollowTransferDestination(db, CostFamilies()[static_cast<size_t>(std::get<0>(key))],
                                  warehouse, year, std::get<2>(key), article, depth + 1);
    }
    transaction.Commit();
    return static_cast<int>(rewrite.size());
}

}  // namespace zodra::stock

#include "sales/IraBook.h"

#include <QDate>
#include <algorithm>
#include <tuple>
#include <vector>

#include "data/Database.h"
#include "data/Transaction.h"

namespace zodra::sales {

int RenumberIraBook(Database& db, int warehouse, int book, int year) {
    struct Event {
        QDate date;
        int number = 0;
        bool cancellation = false;
    };
    Transaction transaction(db);
    std::vector<Event> events;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"DATUM\", \"BROJ RACUNA\", \"STORNO\", \"DATUM_STORNA\" FROM \"RACUNI\" "
            "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ?"));
        rows.Exec({warehouse, book, year});
        while (rows.Next()) {
            events.push_back({rows.Value(0).toDate(), rows.Int(1), false});
            if (rows.Int(2) != 0) {
                events.push_back({rows.Value(3).toDate(), rows.Int(1), true});
            }
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return std::tie(a.date, a.number, a.cancellation) <
               std::tie(b.date, b.number, b.cancellation);
    });
    int counter = 0;
    for (const Event& e : events) {
        ++counter;
        db.Exec(
            QStringLiteral("UPDATE \"RACUNI\" SET ") +
                (e.cancellation ? QStringLiteral("\"RBR_IRA_STORNO\"")
                                : QStringLiteral("\"RBR_IRA\"")) +
                QStringLiteral(" = ? WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                               "AND \"BROJ RACUNA\" = ?"),
            {counter, warehouse, book, year, e.number});
    }
    transaction.Commit();
    return counter;
}

}  // namespace zodra::sales

#include "purchasing/ReceiptChoices.h"

#include "data/Database.h"

namespace zodra::purchasing {

namespace {

std::vector<Choice> Read(Database& db, const QString& sql) {
    std::vector<Choice> choices;
    Statement s = db.Prepare(sql);
    s.Exec();
    while (s.Next()) {
        choices.push_back({s.Int(0), s.Text(1)});
    }
    return choices;
}

}  // namespace

std::vector<Choice> Suppliers(Database& db) {
    return Read(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"PARTNERI\" WHERE "
                                   "\"Dobavljac\" = TRUE ORDER BY \"NAZIV\" COLLATE \"HR\""));
}

std::vector<Choice> PackagingKinds(Database& db) {
    return Read(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"AMBALAZA\" ORDER BY "
                                   "\"NAZIV\" COLLATE \"HR\""));
}

std::vector<Choice> Currencies(Database& db) {
    return Read(db,
                QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"VALUTE\" ORDER BY \"SIFRA\""));
}

}  // namespace zodra::purchasing

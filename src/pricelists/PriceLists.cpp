#include "pricelists/PriceLists.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Transaction.h"

namespace zodra::pricelists {

namespace {

using registers::RegisterDescription;

RegisterDescription MakeRegister() {
    RegisterDescription d;
    d.id = QStringLiteral("cjenici");
    d.table = QStringLiteral("CJENICI");
    d.listCaption = QStringLiteral("Cjenici");
    d.entryCaption = QStringLiteral("Upis novog cjenika");
    d.fields = {registers::Field{QStringLiteral("NAZIV"),
                                 QStringLiteral("Naziv"),
                                 registers::FieldKind::Text,
                                 QString(),
                                 QString(),
                                 false,
                                 {},
                                 false,
                                 {},
                                 {}}};
    d.checks = {registers::Check{registers::Check::Kind::Length, QStringLiteral("NAZIV"), 255, true,
                                 QStringLiteral("Naziv je duži od 255 znakova ili nije upisan")}};
    d.duplicates = {registers::DuplicateCheck{QStringLiteral("NAZIV"),
                                              QStringLiteral("Cjenik sa nazivom '"),
                                              QStringLiteral("' je već upisan."), true}};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati cjenik ");
    d.deleteGuards = {registers::DeleteGuard{
        QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"CJENIK\" = ? LIMIT 1"),
        QStringLiteral("Nije dozvoljeno brisanje jer je ovaj cjenik dodijeljen partnerima.")}};
    d.cascadeDeletes = {
        QStringLiteral("DELETE FROM \"CJENICI_STAVKE_CIJENA\" WHERE \"SIFRA_CJENIKA\" = ?"),
        QStringLiteral("DELETE FROM \"CJENICI_STAVKE_RABATA\" WHERE \"SIFRA_CJENIKA\" = ?"),
    };
    return d;
}

bool Exists(Database& db, const QString& table, int code) {
    return code != 0 && db.Scalar(QStringLiteral("SELECT 1 FROM \"") + table +
                                      QStringLiteral("\" WHERE \"SIFRA\" = ?"),
                                  {code})
                            .isValid();
}

const QString kNoList = QStringLiteral("Nije izabran cjenik");
const QString kDeleteItem = QStringLiteral("Želite li izbrisati stavku ?");

}  // namespace

const registers::RegisterDescription& Register() {
    static const RegisterDescription description = MakeRegister();
    return description;
}

std::vector<PriceRow> Prices(Database& db, int list) {
    std::vector<PriceRow> rows;
    // Outer joins: a price whose currency (or whose article's tax group) is missing is still a
    // price of the list and must be seen to be corrected or deleted.
    Statement all = db.Prepare(QStringLiteral(
        "SELECT c.\"SIFRA_ARTIKLA\", a.\"NAZIV\", a.\"OPIS\", c.\"CIJENA\", g.\"STOPA\", "
        "c.\"VALUTA\", v.\"NAZIV\" FROM \"CJENICI_STAVKE_CIJENA\" c INNER JOIN \"ARTIKLI\" a ON "
        "c.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" LEFT JOIN \"GRUPE_POREZA\" g ON a.\"GRUPA_P\" = "
        "g.\"SIFRA\" LEFT JOIN \"VALUTE\" v ON c.\"VALUTA\" = v.\"SIFRA\" WHERE "
        "c.\"SIFRA_CJENIKA\" = ? ORDER BY a.\"NAZIV\" COLLATE \"HR\", a.\"SIFRA\""));
    all.Exec({list});
    while (all.Next()) {
        const double net = all.Double(3);
        rows.push_back(PriceRow{all.Int(0), all.Text(1), all.Text(2), net,
                                WithTax(net, all.Double(4)), all.Int(5), all.Text(6)});
    }
    return rows;
}

std::vector<DiscountRow> Discounts(Database& db, int list) {
    std::vector<DiscountRow> rows;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT r.\"SIFRA_GRUPE_ARTIKALA\", g.\"NAZIV\", r.\"RABAT\", r.\"CijenaValuta\" FROM "
        "\"CJENICI_STAVKE_RABATA\" r LEFT JOIN \"GRUPE_A\" g ON g.\"SIFRA\" = "
        "r.\"SIFRA_GRUPE_ARTIKALA\" WHERE r.\"SIFRA_CJENIKA\" = ? ORDER BY "
        "r.\"SIFRA_GRUPE_ARTIKALA\" <> 0, g.\"NAZIV\" COLLATE \"HR\", r.\"SIFRA_GRUPE_ARTIKALA\""));
    all.Exec({list});
    while (all.Next()) {
        const int group = all.Int(0);
        rows.push_back(DiscountRow{group,
                                   group == kAllGroups ? QStringLiteral("Sve grupe") : all.Text(1),
                                   all.Double(2), all.Value(3).toInt() != 0});
    }
    return rows;
}

double WithTax(double net, double taxRate) {
    return net * (1.0 + taxRate / 100.0);
}

double WithoutTax(double withTax, double taxRate) {
    return withTax / (1.0 + taxRate / 100.0);
}

double ArticleTaxRate(Database& db, int article) {
    return db
        .Scalar(QStringLiteral("SELECT g.\"STOPA\" FROM \"ARTIKLI\" a JOIN \"GRUPE_POREZA\" g ON "
                               "g.\"SIFRA\" = a.\"GRUPA_P\" WHERE a.\"SIFRA\" = ?"),
                {article})
        .toDouble();
}

void SetPrice(Database& db, int list, int article, int currency, double net) {
    Transaction tx(db);
    if (!Exists(db, QStringLiteral("CJENICI"), list)) {
        throw UserError(kNoList);
    }
    if (!Exists(db, QStringLiteral("ARTIKLI"), article)) {
        throw UserError(QStringLiteral("Nije izabran artikal"));
    }
    if (!Exists(db, QStringLiteral("VALUTE"), currency)) {
        throw UserError(QStringLiteral("Nije izabrana valuta"));
    }
    if (db.Exec(QStringLiteral("UPDATE \"CJENICI_STAVKE_CIJENA\" SET \"CIJENA\" = ?, \"VALUTA\" = "
                               "? WHERE \"SIFRA_CJENIKA\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                {net, currency, list, article}) == 0) {
        db.Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" (\"SIFRA_CJENIKA\", "
                               "\"SIFRA_ARTIKLA\", \"CIJENA\", \"VALUTA\") VALUES (?, ?, ?, ?)"),
                {list, article, net, currency});
    }
    tx.Commit();
}

void SetDiscount(Database& db, int list, std::optional<int> group, double discount,
                 bool pricesFromArticles) {
    Transaction tx(db);
    if (!Exists(db, QStringLiteral("CJENICI"), list)) {
        throw UserError(kNoList);
    }
    if (!group || (*group != kAllGroups && !Exists(db, QStringLiteral("GRUPE_A"), *group))) {
        throw UserError(QStringLiteral("Nije izabrana grupa artikala"));
    }
    if (db.Exec(QStringLiteral("UPDATE \"CJENICI_STAVKE_RABATA\" SET \"RABAT\" = ?, "
                               "\"CijenaValuta\" = ? WHERE \"SIFRA_CJENIKA\" = ? AND "
                               "\"SIFRA_GRUPE_ARTIKALA\" = ?"),
                {discount, pricesFromArticles, list, *group}) == 0) {
        db.Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_RABATA\" (\"SIFRA_CJENIKA\", "
                               "\"SIFRA_GRUPE_ARTIKALA\", \"RABAT\", \"CijenaValuta\") VALUES (?, "
                               "?, ?, ?)"),
                {list, *group, discount, pricesFromArticles});
    }
    tx.Commit();
}

bool DeletePrice(Database& db, int list, int article, Prompter& prompter) {
    if (!prompter.AskYesNo(kDeleteItem, registers::kDeleteTitle, false)) {
        return false;
    }
    db.Exec(QStringLiteral("DELETE FROM \"CJENICI_STAVKE_CIJENA\" WHERE \"SIFRA_CJENIKA\" = ? AND "
                           "\"SIFRA_ARTIKLA\" = ?"),
            {list, article});
    return true;
}

bool DeleteDiscount(Database& db, int list, int group, Prompter& prompter) {
    if (!prompter.AskYesNo(kDeleteItem, registers::kDeleteTitle, false)) {
        return false;
    }
    db.Exec(QStringLiteral("DELETE FROM \"CJENICI_STAVKE_RABATA\" WHERE \"SIFRA_CJENIKA\" = ? AND "
                           "\"SIFRA_GRUPE_ARTIKALA\" = ?"),
            {list, group});
    return true;
}

registers::SavedRow Copy(Database& db, int list, Prompter& prompter) {
    if (!Exists(db, QStringLiteral("CJENICI"), list)) {
        throw UserError(kNoList);
    }
    const auto answer =
        prompter.AskText(QStringLiteral("Upišite naziv novog cjenika."), QStringLiteral("Cjenici"));
    if (!answer || answer->trimmed().isEmpty()) {
        throw UserError(QStringLiteral("Naziv cjenika nije ispravno upisan. Pokušajte ponovno."));
    }
    Transaction tx(db);
    if (!Exists(db, QStringLiteral("CJENICI"), list)) {
        throw UserError(kNoList);
    }
    const registers::SavedRow copy =
        registers::Add(db, Register(), {{QStringLiteral("NAZIV"), *answer}});
    db.Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" (\"SIFRA_CJENIKA\", "
                           "\"SIFRA_ARTIKLA\", \"CIJENA\", \"VALUTA\") SELECT ?, "
                           "\"SIFRA_ARTIKLA\", \"CIJENA\", \"VALUTA\" FROM "
                           "\"CJENICI_STAVKE_CIJENA\" WHERE \"SIFRA_CJENIKA\" = ?"),
            {copy.code, list});
    db.Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_RABATA\" (\"SIFRA_CJENIKA\", "
                           "\"SIFRA_GRUPE_ARTIKALA\", \"RABAT\", \"CijenaValuta\") SELECT ?, "
                           "\"SIFRA_GRUPE_ARTIKALA\", \"RABAT\", \"CijenaValuta\" FROM "
                           "\"CJENICI_STAVKE_RABATA\" WHERE \"SIFRA_CJENIKA\" = ?"),
            {copy.code, list});
    tx.Commit();
    return copy;
}

}  // namespace zodra::pricelists

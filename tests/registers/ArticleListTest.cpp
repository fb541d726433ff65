#include "RegisterTestSupport.h"
#include "app/SessionStart.h"
#include "data/Session.h"
#include "registers/ArticleList.h"
#include "registers/ArticleListModel.h"
#include "registers/ArticleTableModel.h"

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

class ArticleListTest : public RegisterTest {
protected:
    // The display expression of each article order, as the session sets it.
    QString Expression(const QString& order) {
        db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ARTIKLI\" = ?"), {order});
        Session session;
        session.Attach(Open());
        sessionstart::LoadCompanyOptions(session);
        return session.options.articleDisplayExpression;
    }
    QString ByName() { return Expression(QStringLiteral("po nazivu")); }

    QStringList Displays(const std::vector<registers::ArticleRow>& rows) {
        QStringList out;
        for (const auto& r : rows) {
            out << r.display;
        }
        return out;
    }
    QStringList Plan(const QString& sql, const QVariantList& params) {
        Statement plan = db().Prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        plan.Exec(params);
        QStringList steps;
        while (plan.Next()) {
            steps << plan.Text(3);
        }
        return steps;
    }
};

TEST_F(ArticleListTest, ListsInCroatianOrderForEachArticleOrder) {
    for (const char16_t* name :
         {u"Zec", u"čokolada", u"Cikla", u"Ćevapi", u"Džem", u"Đumbir", u"Dunja", u"ljuta paprika",
          u"Luk", u"Njoki", u"Nar", u"Šljiva", u"Sol", u"Žito"}) {
        AddArticle(
            db(), QString::fromUtf16(name),
            QStringLiteral("S") +
                QString::number(
                    db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")).toInt()));
    }
    registers::ArticleList list(db(), ByName());
    EXPECT_EQ(
        Displays(list.FirstPage(100)),
        (QStringList{QStringLiteral("Cikla"), QStringLiteral("čokolada"), QStringLiteral("Ćevapi"),
                     QStringLiteral("Dunja"), QStringLiteral("Džem"), QStringLiteral("Đumbir"),
                     QStringLiteral("Luk"), QStringLiteral("ljuta paprika"), QStringLiteral("Nar"),
                     QStringLiteral("Njoki"), QStringLiteral("Sol"), QStringLiteral("Šljiva"),
                     QStringLiteral("Zec"), QStringLiteral("Žito")}));
    registers::ArticleList byCode(db(), Expression(QStringLiteral("po šifri i nazivu")));
    EXPECT_EQ(byCode.FirstPage(2).front().display, QStringLiteral("S0 - Zec"));
    registers::ArticleList byNameAndCode(db(), Expression(QStringLiteral("po nazivu i šifri")));
    EXPECT_EQ(byNameAndCode.FirstPage(1).front().display, QStringLiteral("Cikla - S2"));
}

TEST_F(ArticleListTest, PagesFollowOneAnotherWithoutGapsOrRepeats) {
    // Equal display texts (the same name under two codes by the "name - code" order is not
    // possible, but equal names are in old data) are paged by code.
    for (int i = 0; i < 57; ++i) {
        AddArticle(db(), QStringLiteral("Artikal %1").arg(i % 19, 2, 10, QLatin1Char('0')) +
                             QStringLiteral(" v%1").arg(i));
    }
    db().Exec(
        QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"GRUPA_A\") VALUES ('Artikal 05 v5', "
                       "1), ('Artikal 05 v5', 1)"));
    registers::ArticleList list(db(), ByName());
    std::vector<registers::ArticleRow> all = list.FirstPage(1000);
    ASSERT_EQ(all.size(), 59u);
    std::vector<registers::ArticleRow> paged = list.FirstPage(7);
    while (true) {
        const auto next = list.PageAfter(paged.back(), 7);
        if (next.empty()) {
            break;
        }
        paged.insert(paged.end(), next.begin(), next.end());
    }
    ASSERT_EQ(paged.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(paged[i].code, all[i].code) << i;
        EXPECT_EQ(list.RowOf(all[i]), static_cast<int>(i));
        EXPECT_EQ(list.PageAt(static_cast<int>(i), 1).front().code, all[i].code);
    }
}

TEST_F(ArticleListTest, SearchFoldsLetterCaseTakesWildcardsAndWrapsAround) {
    for (const char16_t* name : {u"Čaj od kamilice", u"čajna kobasica", u"Čaša vinska", u"Kava",
                                 u"Kakao 100% prah", u"Med_cvjetni", u"Zeleni čaj"}) {
        AddArticle(db(), QString::fromUtf16(name));
    }
    registers::ArticleList list(db(), ByName());
    EXPECT_EQ(list.FindFirst(QStringLiteral("čaj"))->name, QStringLiteral("Čaj od kamilice"));
    EXPECT_EQ(list.FindFirst(QStringLiteral("ČAJN"))->name, QStringLiteral("čajna kobasica"));
    EXPECT_EQ(list.FindFirst(QStringLiteral("*čaj"))->name, QStringLiteral("Čaj od kamilice"));
    EXPECT_EQ(list.FindFirst(QStringLiteral("z*čaj"))->name, QStringLiteral("Zeleni čaj"));
    EXPECT_EQ(list.FindFirst(QStringLiteral("ka*100%"))->name, QStringLiteral("Kakao 100% prah"));
    // "%" and "_" typed by the user are letters, not wildcards.
    EXPECT_FALSE(list.FindFirst(QStringLiteral("k%")));
    EXPECT_FALSE(list.FindFirst(QStringLiteral("Me_c")));
    EXPECT_EQ(list.FindFirst(QStringLiteral("med_"))->name, QStringLiteral("Med_cvjetni"));
    EXPECT_FALSE(list.FindFirst(QStringLiteral("xyz")));
    // "Traži": the next match, nothing after the last (the window then starts from the top).
    auto first = list.FindFirst(QStringLiteral("ča"));
    auto second = list.FindNext(QStringLiteral("ča"), *first);
    auto third = list.FindNext(QStringLiteral("ča"), *second);
    EXPECT_EQ(second->name, QStringLiteral("čajna kobasica"));
    EXPECT_EQ(third->name, QStringLiteral("Čaša vinska"));
    EXPECT_FALSE(list.FindNext(QStringLiteral("ča"), *third));
}

TEST_F(ArticleListTest, LookupTakesABarcodeThenACodeThenANameThenAPrefix) {
    const int milk = AddArticle(db(), QStringLiteral("Mlijeko"), QStringLiteral("100"),
                                QStringLiteral("3850001"));
    const int bread = AddArticle(db(), QStringLiteral("Kruh"), QStringLiteral("3850001"));
    const int hundred = AddArticle(db(), QStringLiteral("100"), QStringLiteral("K-9"));
    registers::ArticleList list(db(), ByName());
    EXPECT_EQ(list.Lookup(QStringLiteral("3850001"))->code, milk);  // barcode before code
    EXPECT_EQ(list.Lookup(QStringLiteral("100"))->code, milk);      // code before name
    EXPECT_EQ(list.Lookup(QStringLiteral("k-9"))->code, hundred);
    EXPECT_EQ(list.Lookup(QStringLiteral("kruh"))->code, bread);
    EXPECT_EQ(list.Lookup(QStringLiteral("mli"))->code, milk);
    EXPECT_FALSE(list.Lookup(QStringLiteral("9999999")));
    EXPECT_FALSE(list.Lookup(QStringLiteral("  ")));
}

TEST_F(ArticleListTest, GroupFilterLimitsPagesCountsAndSearch) {
    const auto tools = registers::Add(db(), catalogue::ArticleGroups(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("Alati")}});
    AddArticle(db(), QStringLiteral("Čekić roba"));
    auto hammer = Article(QStringLiteral("Čekić"));
    hammer.insert(QStringLiteral("GRUPA_A"), tools.code);
    registers::Add(db(), catalogue::Articles(), hammer);
    hammer.insert(QStringLiteral("NAZIV"), QStringLiteral("Bušilica"));
    registers::Add(db(), catalogue::Articles(), hammer);
    registers::ArticleList list(db(), ByName());
    list.SetGroup(tools.code);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Displays(list.FirstPage(10)),
              (QStringList{QStringLiteral("Bušilica"), QStringLiteral("Čekić")}));
    EXPECT_EQ(list.FindNext(QStringLiteral("čekić"), *list.FindFirst(QStringLiteral("čekić"))),
              std::nullopt);
    list.SetGroup(std::nullopt);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(ArticleListTest, ListQueriesSeekAnIndexForEveryArticleOrder) {
    for (const char16_t* order : {u"po nazivu", u"po nazivu i šifri", u"po šifri i nazivu"}) {
        const QString expr = Expression(QString::fromUtf16(order));
        const QString ordered = QLatin1Char('(') + expr + QStringLiteral(") COLLATE \"HR\"");
        const QString key = QStringLiteral("zfold(") + expr + QLatin1Char(')');
        const QString select = QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE 1 = 1");
        const QString order_by =
            QStringLiteral(" ORDER BY ") + ordered + QStringLiteral(", \"SIFRA\" LIMIT 100");
        for (const auto& [sql, params] : std::vector<std::pair<QString, QVariantList>>{
                 {select + order_by, {}},
                 {select + QStringLiteral(" AND ") + ordered + QStringLiteral(" > ?") + order_by,
                  {QStringLiteral("m")}},
                 {select + QStringLiteral(" AND \"GRUPA_A\" = ? AND ") + ordered +
                      QStringLiteral(" > ?") + order_by,
                  {1, QStringLiteral("m")}},
                 {select + QStringLiteral(" AND ") + key + QStringLiteral(" >= ? AND ") + key +
                      QStringLiteral(" < ?") + order_by,
                  {QStringLiteral("ča"), QStringLiteral("čb")}}}) {
            const QString plan = Plan(sql, params).join(QLatin1Char('|'));
            EXPECT_FALSE(plan.contains(QStringLiteral("SCAN ARTIKLI")) &&
                         !plan.contains(QStringLiteral("INDEX")))
                << plan.toStdString();
            if (!sql.contains(QStringLiteral("zfold"))) {
                EXPECT_FALSE(plan.contains(QStringLiteral("TEMP B-TREE"))) << plan.toStdString();
            } else {
                EXPECT_TRUE(plan.contains(QStringLiteral("IX_ARTIKLI_KLJUC")))
                    << plan.toStdString();
            }
        }
    }
    const QString plan =
        Plan(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"BARKOD\" = ?"),
             {QStringLiteral("1")})
            .join(QLatin1Char('|'));
    EXPECT_TRUE(plan.contains(QStringLiteral("IX_ARTIKLI_BARKOD"))) << plan.toStdString();
    const QString code =
        Plan(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE zfold(\"OPIS\") = ?"),
             {QStringLiteral("1")})
            .join(QLatin1Char('|'));
    EXPECT_TRUE(code.contains(QStringLiteral("IX_ARTIKLI_KLJUC_OPIS"))) << code.toStdString();
}

TEST_F(ArticleListTest, TheModelReadsOnlyThePagesAViewAsksFor) {
    db().ExecRaw(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"GRUPA_A\", \"GRUPA_P\") SELECT 'Artikal ' || "
        "substr('0000' || i, -4), 1, 1 FROM n"));
    registers::ArticleListModel model(db(), ByName());
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.PagesRead(), 0);
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("Artikal 0001"));
    EXPECT_EQ(model.data(model.index(150)).toString(), QStringLiteral("Artikal 0151"));
    EXPECT_EQ(model.PagesRead(), 2);
    EXPECT_EQ(model.data(model.index(999)).toString(), QStringLiteral("Artikal 1000"));
    EXPECT_EQ(model.PagesRead(), 3);
    const int code = model.data(model.index(500), registers::ArticleListModel::CodeRole).toInt();
    EXPECT_EQ(model.RowOfCode(code), 500);
    AddArticle(db(), QStringLiteral("Artikal 0000"));
    model.Reload();
    EXPECT_EQ(model.rowCount(), 1001);
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("Artikal 0000"));
    model.SetGroup(77);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.RowOfCode(code), -1);
}

TEST_F(ArticleListTest, TraziWrapsAroundWithItsMessageAndEnterLooksUpABarcode) {
    AddArticle(db(), QStringLiteral("Čaj od kamilice"), QString(), QStringLiteral("3850000000017"));
    AddArticle(db(), QStringLiteral("Čaj zeleni"));
    AddArticle(db(), QStringLiteral("Kava"));
    registers::ArticleList list(db(), ByName());
    auto step = list.SearchAgain(QStringLiteral("čaj"), std::nullopt);
    EXPECT_EQ(step.row->name, QStringLiteral("Čaj od kamilice"));
    EXPECT_TRUE(step.message.isEmpty());
    step = list.SearchAgain(QStringLiteral("čaj"), step.row);
    EXPECT_EQ(step.row->name, QStringLiteral("Čaj zeleni"));
    EXPECT_TRUE(step.message.isEmpty());
    step = list.SearchAgain(QStringLiteral("čaj"), step.row);
    EXPECT_EQ(step.row->name, QStringLiteral("Čaj od kamilice"));
    EXPECT_EQ(
        step.message,
        QStringLiteral("Nema više sličnih zapisa. Pretraživanje počinje ponovno od početka."));
    // From an article that is not a match the next match after it is taken.
    step = list.SearchAgain(QStringLiteral("ka"),
                            list.Row(list.FindFirst(QStringLiteral("čaj z"))->code));
    EXPECT_EQ(step.row->name, QStringLiteral("Kava"));
    // Nothing matches: nothing moves, nothing is said.
    step = list.SearchAgain(QStringLiteral("xy"), step.row);
    EXPECT_FALSE(step.row);
    EXPECT_TRUE(step.message.isEmpty());

    step = list.BarcodeEnter(QStringLiteral("3850000000017"));
    EXPECT_EQ(step.row->name, QStringLiteral("Čaj od kamilice"));
    step = list.BarcodeEnter(QStringLiteral("čaj"));
    EXPECT_FALSE(step.row);
    EXPECT_EQ(step.message, QStringLiteral("Artikal sa ovim barkodom nije upisan."));
}

TEST_F(ArticleListTest, TheTabularGridSavesACellThroughTheEntryChecks) {
    AddArticle(db(), QStringLiteral("Bušilica"), QStringLiteral("B-1"));
    AddArticle(db(), QStringLiteral("Čekić"), QStringLiteral("C-1"));
    registers::ArticleTableModel model(db(), ByName(), prompter);
    ASSERT_EQ(model.rowCount(), 2);
    const int name = model.ColumnOf(QStringLiteral("NAZIV"));
    const int group = model.ColumnOf(QStringLiteral("GRUPA_A"));
    const int stock = model.ColumnOf(QStringLiteral("MIN_ZAL"));
    EXPECT_EQ(model.headerData(name, Qt::Horizontal).toString(), QStringLiteral("Naziv"));
    EXPECT_EQ(model.data(model.index(0, group)).toString(), QStringLiteral("Roba"));
    EXPECT_EQ(model.data(model.index(0, group), Qt::EditRole).toInt(), 1);
    // A duplicate name is refused with the entry window's message; nothing changes.
    EXPECT_FALSE(model.setData(model.index(1, name), QStringLiteral("bušilica")));
    EXPECT_EQ(prompter.LastMessage(),
              QStringLiteral("Artikal sa nazivom 'bušilica' je već upisan."));
    EXPECT_EQ(model.data(model.index(1, name)).toString(), QStringLiteral("Čekić"));
    EXPECT_FALSE(model.setData(model.index(0, stock), QStringLiteral("puno")));
    EXPECT_EQ(
        prompter.LastMessage(),
        QStringLiteral("Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"));
    EXPECT_FALSE(model.setData(model.index(0, group), QStringLiteral("Nepostojeća")));
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Grupa artikla nije ispravno upisana"));
    // A renamed article moves to its new place in the list.
    EXPECT_TRUE(model.setData(model.index(0, name), QStringLiteral("Zidna bušilica")));
    EXPECT_EQ(model.data(model.index(1, name)).toString(), QStringLiteral("Zidna bušilica"));
    EXPECT_TRUE(model.setData(model.index(1, stock), QStringLiteral("2,5")));
    EXPECT_EQ(model.data(model.index(1, stock)).toString(), QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(model.data(model.index(1, stock), Qt::EditRole).toDouble(), 2.5);
    EXPECT_TRUE(model.setData(model.index(1, group), QStringLiteral("roba")));
}

}  // namespace

#include "RegisterTestSupport.h"
#include "app/SessionStart.h"
#include "data/Session.h"
#include "registers/ArticleList.h"
#include "registers/ArticleListModel.h"
#include "registers/ArticleTableModel.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

class ArticleListTest : public RegisterTest {
protected:
    // The display expression of each article order, as the session sets it.
    QString Expression(const QString& order) {
        db().Exec(u"UPDATE \"PODACI_FIRME\" SET \"ARTIKLI\" = ?"_s, {order});
        Session session;
        session.Attach(Open());
        sessionstart::LoadCompanyOptions(session);
        return session.options.articleDisplayExpression;
    }
    QString ByName() { return Expression(u"po nazivu"_s); }

    QStringList Displays(const std::vector<registers::ArticleRow>& rows) {
        QStringList out;
        for (const auto& r : rows) {
            out << r.display;
        }
        return out;
    }
    QStringList Plan(const QString& sql, const QVariantList& params) {
        Statement plan = db().Prepare(u"EXPLAIN QUERY PLAN "_s + sql);
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
            u"S"_s + QString::number(db().Scalar(u"SELECT COUNT(*) FROM \"ARTIKLI\""_s).toInt()));
    }
    registers::ArticleList list(db(), ByName());
    EXPECT_EQ(Displays(list.FirstPage(100)),
              (QStringList{u"Cikla"_s, u"čokolada"_s, u"Ćevapi"_s, u"Dunja"_s, u"Džem"_s,
                           u"Đumbir"_s, u"Luk"_s, u"ljuta paprika"_s, u"Nar"_s, u"Njoki"_s,
                           u"Sol"_s, u"Šljiva"_s, u"Zec"_s, u"Žito"_s}));
    registers::ArticleList byCode(db(), Expression(u"po šifri i nazivu"_s));
    EXPECT_EQ(byCode.FirstPage(2).front().display, u"S0 - Zec"_s);
    registers::ArticleList byNameAndCode(db(), Expression(u"po nazivu i šifri"_s));
    EXPECT_EQ(byNameAndCode.FirstPage(1).front().display, u"Cikla - S2"_s);
}

TEST_F(ArticleListTest, PagesFollowOneAnotherWithoutGapsOrRepeats) {
    // Equal display texts (the same name under two codes by the "name - code" order is not
    // possible, but equal names are in old data) are paged by code.
    for (int i = 0; i < 57; ++i) {
        AddArticle(db(), u"Artikal %1"_s.arg(i % 19, 2, 10, QLatin1Char('0')) + u" v%1"_s.arg(i));
    }
    db().Exec(
        u"INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"GRUPA_A\") VALUES ('Artikal 05 v5', "
        "1), ('Artikal 05 v5', 1)"_s);
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
    EXPECT_EQ(list.FindFirst(u"čaj"_s)->name, u"Čaj od kamilice"_s);
    EXPECT_EQ(list.FindFirst(u"ČAJN"_s)->name, u"čajna kobasica"_s);
    EXPECT_EQ(list.FindFirst(u"*čaj"_s)->name, u"Čaj od kamilice"_s);
    EXPECT_EQ(list.FindFirst(u"z*čaj"_s)->name, u"Zeleni čaj"_s);
    EXPECT_EQ(list.FindFirst(u"ka*100%"_s)->name, u"Kakao 100% prah"_s);
    // "%" and "_" typed by the user are letters, not wildcards.
    EXPECT_FALSE(list.FindFirst(u"k%"_s));
    EXPECT_FALSE(list.FindFirst(u"Me_c"_s));
    EXPECT_EQ(list.FindFirst(u"med_"_s)->name, u"Med_cvjetni"_s);
    EXPECT_FALSE(list.FindFirst(u"xyz"_s));
    // "Traži": the next match, nothing after the last (the window then starts from the top).
    auto first = list.FindFirst(u"ča"_s);
    auto second = list.FindNext(u"ča"_s, *first);
    auto third = list.FindNext(u"ča"_s, *second);
    EXPECT_EQ(second->name, u"čajna kobasica"_s);
    EXPECT_EQ(third->name, u"Čaša vinska"_s);
    EXPECT_FALSE(list.FindNext(u"ča"_s, *third));
}

TEST_F(ArticleListTest, LookupTakesABarcodeThenACodeThenANameThenAPrefix) {
    const int milk = AddArticle(db(), u"Mlijeko"_s, u"100"_s, u"3850001"_s);
    const int bread = AddArticle(db(), u"Kruh"_s, u"3850001"_s);
    const int hundred = AddArticle(db(), u"100"_s, u"K-9"_s);
    registers::ArticleList list(db(), ByName());
    EXPECT_EQ(list.Lookup(u"3850001"_s)->code, milk);  // barcode before code
    EXPECT_EQ(list.Lookup(u"100"_s)->code, milk);      // code before name
    EXPECT_EQ(list.Lookup(u"k-9"_s)->code, hundred);
    EXPECT_EQ(list.Lookup(u"kruh"_s)->code, bread);
    EXPECT_EQ(list.Lookup(u"mli"_s)->code, milk);
    EXPECT_FALSE(list.Lookup(u"9999999"_s));
    EXPECT_FALSE(list.Lookup(u"  "_s));
}

TEST_F(ArticleListTest, GroupFilterLimitsPagesCountsAndSearch) {
    const auto tools = registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Alati"_s}});
    AddArticle(db(), u"Čekić roba"_s);
    auto hammer = Article(u"Čekić"_s);
    hammer.insert(u"GRUPA_A"_s, tools.code);
    registers::Add(db(), catalogue::Articles(), hammer);
    hammer.insert(u"NAZIV"_s, u"Bušilica"_s);
    registers::Add(db(), catalogue::Articles(), hammer);
    registers::ArticleList list(db(), ByName());
    list.SetGroup(tools.code);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Displays(list.FirstPage(10)), (QStringList{u"Bušilica"_s, u"Čekić"_s}));
    EXPECT_EQ(list.FindNext(u"čekić"_s, *list.FindFirst(u"čekić"_s)), std::nullopt);
    list.SetGroup(std::nullopt);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(ArticleListTest, ListQueriesSeekAnIndexForEveryArticleOrder) {
    for (const char16_t* order : {u"po nazivu", u"po nazivu i šifri", u"po šifri i nazivu"}) {
        const QString expr = Expression(QString::fromUtf16(order));
        const QString ordered = QLatin1Char('(') + expr + u") COLLATE \"HR\""_s;
        const QString key = u"zfold("_s + expr + QLatin1Char(')');
        const QString select = u"SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE 1 = 1"_s;
        const QString order_by = u" ORDER BY "_s + ordered + u", \"SIFRA\" LIMIT 100"_s;
        for (const auto& [sql, params] : std::vector<std::pair<QString, QVariantList>>{
                 {select + order_by, {}},
                 {select + u" AND "_s + ordered + u" > ?"_s + order_by, {u"m"_s}},
                 {select + u" AND \"GRUPA_A\" = ? AND "_s + ordered + u" > ?"_s + order_by,
                  {1, u"m"_s}},
                 {select + u" AND "_s + key + u" >= ? AND "_s + key + u" < ?"_s + order_by,
                  {u"ča"_s, u"čb"_s}}}) {
            const QString plan = Plan(sql, params).join(QLatin1Char('|'));
            EXPECT_FALSE(plan.contains(u"SCAN ARTIKLI"_s) && !plan.contains(u"INDEX"_s))
                << plan.toStdString();
            if (!sql.contains(u"zfold"_s)) {
                EXPECT_FALSE(plan.contains(u"TEMP B-TREE"_s)) << plan.toStdString();
            } else {
                EXPECT_TRUE(plan.contains(u"IX_ARTIKLI_KLJUC"_s)) << plan.toStdString();
            }
        }
    }
    const QString plan = Plan(u"SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"BARKOD\" = ?"_s, {u"1"_s})
                             .join(QLatin1Char('|'));
    EXPECT_TRUE(plan.contains(u"IX_ARTIKLI_BARKOD"_s)) << plan.toStdString();
    const QString code =
        Plan(u"SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE zfold(\"OPIS\") = ?"_s, {u"1"_s})
            .join(QLatin1Char('|'));
    EXPECT_TRUE(code.contains(u"IX_ARTIKLI_KLJUC_OPIS"_s)) << code.toStdString();
}

TEST_F(ArticleListTest, TheModelReadsOnlyThePagesAViewAsksFor) {
    db().ExecRaw(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"GRUPA_A\", \"GRUPA_P\") SELECT 'Artikal ' || "
        "substr('0000' || i, -4), 1, 1 FROM n"_s);
    registers::ArticleListModel model(db(), ByName());
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.PagesRead(), 0);
    EXPECT_EQ(model.data(model.index(0)).toString(), u"Artikal 0001"_s);
    EXPECT_EQ(model.data(model.index(150)).toString(), u"Artikal 0151"_s);
    EXPECT_EQ(model.PagesRead(), 2);
    EXPECT_EQ(model.data(model.index(999)).toString(), u"Artikal 1000"_s);
    EXPECT_EQ(model.PagesRead(), 3);
    const int code = model.data(model.index(500), registers::ArticleListModel::CodeRole).toInt();
    EXPECT_EQ(model.RowOfCode(code), 500);
    AddArticle(db(), u"Artikal 0000"_s);
    model.Reload();
    EXPECT_EQ(model.rowCount(), 1001);
    EXPECT_EQ(model.data(model.index(0)).toString(), u"Artikal 0000"_s);
    model.SetGroup(77);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.RowOfCode(code), -1);
}

TEST_F(ArticleListTest, TraziWrapsAroundWithItsMessageAndEnterLooksUpABarcode) {
    AddArticle(db(), u"Čaj od kamilice"_s, QString(), u"3850000000017"_s);
    AddArticle(db(), u"Čaj zeleni"_s);
    AddArticle(db(), u"Kava"_s);
    registers::ArticleList list(db(), ByName());
    auto step = list.SearchAgain(u"čaj"_s, std::nullopt);
    EXPECT_EQ(step.row->name, u"Čaj od kamilice"_s);
    EXPECT_TRUE(step.message.isEmpty());
    step = list.SearchAgain(u"čaj"_s, step.row);
    EXPECT_EQ(step.row->name, u"Čaj zeleni"_s);
    EXPECT_TRUE(step.message.isEmpty());
    step = list.SearchAgain(u"čaj"_s, step.row);
    EXPECT_EQ(step.row->name, u"Čaj od kamilice"_s);
    EXPECT_EQ(step.message,
              u"Nema više sličnih zapisa. Pretraživanje počinje ponovno od početka."_s);
    // From an article that is not a match the next match after it is taken.
    step = list.SearchAgain(u"ka"_s, list.Row(list.FindFirst(u"čaj z"_s)->code));
    EXPECT_EQ(step.row->name, u"Kava"_s);
    // Nothing matches: nothing moves, nothing is said.
    step = list.SearchAgain(u"xy"_s, step.row);
    EXPECT_FALSE(step.row);
    EXPECT_TRUE(step.message.isEmpty());

    step = list.BarcodeEnter(u"3850000000017"_s);
    EXPECT_EQ(step.row->name, u"Čaj od kamilice"_s);
    step = list.BarcodeEnter(u"čaj"_s);
    EXPECT_FALSE(step.row);
    EXPECT_EQ(step.message, u"Artikal sa ovim barkodom nije upisan."_s);
}

TEST_F(ArticleListTest, TheTabularGridSavesACellThroughTheEntryChecks) {
    AddArticle(db(), u"Bušilica"_s, u"B-1"_s);
    AddArticle(db(), u"Čekić"_s, u"C-1"_s);
    registers::ArticleTableModel model(db(), ByName(), prompter);
    ASSERT_EQ(model.rowCount(), 2);
    const int name = model.ColumnOf(u"NAZIV"_s);
    const int group = model.ColumnOf(u"GRUPA_A"_s);
    const int stock = model.ColumnOf(u"MIN_ZAL"_s);
    EXPECT_EQ(model.headerData(name, Qt::Horizontal).toString(), u"Naziv"_s);
    EXPECT_EQ(model.data(model.index(0, group)).toString(), u"Roba"_s);
    EXPECT_EQ(model.data(model.index(0, group), Qt::EditRole).toInt(), 1);
    // A duplicate name is refused with the entry window's message; nothing changes.
    EXPECT_FALSE(model.setData(model.index(1, name), u"bušilica"_s));
    EXPECT_EQ(prompter.LastMessage(), u"Artikal sa nazivom 'bušilica' je već upisan."_s);
    EXPECT_EQ(model.data(model.index(1, name)).toString(), u"Čekić"_s);
    EXPECT_FALSE(model.setData(model.index(0, stock), u"puno"_s));
    EXPECT_EQ(prompter.LastMessage(),
              u"Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"_s);
    EXPECT_FALSE(model.setData(model.index(0, group), u"Nepostojeća"_s));
    EXPECT_EQ(prompter.LastMessage(), u"Grupa artikla nije ispravno upisana"_s);
    // A renamed article moves to its new place in the list.
    EXPECT_TRUE(model.setData(model.index(0, name), u"Zidna bušilica"_s));
    EXPECT_EQ(model.data(model.index(1, name)).toString(), u"Zidna bušilica"_s);
    EXPECT_TRUE(model.setData(model.index(1, stock), u"2,5"_s));
    EXPECT_EQ(model.data(model.index(1, stock)).toString(), u"2,5"_s);
    EXPECT_DOUBLE_EQ(model.data(model.index(1, stock), Qt::EditRole).toDouble(), 2.5);
    EXPECT_TRUE(model.setData(model.index(1, group), u"roba"_s));
}

}  // namespace

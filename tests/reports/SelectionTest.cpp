#include <gtest/gtest.h>

#include "reports/ReportTestSupport.h"

#include <QDate>

#include "data/Errors.h"
#include "reports/Selection.h"

namespace zodra::reports {
namespace {

// Resolves {T.F} to "T"."F" for checking the generated SQL.
QString Plain(const FieldRef& f) {
    return QLatin1Char('"') + f.table + QStringLiteral("\".\"") + f.field + QLatin1Char('"');
}

QVariant NoParameter(const QString& name) {
    throw UserError(QStringLiteral("nema ") + name);
}

Selection::Sql Sql(const QString& formula) {
    return Selection::Parse(formula).ToSql(Plain, NoParameter);
}

QString Refusal(const QString& formula, bool parameters = false) {
    try {
        Selection::Parse(formula, parameters);
    } catch (const UserError& e) {
        return e.message();
    }
    return QString();
}

TEST(Selection, FormsTheBooksUse) {
    // Numbers bare, dates as DATE(y,m,d) without leading zeros, table names with blanks and
    // Croatian letters, field names with blanks and slashes.
    const auto sql =
        Sql(QStringLiteral("{Query blagajnički izvještaj sumarno.Skladiste}=1 AND "
                           "{Query blagajnički izvještaj sumarno.Godina}=2026 AND "
                           "{Query blagajnički izvještaj sumarno.Datum}>=DATE(2026,1,1) AND "
                           "{Query blagajnički izvještaj sumarno.Datum}<=DATE(2026,3,31)"));
    EXPECT_EQ(sql.text,
              QStringLiteral("\"Query blagajnički izvještaj sumarno\".\"Skladiste\" = ? AND "
                             "\"Query blagajnički izvještaj sumarno\".\"Godina\" = ? AND "
                             "\"Query blagajnički izvještaj sumarno\".\"Datum\" >= ? AND "
                             "\"Query blagajnički izvještaj sumarno\".\"Datum\" <= ?"));
    EXPECT_EQ(sql.values,
              (QVariantList{qlonglong(1), qlonglong(2026), QDate(2026, 1, 1), QDate(2026, 3, 31)}));

    const auto kpi = Sql(QStringLiteral(
        "{KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS.GODINA}=2026 AND "
        "{KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS.REDNI BROJ}>=1 AND "
        "{KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS.NADNEVAK PRIMITKA / IZDATKA}<=DATE(2026,12,31)"));
    EXPECT_TRUE(kpi.text.contains(QStringLiteral(
        "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\".\"NADNEVAK PRIMITKA / IZDATKA\" <= ?")));

    const auto ura =
        Sql(QStringLiteral("{Query ulazni računi plaćeno.Tip računa}='R-2' AND "
                           "{Query ulazni računi plaćeno.URA}<>3"));
    EXPECT_EQ(ura.text, QStringLiteral("\"Query ulazni računi plaćeno\".\"Tip računa\" = ? AND "
                                       "\"Query ulazni računi plaćeno\".\"URA\" <> ?"));
    EXPECT_EQ(ura.values, (QVariantList{QStringLiteral("R-2"), qlonglong(3)}));
}

TEST(Selection, LikeIsFoldedWithTheStarAsWildcard) {
    const auto sql = Sql(QStringLiteral("{ARTIKLI.NAZIV} like 'Čaj*' AND {NABAVE.SKLADISTE}=1"));
    EXPECT_EQ(sql.text, QStringLiteral("zfold(\"ARTIKLI\".\"NAZIV\") LIKE ? ESCAPE '\\' AND "
                                       "\"NABAVE\".\"SKLADISTE\" = ?"));
    // Folded, "*" → "%", and the LIKE characters the user typed stand for themselves.
    EXPECT_EQ(sql.values.at(0).toString(), QStringLiteral("čaj%"));
    EXPECT_EQ(Sql(QStringLiteral("{ARTIKLI.OPIS} LIKE '50%_*'")).values.at(0).toString(),
              QStringLiteral("50\\%\\_%"));
}

TEST(Selection, QuotesInsideTextsAreDoubledAndStayValues) {
    const auto sql =
        Sql(QStringLiteral("{PARTNERI.NAZIV}='Kod Ane''s' AND {ARTIKLI.NAZIV} like "
                           "'''; DROP TABLE ARTIKLI; --*'"));
    EXPECT_EQ(sql.values.at(0).toString(), QStringLiteral("Kod Ane's"));
    EXPECT_EQ(sql.values.at(1).toString(), QStringLiteral("'; drop table artikli; --%"));
    EXPECT_FALSE(sql.text.contains(QStringLiteral("DROP")));
    // Built from values, the text form doubles the quote again and reads back the same.
    Selection built;
    built.Where(QStringLiteral("PARTNERI.NAZIV"), CompareOp::Equal, QStringLiteral("Kod Ane's"))
        .Where(QStringLiteral("PRIMKE.DATUM"), CompareOp::GreaterOrEqual, QDate(2026, 2, 5))
        .Like(QStringLiteral("ARTIKLI.NAZIV"), QStringLiteral("a*"));
    EXPECT_EQ(built.ToText(), QStringLiteral("{PARTNERI.NAZIV}='Kod Ane''s' AND "
                                             "{PRIMKE.DATUM}>=DATE(2026,2,5) AND "
                                             "{ARTIKLI.NAZIV} like 'a*'"));
    const auto again = Selection::Parse(built.ToText()).ToSql(Plain, NoParameter);
    EXPECT_EQ(again.values, built.ToSql(Plain, NoParameter).values);
}

TEST(Selection, OtherValueForms) {
    EXPECT_TRUE(Selection::Parse(QString()).IsEmpty());
    EXPECT_TRUE(Selection::Parse(QStringLiteral("   ")).IsEmpty());
    const auto sql =
        Sql(QStringLiteral(" {T.A} = -5 and {T.B}>2.75 AND {T.C}=TRUE AND "
                           "{T.D} = DATE( 2024 , 2 , 29 ) AND 3 <= {T.E}"));
    EXPECT_EQ(sql.values,
              (QVariantList{qlonglong(-5), 2.75, true, QDate(2024, 2, 29), qlonglong(3)}));
    EXPECT_TRUE(sql.text.endsWith(QStringLiteral("? <= \"T\".\"E\"")));
    // A comparison of two fields (as joins are written).
    EXPECT_EQ(Sql(QStringLiteral("{A.X}={B.Y}")).text, QStringLiteral("\"A\".\"X\" = \"B\".\"Y\""));
}

TEST(Selection, ParametersOnlyInReportFiles) {
    const auto s = Selection::Parse(QStringLiteral("{T.SESIJA} = :SESIJA"), true);
    const auto sql = s.ToSql(Plain, [](const QString& name) -> QVariant {
        return name == QLatin1String("SESIJA") ? QVariant(7) : QVariant();
    });
    EXPECT_EQ(sql.values, (QVariantList{7}));
    EXPECT_EQ(Refusal(QStringLiteral("{T.SESIJA} = :SESIJA")),
              QStringLiteral("Formula za izbor zapisa nije ispravna: parametri (:IME) nisu "
                             "dopušteni (znak 14)."));
}

TEST(Selection, MalformedFormulasAreRefusedWithWhereAndWhy) {
    const QString prefix = QStringLiteral("Formula za izbor zapisa nije ispravna: ");
    EXPECT_EQ(Refusal(QStringLiteral("{PARTNERI.NAZIV}='Kod Ane's'")),
              prefix + QStringLiteral("očekuje se AND između usporedbi (znak 27)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PARTNERI.NAZIV}='Kod Ane")),
              prefix + QStringLiteral("tekst nije zatvoren jednostrukim navodnikom (znak 26)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.SKLADISTE=1")),
              prefix + QStringLiteral("polje nije zatvoreno znakom } (znak 1)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.DATUM}>=DATE(2026,2,30)")),
              prefix + QStringLiteral("DATE(2026,2,30) nije postojeći datum (znak 21)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.DATUM}>=DATE(2026,2)")),
              prefix + QStringLiteral("DATE traži tri broja: DATE(godina,mjesec,dan) (znak 28)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.SKLADISTE} 1")),
              prefix + QStringLiteral("očekuje se usporedba (=, <>, <, <=, >, >= ili like) "
                                      "(znak 20)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.SKLADISTE}=1 AND")),
              prefix + QStringLiteral("nakon AND nedostaje usporedba (znak 25)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.SKLADISTE}=1 OR {PRIMKE.GODINA}=2026")),
              prefix + QStringLiteral("očekuje se AND između usporedbi (znak 22)."));
    EXPECT_EQ(Refusal(QStringLiteral("{PRIMKE.SKLADISTE}=\"1\"")),
              prefix + QStringLiteral("tekst se piše u jednostrukim navodnicima ('tekst') "
                                      "(znak 20)."));
    EXPECT_EQ(Refusal(QStringLiteral("1=2")),
              prefix + QStringLiteral("usporedba mora sadržavati polje {TABLICA.POLJE} (znak 1)."));
    EXPECT_EQ(Refusal(QStringLiteral("{ARTIKLI.NAZIV} like 5")),
              prefix + QStringLiteral("desno od like mora biti tekst u jednostrukim navodnicima "
                                      "(znak 23)."));
    EXPECT_EQ(Refusal(QStringLiteral("{.NAZIV}=1")),
              prefix + QStringLiteral("polje mora imati oblik {TABLICA.POLJE} (znak 1)."));
    EXPECT_EQ(Refusal(QStringLiteral("{T.A}=12abc")),
              prefix + QStringLiteral("neispravan broj (znak 9)."));
    EXPECT_EQ(Refusal(QStringLiteral("{T.A}=")),
              prefix + QStringLiteral("nakon usporedbe nedostaje vrijednost (znak 7)."));
}

}  // namespace
}  // namespace zodra::reports

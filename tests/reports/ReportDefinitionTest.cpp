#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "data/Errors.h"
#include "reports/ReportDefinition.h"
#include "reports/ReportTestSupport.h"
#include "reports/ValueFormat.h"
#include "support/Refused.h"

namespace zodra::reports {
namespace {

QString Refusal(const QString& text) {
    try {
        ReportDefinition::Parse(text, QStringLiteral("x.rpt"));
    } catch (const UserError& e) {
        return e.message();
    }
    return QString();
}

TEST(ReportDefinition, ReadsPageDataBandsAndGroups) {
    const auto def = ReportDefinition::Parse(QStringLiteral(R"(# a comment
report "Knjiga ""A"""
page A5 landscape
margins 10 11 12 13
font "DejaVu Serif" 11

data
  from "PRIMKE"
  left-join "PARTNERI" on {PARTNERI.SIFRA} = {PRIMKE.SIFRA_DOBAVLJACA}
  where {PRIMKE.SKLADISTE} = :SKLADISTE   # the session's warehouse
  where {PRIMKE.DOKUMENT DOBAVLJACA} <> 'a#b'
  order {PARTNERI.NAZIV} hr, {PRIMKE.BROJ PRIMKE} desc
end

page-header
  text "{@NASLOV} - {PageNumber|0}" at 0 0 width 100 align center bold font-size 12
end
group {PRIMKE.SKLADISTE} new-page
  header when {PRIMKE.SKLADISTE} > 0
    field "Skladište " & {PRIMKE.SKLADISTE} at 0 0 width 80
  end
  footer height 6
    field sum({PRIMKE.IZNOS}) at 100 0 width 30 align right format "Standard"
  end
end
detail height 4.5 when not empty({PRIMKE.BROJ PRIMKE})
  field {PRIMKE.BROJ PRIMKE} at -1 0.5 width 12 align right
  field if({PRIMKE.IZNOS} < 0, "minus", "plus") at 14 0.5 width 20 wrap color "#ff0000"
  line from 0 4 to 180 4 line-width 0.1
  box at 0 0 width 10 height 4 fill "#eeeeee"
  subreport "Sub.rpt" at 0 5 width 90 link :BROJ {PRIMKE.BROJ PRIMKE}
end
)"),
                                             QStringLiteral("k.rpt"));
    EXPECT_EQ(def.title, QStringLiteral("Knjiga \"A\""));
    EXPECT_EQ(def.page.orientation, QPageLayout::Landscape);
    EXPECT_DOUBLE_EQ(def.PageWidth(), 210);
    EXPECT_DOUBLE_EQ(def.PageHeight(), 148);
    EXPECT_DOUBLE_EQ(def.BodyWidth(), 210 - 10 - 12);
    EXPECT_EQ(def.font.family, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(def.data.kind, DataSource::Kind::Table);
    ASSERT_EQ(def.data.joins.size(), 1u);
    EXPECT_TRUE(def.data.joins[0].left);
    // A # inside a quoted text is text; after the condition it starts a comment.
    EXPECT_EQ(def.data.where.ToText(), QStringLiteral("{PRIMKE.SKLADISTE}=:SKLADISTE AND "
                                                      "{PRIMKE.DOKUMENT DOBAVLJACA}<>'a#b'"));
    ASSERT_EQ(def.data.order.size(), 2u);
    EXPECT_TRUE(def.data.order[0].croatian);
    EXPECT_TRUE(def.data.order[1].descending);
    EXPECT_EQ(def.data.order[1].field.field, QStringLiteral("BROJ PRIMKE"));
    ASSERT_EQ(def.groups.size(), 1u);
    EXPECT_TRUE(def.groups[0].newPage);
    EXPECT_TRUE(def.groups[0].headers[0].when != nullptr);
    EXPECT_DOUBLE_EQ(*def.groups[0].footers[0].height, 6);
    ASSERT_EQ(def.detail.size(), 1u);
    const auto& els = def.detail[0].elements;
    ASSERT_EQ(els.size(), 5u);
    EXPECT_DOUBLE_EQ(els[0].x, -1);
    EXPECT_EQ(els[0].align, Align::Right);
    EXPECT_TRUE(els[1].wrap);
    EXPECT_EQ(els[1].style.color, QColor(255, 0, 0));
    EXPECT_EQ(els[2].kind, Element::Kind::Line);
    EXPECT_DOUBLE_EQ(els[2].x2, 180);
    EXPECT_EQ(els[3].fill, QColor(0xee, 0xee, 0xee));
    EXPECT_EQ(els[4].subreport, QStringLiteral("Sub.rpt"));
    ASSERT_EQ(els[4].links.size(), 1u);
    EXPECT_EQ(els[4].links[0].first, QStringLiteral("BROJ"));
    const auto& title = def.pageHeader[0].elements[0].text;
    ASSERT_EQ(title.size(), 3u);
    EXPECT_EQ(title[0].value->kind, Expr::Kind::Formula);
    EXPECT_EQ(title[1].literal, QStringLiteral(" - "));
    EXPECT_EQ(title[2].value->kind, Expr::Kind::Special);
    EXPECT_EQ(title[2].format, QStringLiteral("0"));
}

TEST(ReportDefinition, QueryBlocksMustSelect) {
    const auto def = ReportDefinition::Parse(
        QStringLiteral("data\n  query \"Promet\"\n    SELECT 1 AS \"A\"\n    WHERE 1 = :X\n  "
                       "end\nend\n"),
        QStringLiteral("q.rpt"));
    EXPECT_EQ(def.data.kind, DataSource::Kind::Query);
    EXPECT_EQ(def.data.sql, QStringLiteral("SELECT 1 AS \"A\"\n    WHERE 1 = :X"));
    EXPECT_EQ(Refusal(QStringLiteral("data\n  query \"Q\"\n  DELETE FROM \"ARTIKLI\"\n  end\nend")),
              QStringLiteral("Izvještaj x.rpt, redak 2: upit mora počinjati sa SELECT ili WITH."));
    EXPECT_EQ(Refusal(QStringLiteral("data\n  query \"Q\"\n  SELECT 1\n")),
              QStringLiteral("Izvještaj x.rpt, redak 2: upit nije zatvoren s end."));
}

TEST(ReportDefinition, MistakesAreReportedWithTheirLine) {
    const QString at = QStringLiteral("Izvještaj x.rpt, redak ");
    EXPECT_EQ(Refusal(QStringLiteral("report \"A\"\npaper A4")),
              at + QStringLiteral("2: nepoznata ključna riječ \"paper\"."));
    EXPECT_EQ(Refusal(QStringLiteral("page B7")),
              at + QStringLiteral("1: nepoznata veličina stranice \"B7\" (A3, A4, A5, Letter, "
                                  "Legal ili širina i visina u mm)."));
    EXPECT_EQ(Refusal(QStringLiteral("margins 10 10 10")),
              at + QStringLiteral("1: očekuje se broj."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a\" at 0 0\nend")),
              at + QStringLiteral("2: element traži širinu (width)."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a\" width 5\nend")),
              at + QStringLiteral("2: element traži položaj (at X Y)."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a\" at 0 0 width 5 colour \"#fff\"\nend")),
              at + QStringLiteral("2: nepoznat atribut \"colour\"."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a at 0 0 width 5\nend")),
              at + QStringLiteral("2: tekst nije zatvoren navodnikom."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  field sum({A.B} at 0 0 width 5\nend")),
              at + QStringLiteral("2: nedostaje ) nakon argumenata funkcije sum."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  field sum(sum({A.B})) at 0 0 width 5\nend")),
              at + QStringLiteral("2: zbroj unutar zbroja nije dopušten."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  field median({A.B}) at 0 0 width 5\nend")),
              at + QStringLiteral("2: nepoznata funkcija median."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  field Stranica at 0 0 width 5\nend")),
              at + QStringLiteral("2: nepoznato ime \"Stranica\" u izrazu."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"{A.B\" at 0 0 width 5\nend")),
              at + QStringLiteral("2: u tekstu polje nije zatvoreno znakom }."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a\" at 0 0 width 5\n")),
              at + QStringLiteral("1: odjeljak nije zatvoren s end."));
    EXPECT_EQ(Refusal(QStringLiteral("data\n  from \"A\"\n  where {A.B} = 'x\nend")),
              at + QStringLiteral("3: Formula za izbor zapisa nije ispravna: tekst nije zatvoren "
                                  "jednostrukim navodnikom (znak 11)."));
    EXPECT_EQ(Refusal(QStringLiteral("data\n  order {A.B}\nend")),
              at + QStringLiteral("3: blok data ne navodi izvor (from, query ili program-query)."));
    EXPECT_EQ(Refusal(QStringLiteral("data\n  from \"A\"\n  from \"B\"\nend")),
              at + QStringLiteral("3: izvor podataka je već zadan."));
    EXPECT_EQ(Refusal(QStringLiteral("group {A.B}\n  detail\n  end\nend")),
              at + QStringLiteral("2: u grupi su dopušteni header, footer i end."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  logo at 0 0 width 10\nend")),
              at + QStringLiteral("2: element traži visinu (height)."));
    EXPECT_EQ(Refusal(QStringLiteral("detail\n  text \"a\" at 0 0 width 5 font-size 100\nend")),
              at + QStringLiteral("2: veličina fonta mora biti između 3 i 72."));
}

TEST(ReportDefinition, MissingFileAndEncoding) {
    try {
        ReportDefinition::Load(QStringLiteral("/nema/takvog/blag_x.rpt"));
        FAIL();
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Nema izvještaja blag_x.rpt (/nema/takvog/blag_x.rpt)."));
    }
    QTemporaryDir dir;
    QFile latin1(dir.filePath(QStringLiteral("l.rpt")));
    ASSERT_TRUE(latin1.open(QIODevice::WriteOnly));
    latin1.write("report \"\xe8\"\n");
    latin1.close();
    EXPECT_REFUSED(ReportDefinition::Load(latin1.fileName()),
                   QStringLiteral("Izvještaj l.rpt nije zapisan u kodiranju UTF-8."));
}

// Every report file shipped with the program reads without a mistake.
TEST(ReportDefinition, ShippedFilesParse) {
    const QDir dir(QStringLiteral(ZODRA_SOURCE_DIR "/share/reports"));
    const QStringList files = dir.entryList({QStringLiteral("*.rpt")}, QDir::Files);
    EXPECT_GE(files.size(), 4);
    for (const QString& file : files) {
        EXPECT_NO_THROW(ReportDefinition::Load(dir.filePath(file))) << file.toStdString();
    }
}

TEST(ValueFormat, CroatianNumbersAndDates) {
    const ValueFormat f(QStringLiteral("EUR"));
    EXPECT_EQ(f.Format(1234.5, QStringLiteral("0.00")), QStringLiteral("1234,50"));
    EXPECT_EQ(f.Format(1234.5, QStringLiteral("#,##0.00")), QStringLiteral("1.234,50"));
    EXPECT_EQ(f.Format(1234567.891, QStringLiteral("Standard")), QStringLiteral("1.234.567,89"));
    EXPECT_EQ(f.Format(-1234.5, QStringLiteral("Currency")), QStringLiteral("-1.234,50 EUR"));
    EXPECT_EQ(f.Format(2.675, QStringLiteral("0.00")), QStringLiteral("2,68"));
    EXPECT_EQ(f.Format(-0.001, QStringLiteral("0.00")), QStringLiteral("0,00"));
    EXPECT_EQ(f.Format(7.5, QStringLiteral("0")), QStringLiteral("8"));
    EXPECT_EQ(f.Format(1.23456, QStringLiteral("0.000")), QStringLiteral("1,235"));
    EXPECT_EQ(f.Format(0.25, QStringLiteral("Percent")), QStringLiteral("25,00%"));
    EXPECT_EQ(f.Format(QStringLiteral("2026-03-02"), QStringLiteral("date")),
              QStringLiteral("02.03.2026"));
    EXPECT_EQ(f.Format(QDate(2026, 3, 2), QStringLiteral("d.M.yyyy.")),
              QStringLiteral("2.3.2026."));
    // Without a format: texts as they are, ISO dates as dates, numbers as they need.
    EXPECT_EQ(f.Format(QStringLiteral("2026-03-02"), QString()), QStringLiteral("02.03.2026"));
    EXPECT_EQ(f.Format(QStringLiteral("Kod Ane's"), QString()), QStringLiteral("Kod Ane's"));
    EXPECT_EQ(f.Format(12.0, QString()), QStringLiteral("12"));
    EXPECT_EQ(f.Format(12.25, QString()), QStringLiteral("12,25"));
    EXPECT_EQ(f.Format(qlonglong(41), QString()), QStringLiteral("41"));
    EXPECT_EQ(f.Format(true, QString()), QStringLiteral("DA"));
    EXPECT_EQ(f.Format(QVariant(), QStringLiteral("Standard")), QString());
}

}  // namespace
}  // namespace zodra::reports

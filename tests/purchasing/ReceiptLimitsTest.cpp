#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <limits>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptJson.h"
#include "purchasing/ReceiptLines.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

const QString kQuantityRange =
    QStringLiteral("Količina mora biti između -999999999,9999999999 i 999999999,9999999999 !");
const QString kAmountRange = QStringLiteral("-999999999999,99 i 999999999999,99 !");
const QString kCentury = QStringLiteral("Datum mora biti između 01.01.2000 i 31.12.2099 !");

// Receipts whose numbers cannot be: every value refused with the input limits' message, the
// company left exactly as it was.
class ReceiptLimitsTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        // One receipt already in the books, so that "unchanged" covers lots and balances too.
        Enter(screw, 10, 2.0);
        Post();
    }
    QByteArray File(const QString& lines, const QString& extra = QString(),
                    const QString& date = QStringLiteral("2026-03-02")) {
        return (QStringLiteral("{\"skladiste\": 1, \"datum\": \"") + date +
                QStringLiteral("\", \"dobavljac\": ") + QString::number(supplier) +
                QStringLiteral(", \"dokument\": \"R-77\", ") + extra +
                QStringLiteral("\"stavke\": [") + lines + QStringLiteral("]}"))
            .toUtf8();
    }
    // One screw line with the fields given.
    QByteArray Line(const QString& fields, const QString& extra = QString()) {
        return File(QStringLiteral("{\"artikal\": %1, ").arg(screw) + fields + QStringLiteral("}"),
                    extra);
    }
    std::optional<int> PostFile(const QByteArray& json) {
        return PostReceiptFromJson(*session, prompter, ParseReceiptJson(db(), json));
    }
    // What the books hold: rows of every table a receipt writes, and the sums of lots and book.
    QString Books() {
        QStringList parts;
        for (const char* table :
             {"PRIMKE", "STAVKE_PRIMKI", "STAVKE_PRIMKE_PRIVREMENO", "NABAVE",
              "TRGOVACKA_KNJIGA_VELEPRODAJE", "PRIMKE_ZAVISNI_TROSKOVI", "IZMJENE_CIJENA"}) {
            parts << QString::number(Count(QStringLiteral("SELECT COUNT(*) FROM \"") +
                                           QString::fromLatin1(table) + QStringLiteral("\"")));
        }
        parts << db().Scalar(
                         QStringLiteral("SELECT COALESCE(SUM(\"KOLICINA\" * \"NABAVNA CIJENA\"), "
                                        "0) FROM \"NABAVE\""))
                     .toString();
        parts << db().Scalar(QStringLiteral("SELECT COALESCE(SUM(\"STANJE_ROBE\"), 0) FROM "
                                            "\"TRGOVACKA_KNJIGA_VELEPRODAJE\""))
                     .toString();
        return parts.join(QLatin1Char('/'));
    }
    // The message a step is refused with, the books checked unchanged by it.
    QString Refused(const std::function<void()>& step) {
        const QString before = Books();
        QString message;
        try {
            step();
        } catch (const UserError& e) {
            message = e.message();
        }
        EXPECT_EQ(Books(), before) << message.toStdString();
        return message;
    }
    QString RefusedFile(const QByteArray& json) {
        return Refused([&] { PostFile(json); });
    }
};

// The command's own message is its last line (the platform may warn before it).
QString LastLine(const QString& text) {
    return text.trimmed().split(QLatin1Char('\n')).last();
}

}  // namespace

// Every value of a receipt file that cannot be is refused with its field's message.
TEST_F(ReceiptLimitsTest, ValuesOfAFileThatCannotBeAreRefusedAndNothingIsBooked) {
    const QString notANumber = QStringLiteral("Količina nije ispravan broj !");
    const QString line = QStringLiteral("\"kolicina\": 10, \"fakturna_cijena\": 10");
    const QString item = QStringLiteral(
        "\"zbirno\": {\"fakturna_vrijednost\": 100, \"zavisni\": [{\"opis\": \"Prijevoz\", "
        "\"iznos\": %1}]}, ");
    const struct {
        QString fields;
        QString extra;
        QString message;
    } cases[] = {
        {QStringLiteral("\"kolicina\": \"nan\", \"fakturna_cijena\": 1"), {}, notANumber},
        {QStringLiteral("\"kolicina\": \"-inf\""), {}, notANumber},
        {QStringLiteral("\"kolicina\": -1e308, \"fakturna_cijena\": 1"), {}, kQuantityRange},
        {QStringLiteral("\"kolicina\": 5e-324, \"fakturna_cijena\": 1"),
         {},
         QStringLiteral("Količina ima više od 10 decimala !")},
        // A quantity within range whose value is not.
        {QStringLiteral("\"kolicina\": 999999999, \"fakturna_cijena\": 999999"),
         {},
         QStringLiteral("Fakturna vrijednost mora biti između ") + kAmountRange},
        {QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": -3"),
         {},
         QStringLiteral("Fakturna cijena nesmije biti negativna !")},
        {QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 2, \"cijena\": -3"),
         {},
         QStringLiteral("Cijena nesmije biti negativna !")},
        {QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 2, \"rabat_%\": 250"),
         {},
         QStringLiteral("Rabat mora biti između -100 i 100 !")},
        {QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 2, \"marza_%\": 5000"),
         {},
         QStringLiteral("Marža mora biti između -100 i 1000 !")},
        {QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 1e13"),
         {},
         QStringLiteral("Fakturna cijena mora biti između 0 i 999999999999,99 !")},
        {QStringLiteral("\"kolicina\": 1"), QStringLiteral("\"datum_dokumenta\": \"1900-01-01\", "),
         QStringLiteral("Datum dokumenta dobavljača mora biti između 01.01.2000 i 31.12.2099 !")},
        // The summary and its dependent costs.
        {line, QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": \"nan\"}, "),
         QStringLiteral("Fakturna vrijednost nije ispravan broj !")},
        {line, QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 1e308}, "),
         QStringLiteral("Fakturna vrijednost mora biti između ") + kAmountRange},
        {line, QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 100, \"carina\": \"inf\"}, "),
         QStringLiteral("Carina iznos nije ispravan broj !")},
        {line, item.arg(QStringLiteral("\"inf\"")),
         QStringLiteral("Iznos zavisnog troška nije ispravan broj !")},
        {line, item.arg(QStringLiteral("1e308")),
         QStringLiteral("Iznos zavisnog troška mora biti između ") + kAmountRange},
        // Two items each within range whose sum is not.
        {line,
         QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 100, \"zavisni\": [{\"opis\": "
                        "\"A\", \"iznos\": 6e11}, {\"opis\": \"B\", \"iznos\": 6e11}]}, "),
         QStringLiteral("Zavisni troškovi mora biti između ") + kAmountRange},
        // A discount above the goods' value makes a line's discount above 100 %.
        {line, QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 100, \"rabat\": 250}, "),
         QStringLiteral("Rabat mora biti između -100 i 100 !")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefusedFile(Line(c.fields, c.extra)), c.message) << c.fields.toStdString();
    }
    // A packaging line and the packaging that follows an article obey the same rule.
    EXPECT_EQ(
        RefusedFile(File(QStringLiteral("{\"ambalaza\": %1, \"kolicina\": \"inf\"}").arg(bottle))),
        notANumber);
    EXPECT_EQ(RefusedFile(File(QStringLiteral("{\"artikal\": %1, \"kolicina\": 1e9}").arg(beer))),
              kQuantityRange);
    // The receipt's date: first the century, then the reach of the business year.
    const QString screwLine = QStringLiteral("{\"artikal\": %1, \"kolicina\": 1}").arg(screw);
    EXPECT_EQ(RefusedFile(File(screwLine, QString(), QStringLiteral("9999-12-31"))), kCentury);
    EXPECT_EQ(RefusedFile(File(screwLine, QString(), QStringLiteral("2028-01-01"))),
              QStringLiteral("Datum mora biti između 01.01.2021 i 31.12.2027 !"));
    QByteArray escape = Line(QStringLiteral("\"kolicina\": 1"));
    escape.replace("R-77", "R-77\\u001b");
    EXPECT_EQ(RefusedFile(escape), QStringLiteral("Dokument dobavljača sadrži nedopušten znak !"));
    EXPECT_EQ(WorkingLines(), 0);
}

TEST_F(ReceiptLimitsTest, TheEdgesOfEveryRangeAreStillBooked) {
    const int before = Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\""));
    const QStringList good = {
        QStringLiteral("\"kolicina\": 999999999, \"fakturna_cijena\": 0.001"),
        QStringLiteral("\"kolicina\": 0.0000000001, \"fakturna_cijena\": 5"),
        QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 0, \"cijena\": 0"),
        QStringLiteral("\"kolicina\": 2, \"fakturna_cijena\": 3, \"rabat_%\": 100"),
        QStringLiteral("\"kolicina\": 2, \"fakturna_cijena\": 3, \"rabat_%\": -100"),
        QStringLiteral("\"kolicina\": 2, \"fakturna_cijena\": 3, \"marza_%\": 1000"),
        QStringLiteral("\"kolicina\": 2, \"fakturna_cijena\": 3, \"marza_%\": -100"),
    };
    for (const QString& fields : good) {
        EXPECT_NO_THROW(EXPECT_TRUE(PostFile(Line(fields)).has_value())) << fields.toStdString();
    }
    for (const char* date : {"2021-01-01", "2027-12-31"}) {
        EXPECT_NO_THROW(PostFile(File(
            QStringLiteral("{\"artikal\": %1, \"kolicina\": 1}").arg(screw),
            QStringLiteral("\"datum_dokumenta\": \"2000-01-01\", "), QString::fromLatin1(date))))
            << date;
    }
    // Dependent costs of ten times the goods: the other-costs percent at its edge of 1000.
    EXPECT_NO_THROW(PostFile(
        Line(QStringLiteral("\"kolicina\": 1, \"fakturna_cijena\": 100"),
             QStringLiteral("\"zbirno\": {\"fakturna_vrijednost\": 100, \"zavisni\": [{\"opis\": "
                            "\"Prijevoz\", \"iznos\": 1000}]}, "))));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), before + good.size() + 3);
    ExpectConsistent();
}

TEST_F(ReceiptLimitsTest, TheWindowsOperationsRefuseTheSameValues) {
    // A calculated line that cannot be is refused before the merge question is asked.
    EnterPlain(screw, 1, 2, 3);
    ReceiptRow row = ReceiptRow::Plain(screw, 1, 2, 2, -3, -3, std::nullopt);
    EXPECT_EQ(Refused([&] {
                  AcceptArticleLine(*session, prompter, Working(), row, CalculationMode::Entry);
              }),
              QStringLiteral("Cijena nesmije biti negativna !"));
    EXPECT_EQ(Refused([&] { AddPackagingLine(*session, Working(), bottle, 1e308); }),
              kQuantityRange);
    EXPECT_TRUE(prompter.Shown().isEmpty());

    // The summary as its dialog accepts it.
    ReceiptSummary summary;
    summary.invoiceValue = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Refused([&] { AcceptSummary(db(), summary); }),
              QStringLiteral("Fakturna vrijednost nije ispravan broj !"));

    // The header as the window hands it over: the date and the number.
    ReceiptHeaderData header = Header();
    header.date = QDate(9999, 12, 31);
    EXPECT_EQ(Refused([&] { PostReceipt(*session, prompter, header, std::nullopt); }), kCentury);
    header = Header();
    header.number = 2147483647;
    EXPECT_EQ(Refused([&] { PostReceipt(*session, prompter, header, std::nullopt); }),
              QStringLiteral("Broj primke mora biti između 1 i 100000 !"));
    EXPECT_EQ(WorkingLines(), 1);  // refused, the working copy kept for the clerk

    // Correction of the posted receipt: its header, summary and packaging.
    const int posted = 1;
    ReceiptHeaderData changed = ReadPostedReceipt(db(), 1, Year(), posted)->header;
    changed.date = QDate(1900, 1, 1);
    EXPECT_EQ(Refused([&] { UpdatePostedHeader(*session, posted, changed); }), kCentury);
    ReceiptSummary postedSummary = PostedSummary(db(), 1, Year(), posted);
    postedSummary.customs = 1e308;
    EXPECT_EQ(Refused([&] { ApplySummaryToPosted(*session, posted, postedSummary); }),
              QStringLiteral("Carina iznos mora biti između ") + kAmountRange);
    EXPECT_EQ(Refused([&] { AddPostedPackaging(*session, posted, bottle, -1e308); }),
              kQuantityRange);
}

TEST_F(ReceiptLimitsTest, PostingIsTheLastGuardAgainstAWorkingCopyWrittenBehindItsBack) {
    EnterPlain(screw, 1, 2, 3);
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"KOLICINA\" = ?"),
              {std::numeric_limits<double>::infinity()});
    EXPECT_EQ(Refused([&] { Post(); }), QStringLiteral("Količina nije ispravan broj !"));
    db().Exec(
        QStringLiteral("UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"KOLICINA\" = 1, "
                       "\"CIJENA\" = NULL"));
    EXPECT_EQ(Refused([&] { Post(); }), QStringLiteral("Cijena nije ispravan broj !"));
    db().Exec(
        QStringLiteral("UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"CIJENA\" = 3, "
                       "\"RABAT_%\" = 250"));
    EXPECT_EQ(Refused([&] { Post(); }), QStringLiteral("Rabat mora biti između -100 i 100 !"));
    db().Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKE_PRIVREMENO\" SET \"RABAT_%\" = 0"));
    EXPECT_EQ(Post(), 2);
    ExpectConsistent();
}

TEST_F(ReceiptLimitsTest, AReceiptNumberBeyondItsRangeIsRefusedAndTheRangeNeverWraps) {
    const QString range = QStringLiteral("Broj primke mora biti između 1 i 100000 !");
    const QString line = QStringLiteral("{\"artikal\": %1, \"kolicina\": 1}").arg(screw);
    for (const char* number : {"2147483647", "1e10", "100001", "-4"}) {
        EXPECT_EQ(
            RefusedFile(File(line, QStringLiteral("\"broj\": %1, ").arg(QLatin1String(number)))),
            range)
            << number;
    }
    EXPECT_EQ(RefusedFile(File(line, QStringLiteral("\"broj\": 12.5, "))),
              QStringLiteral("Datoteka primke: \"broj\" nije cijeli broj."));
    // The window's number box says the same.
    for (const char* typed : {"100001", "2147483647", "99999999999999"}) {
        EXPECT_EQ(Refused([&] { CheckReceiptNumber(db(), 1, Year(), QString::fromLatin1(typed)); }),
                  range)
            << typed;
    }
    EXPECT_EQ(CheckReceiptNumber(db(), 1, Year(), QStringLiteral("100000")), 100000);

    // The last entered number is taken; after it there is none, clearly, and the generated
    // range (the next number up) is not touched.
    EXPECT_EQ(PostFile(File(line, QStringLiteral("\"broj\": 100000, "))),
              std::optional<int>(100000));
    const QString usedUp = QStringLiteral(
        "Nema slobodnog broja za dokument Primka: brojevi od 1 do 100000 su "
        "potrošeni.");
    EXPECT_EQ(RefusedFile(File(line)), usedUp);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"BROJ PRIMKE\" > "
                                   "100000 OR \"BROJ PRIMKE\" <= 0")),
              0);
    // A free number below is still taken when asked for.
    EXPECT_EQ(PostFile(File(line, QStringLiteral("\"broj\": 7, "))), std::optional<int>(7));
    EXPECT_EQ(numbering::NextDocumentNumber(db(), DocumentKind::GoodsReceipt, 1, Year(),
                                            numbering::kReceiptGenerated),
              100001);
}

TEST_F(ReceiptLimitsTest, ZodractlPostRefusesTheFileWithTheMessageAndBooksNothing) {
    const QString path = Folder() + QStringLiteral("/primka.json");
    auto post = [&](const QByteArray& json) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        return Zodractl({QStringLiteral("post"), CompanyPath(), path, QStringLiteral("--da")});
    };
    const QString before = Books();
    session.reset();
    ZodractlRun o = post(Line(QStringLiteral("\"kolicina\": \"inf\", \"fakturna_cijena\": 1")));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(LastLine(o.err), QStringLiteral("Količina nije ispravan broj !"));
    o = post(Line(QStringLiteral("\"kolicina\": 1"), QStringLiteral("\"broj\": 2147483647, ")));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(LastLine(o.err), QStringLiteral("Broj primke mora biti između 1 i 100000 !"));
    session = StartSession(1);
    EXPECT_EQ(Books(), before);
    session.reset();
    o = Zodractl({QStringLiteral("stockcheck"), CompanyPath()});
    EXPECT_EQ(o.exitCode, 0) << o.out.toStdString();
}

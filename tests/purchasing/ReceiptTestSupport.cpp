#include "ReceiptTestSupport.h"

#include "data/Errors.h"
#include "data/Numbering.h"
#include "purchasing/PriceCalculation.h"
#include "registers/Articles.h"
#include "stock/TradeBook.h"

namespace zodra::test {

using namespace purchasing;
using Box = PriceCalculation::Box;

void ReceiptTest::SetUp() {
    CompanyTest::SetUp();
    session = StartSession(1);
    ASSERT_TRUE(session);
    session->workstation.debugMode = true;
    db().Exec(
        QStringLiteral("INSERT INTO \"GRUPE_A\" (\"NAZIV\", \"VELEPRODAJNA_MARZA\", "
                       "\"MALOPRODAJNA_MARZA\") VALUES ('Željezarija', 25, 10)"));
    group = db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"GRUPE_A\"")).toInt();
    supplier = AddSupplier(QStringLiteral("Veletrgovina Čakovec d.d."));
    screw = AddArticle(QStringLiteral("Vijak M8"));
    nut = AddArticle(QStringLiteral("Matica M8"), 2, 10);
    beer = AddArticle(QStringLiteral("Pivo 0,5 l"));
    bottle = AddPackaging(QStringLiteral("Boca povratna"), 0.07);
    registers::articles::LinkPackaging(db(), beer, bottle, 1);
}

QString ReceiptTest::Refusal(const std::function<void()>& step) {
    try {
        step();
    } catch (const UserError& e) {
        EXPECT_EQ(db().TransactionDepth(), 0);
        return e.message();
    }
    return QStringLiteral("(not refused)");
}

int ReceiptTest::AddArticle(const QString& name, int taxGroup, double customsPercent) {
    db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", "
                             "\"GRUPA_A\", \"GRUPA_P\", \"CARINA%\") VALUES (?, ?, 'kom', ?, ?, "
                             "?)"),
              {name, name.left(8).toUpper(), group, taxGroup, customsPercent});
    return db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"ARTIKLI\"")).toInt();
}

int ReceiptTest::AddSupplier(const QString& name, double discount) {
    db().Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"RABAT\", \"ODGODA\", "
                             "\"Dobavljac\") VALUES (?, ?, 30, TRUE)"),
              {name, discount});
    return db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\"")).toInt();
}

int ReceiptTest::AddPackaging(const QString& name, double price) {
    db().Exec(QStringLiteral("INSERT INTO \"AMBALAZA\" (\"NAZIV\", \"JED_M\", \"CIJENA\") VALUES "
                             "(?, 'kom', ?)"),
              {name, price});
    return db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"AMBALAZA\"")).toInt();
}

ReceiptHeaderData ReceiptTest::Header(const QString& document) {
    ReceiptHeaderData h;
    h.number = numbering::NextDocumentNumber(db(), DocumentKind::GoodsReceipt, 1, Year(), 1);
    h.date = QDate(2026, 3, 2);
    h.supplier = supplier;
    h.supplierDocument = document;
    h.supplierDocumentDate = QDate(2026, 3, 1);
    return h;
}

AcceptedLine ReceiptTest::Enter(int article, double quantity, double invoicePrice, double margin,
                                const ReceiptTarget* target) {
    const ReceiptTarget t = target ? *target : Working();
    const ArticleFacts facts = ReadArticleFacts(*session, article);
    CalculationContext context;
    context.supplier = supplier;
    PriceCalculation c =
        NewCalculation(db(), facts, quantity, context,
                       t.IsPosted() ? CalculationMode::Correction : CalculationMode::Entry);
    c.Type(Box::InvoicePrice, invoicePrice);
    c.Type(Box::MarginPercent, margin);
    return AcceptArticleLine(*session, prompter, t,
                             ReceiptRow::FromCalculation(article, c, facts.retailMargin), c.Mode());
}

AcceptedLine ReceiptTest::EnterPlain(int article, double quantity, double cost, double price,
                                     const ReceiptTarget* target) {
    const ReceiptTarget t = target ? *target : Working();
    return AcceptArticleLine(
        *session, prompter, t,
        ReceiptRow::Plain(article, quantity, cost, quantity * cost, price, quantity * price, 10.0),
        t.IsPosted() ? CalculationMode::Correction : CalculationMode::Entry);
}

int ReceiptTest::Post(const std::optional<ReceiptSummary>& summary,
                      std::optional<ReceiptHeaderData> header) {
    const std::optional<int> number =
        PostReceipt(*session, prompter, header.value_or(Header()), summary);
    EXPECT_TRUE(number.has_value());
    return number.value_or(0);
}

int ReceiptTest::Receive(const std::vector<std::tuple<int, double, double, double>>& lines,
                         const QDate& date) {
    for (const auto& [article, quantity, cost, price] : lines) {
        EnterPlain(article, quantity, cost, price);
    }
    ReceiptHeaderData h = Header();
    h.date = date;
    return Post(std::nullopt, h);
}

int ReceiptTest::WorkingLines() {
    return Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                                "\"Multiuser_sifra\" = ?"),
                 {session->sessionCode});
}

double ReceiptTest::BookValue(int receipt) {
    return Sum(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                              "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = ? AND \"TIP_DOKUMENTA\" = "
                              "'PRIMKA' AND \"BROJ_DOKUMENTA\" = ?"),
               {Year(), receipt});
}

double ReceiptTest::LastBalance() {
    return tradebook::LastBalance(db(), tradebook::Book::Wholesale, 1, Year());
}

}  // namespace zodra::test

#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Planner bills for the tests, written as the planner writes them.
namespace zodra::test {

struct TestService {
    QString code;
    QString price;
    QString discount;
    QString note;
};

struct TestBill {
    QString date = QStringLiteral("2026-03-10T14:30:00");
    QString client = QStringLiteral("O'Brien Ana");
    QString payment = QStringLiteral("kartica");
    QString cardType = QStringLiteral("Maestro");
    // Two services, the first twice (once with 10 % off), as the example in docs/planner.md.
    std::vector<TestService> services = {
        {QStringLiteral("S1"), QStringLiteral("40.00"), QStringLiteral("10"),
         QStringLiteral("prvi")},
        {QStringLiteral("S2"), QStringLiteral("12,50"), QString(), QString()},
        {QStringLiteral("S1"), QStringLiteral("40.00"), QStringLiteral("0"),
         QStringLiteral("drugi")}};
};

inline QString Tag(const QString& name, const QString& value) {
    return QLatin1Char('<') + name + QLatin1Char('>') + value.toHtmlEscaped() +
           QStringLiteral("</") + name + QLatin1Char('>');
}

inline QByteArray BillXml(const TestBill& b) {
    QString x = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Racun><Zaglavlje>") +
                Tag(QStringLiteral("Datum"), b.date) + QStringLiteral("</Zaglavlje><Klijent>") +
                Tag(QStringLiteral("PrezimeIme"), b.client) +
                Tag(QStringLiteral("Adresa"), QStringLiteral("Ilica 1")) +
                Tag(QStringLiteral("Mjesto"), QStringLiteral("Zagreb")) +
                Tag(QStringLiteral("Telefon"), QStringLiteral("01 234 567")) +
                QStringLiteral("</Klijent>") + Tag(QStringLiteral("NacinPlacanja"), b.payment) +
                Tag(QStringLiteral("TipKartice"), b.cardType);
    for (const TestService& s : b.services) {
        x += QStringLiteral("<ObavljeneUsluge>") + Tag(QStringLiteral("Sifra"), s.code) +
             Tag(QStringLiteral("Cijena"), s.price) +
             Tag(QStringLiteral("PopustPosto"), s.discount) +
             Tag(QStringLiteral("Napomena"), s.note) + QStringLiteral("</ObavljeneUsluge>");
    }
    x += QStringLiteral(
        "<Usluge><Sifra>S1</Sifra><Naziv>Šišanje</Naziv></Usluge>"
        "<Usluge><Sifra>S2</Sifra><Naziv>Pranje kose</Naziv></Usluge></Racun>");
    return x.toUtf8();
}

}  // namespace zodra::test

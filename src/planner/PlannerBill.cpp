#include "planner/PlannerBill.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QXmlStreamReader>
#include <cmath>
#include <map>
#include <memory>

#include "data/Errors.h"
#include "data/InputLimits.h"

namespace zodra::planner {

namespace {

// The bill as a small element tree: the planner may write its elements in any order and nest
// the single values where it likes, so the values are looked up, not read in sequence.
struct Element {
    QString name;
    QString text;
    std::vector<std::unique_ptr<Element>> children;
};

std::unique_ptr<Element> ReadTree(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    auto root = std::make_unique<Element>();
    std::vector<Element*> open{root.get()};
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto child = std::make_unique<Element>();
            child->name = reader.name().toString();
            Element* raw = child.get();
            open.back()->children.push_back(std::move(child));
            open.push_back(raw);
        } else if (reader.isEndElement()) {
            open.pop_back();
        } else if (reader.isCharacters() && open.size() > 1) {
            open.back()->text += reader.text();
        }
    }
    if (reader.hasError()) {
        throw UserError(BillRefusal(QStringLiteral("datoteka nije ispravan XML (redak %1: %2)")
                                        .arg(reader.lineNumber())
                                        .arg(reader.errorString())));
    }
    return root;
}

// The first element of that name at or below `from`, in document order.
const Element* Find(const Element& from, const QString& name) {
    for (const auto& child : from.children) {
        if (child->name == name) {
            return child.get();
        }
        if (const Element* found = Find(*child, name)) {
            return found;
        }
    }
    return nullptr;
}

const Element& Require(const Element& from, const QString& name) {
    const Element* found = Find(from, name);
    if (!found) {
        throw UserError(
            BillRefusal(QStringLiteral("nedostaje element \"") + name + QLatin1Char('"')));
    }
    return *found;
}

// The text of the first element of that name below `from`; empty when there is none.
QString TextOf(const Element& from, const QString& name) {
    const Element* found = Find(from, name);
    return found ? found->text.trimmed() : QString();
}

QString RequireText(const Element& from, const QString& name, const QString& where = QString()) {
    const QString text = TextOf(from, name);
    if (text.isEmpty()) {
        throw UserError(
            BillRefusal(where + QStringLiteral("nije upisan \"") + name + QLatin1Char('"')));
    }
    if (const auto refusal = limits::CheckText(text, name)) {
        throw UserError(BillRefusal(where + *refusal));
    }
    return text;
}

QString OptionalText(const Element& from, const QString& name) {
    const QString text = TextOf(from, name);
    if (const auto refusal = limits::CheckText(text, name)) {
        throw UserError(BillRefusal(*refusal));
    }
    return text;
}

// "Datum": an ISO 8601 date, or date "T" time; the day is the part before the "T".
QDate ParseDate(const QString& text) {
    const qsizetype t = text.indexOf(QLatin1Char('T'));
    const QDate date = QDate::fromString(t < 0 ? text : text.left(t), Qt::ISODate);
    const bool timeOk = t < 0 || QDateTime::fromString(text, Qt::ISODateWithMs).isValid() ||
                        QDateTime::fromString(text, Qt::ISODate).isValid();
    if (!date.isValid() || !timeOk || limits::CheckDate(date, QStringLiteral("Datum"))) {
        throw UserError(BillRefusal(QStringLiteral("\"Datum\" nije ispravan datum (") + text +
                                    QLatin1Char(')')));
    }
    return date;
}

// A decimal number written with a point (or a comma for it), whatever the workstation's locale.
std::optional<double> ParseDecimal(QString text) {
    text = text.trimmed();
    if (!text.contains(QLatin1Char('.'))) {
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

PaymentKind ParsePayment(const QString& text) {
    const QString kind = text.toLower();
    if (kind == QLatin1String("gotovina")) {
        return PaymentKind::Cash;
    }
    if (kind == QStringLiteral("ček") || kind == QLatin1String("cek")) {
        return PaymentKind::Cheque;
    }
    if (kind == QLatin1String("kartica")) {
        return PaymentKind::Card;
    }
    throw UserError(BillRefusal(QStringLiteral("nepoznat način plaćanja \"") + text +
                                QStringLiteral("\" (gotovina, ček ili kartica)")));
}

PerformedService ReadService(const Element& e, int n, const std::map<QString, QString>& names) {
    const QString where = QStringLiteral("usluga %1: ").arg(n);
    PerformedService s;
    s.code = RequireText(e, QStringLiteral("Sifra"), where);
    const QString priceText = RequireText(e, QStringLiteral("Cijena"), where);
    const std::optional<double> price = ParseDecimal(priceText);
    if (!price) {
        throw UserError(BillRefusal(where + QStringLiteral("\"Cijena\" nije ispravan broj (") +
                                    priceText + QLatin1Char(')')));
    }
    if (*price < 0) {
        throw UserError(BillRefusal(where + QStringLiteral("\"Cijena\" ne može biti negativna")));
    }
    if (const auto refusal =
            limits::CheckNumber(*price, limits::NumberKind::Price, QStringLiteral("Cijena"))) {
        throw UserError(BillRefusal(where + *refusal));
    }
    s.price = *price;
    const QString discountText = TextOf(e, QStringLiteral("PopustPosto"));
    if (!discountText.isEmpty()) {
        const std::optional<double> discount = ParseDecimal(discountText);
        if (!discount || *discount < 0 || *discount > 100) {
            throw UserError(BillRefusal(where +
                                        QStringLiteral("\"PopustPosto\" nije broj od 0 do 100 (") +
                                        discountText + QLatin1Char(')')));
        }
        s.discount = *discount;
    }
    s.note = OptionalText(e, QStringLiteral("Napomena"));
    const auto name = names.find(s.code);
    if (name == names.end()) {
        throw UserError(BillRefusal(where + QStringLiteral("šifra \"") + s.code +
                                    QStringLiteral("\" nije u popisu usluga (\"Usluge\")")));
    }
    s.name = name->second;
    return s;
}

}  // namespace

QString BillRefusal(const QString& what) {
    return QStringLiteral("Račun planera: ") + what + QLatin1Char('.');
}

QString PaymentKindName(PaymentKind kind) {
    switch (kind) {
        case PaymentKind::Cash:
            return QStringLiteral("gotovina");
        case PaymentKind::Cheque:
            return QStringLiteral("ček");
        case PaymentKind::Card:
            return QStringLiteral("kartica");
    }
    return QString();
}

PlannerBill ParsePlannerBill(const QByteArray& xml) {
    const std::unique_ptr<Element> tree = ReadTree(xml);
    const Element& bill = Require(*tree, QStringLiteral("Racun"));
    const Element& header = Require(bill, QStringLiteral("Zaglavlje"));
    Require(bill, QStringLiteral("Klijent"));
    PlannerBill b;
    b.dateText = RequireText(header, QStringLiteral("Datum"));
    b.date = ParseDate(b.dateText);
    b.clientName = RequireText(bill, QStringLiteral("PrezimeIme"));
    b.address = OptionalText(bill, QStringLiteral("Adresa"));
    b.place = OptionalText(bill, QStringLiteral("Mjesto"));
    b.phone = OptionalText(bill, QStringLiteral("Telefon"));
    b.payment = ParsePayment(RequireText(bill, QStringLiteral("NacinPlacanja")));
    b.cardType = OptionalText(bill, QStringLiteral("TipKartice"));
    if (b.payment == PaymentKind::Card && b.cardType.isEmpty()) {
        throw UserError(BillRefusal(QStringLiteral("plaćanje karticom bez \"TipKartice\"")));
    }
    if (b.payment != PaymentKind::Card) {
        b.cardType.clear();
    }
    std::map<QString, QString> names;
    for (const auto& child : bill.children) {
        if (child->name == QLatin1String("Usluge")) {
            const QString code = TextOf(*child, QStringLiteral("Sifra"));
            const QString name = TextOf(*child, QStringLiteral("Naziv"));
            if (code.isEmpty() || name.isEmpty()) {
                throw UserError(BillRefusal(QStringLiteral(
                    "stavka popisa usluga (\"Usluge\") bez \"Sifra\" ili \"Naziv\"")));
            }
            if (const auto refusal = limits::CheckText(name, QStringLiteral("Naziv"))) {
                throw UserError(BillRefusal(*refusal));
            }
            names.emplace(code, name);
        }
    }
    int n = 0;
    for (const auto& child : bill.children) {
        if (child->name == QLatin1String("ObavljeneUsluge")) {
            b.services.push_back(ReadService(*child, ++n, names));
        }
    }
    if (b.services.empty()) {
        throw UserError(
            BillRefusal(QStringLiteral("nema obavljenih usluga (\"ObavljeneUsluge\")")));
    }
    return b;
}

QString BillIdentity(const PlannerBill& b) {
    // Unit separators keep the fields apart, so that no two different bills read the same.
    const QChar sep(0x1f);
    QString text = b.dateText + sep + b.clientName + sep + b.address + sep + b.place + sep +
                   b.phone + sep + PaymentKindName(b.payment) + sep + b.cardType;
    for (const PerformedService& s : b.services) {
        text += QChar(0x1e) + s.code + sep + s.name + sep + QString::number(s.price, 'g', 17) +
                sep + QString::number(s.discount, 'g', 17) + sep + s.note;
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

}  // namespace zodra::planner

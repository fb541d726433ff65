#include "retail/RetailJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/DocumentFile.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"

namespace zodra::retail {

namespace {

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka maloprodajnog računa: "));
    return file;
}

std::optional<int> Code(const QJsonObject& o, const char* key, int line = 0) {
    const std::optional<double> d = File().Number(o, key, line);
    if (!d) {
        return std::nullopt;
    }
    if (!std::isfinite(*d) || *d != std::floor(*d) || *d < 0 || *d > 999999999) {
        File().Refuse(
            QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije cijeli broj"),
            line);
    }
    return static_cast<int>(*d);
}

double Amount(const QJsonObject& o, const char* key, int line = 0) {
    const std::optional<double> d = File().Number(o, key, line);
    if (d && !std::isfinite(*d)) {
        File().Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije broj"),
                      line);
    }
    return d.value_or(0);
}

}  // namespace

JsonRetailSale ParseRetailJson(Database& db, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        File().Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
                      QLatin1Char(')'));
    }
    const QJsonObject o = doc.object();
    JsonRetailSale sale;
    sale.warehouse = Code(o, "skladiste").value_or(0);
    if (!db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                   {sale.warehouse})
             .isValid()) {
        File().Refuse(QStringLiteral("\"skladiste\" nije šifra postojećeg skladišta"));
    }
    sale.date = File().Date(o, "datum");
    sale.cashier = o.value(QStringLiteral("blagajnik")).toString().trimmed();
    if (sale.cashier.isEmpty()) {
        File().Refuse(QStringLiteral("nedostaje \"blagajnik\""));
    }
    if (o.contains(QStringLiteral("kupac"))) {
        sale.customer = File().Partner(db, o.value(QStringLiteral("kupac")), "kupac",
                                       QStringLiteral("kupac nije pronađen"));
    }
    sale.number = Code(o, "broj");
    const QJsonValue lines = o.value(QStringLiteral("stavke"));
    if (!lines.isArray() || lines.toArray().isEmpty()) {
        File().Refuse(QStringLiteral("nedostaju \"stavke\""));
    }
    int n = 0;
    for (const QJsonValue& v : lines.toArray()) {
        ++n;
        if (!v.isObject()) {
            File().Refuse(QStringLiteral("stavka nije objekt"), n);
        }
        const QJsonObject l = v.toObject();
        JsonRetailLine line;
        // A barcode is scanned (a scale label carries its own quantity); otherwise the article
        // by code or article code, as in every document file.
        line.barcode = l.value(QStringLiteral("barkod")).toString().trimmed();
        if (line.barcode.isEmpty()) {
            line.article = File().Article(db, l, n);
        }
        if (l.contains(QStringLiteral("kolicina"))) {
            line.quantity = Amount(l, "kolicina", n);
        }
        line.discount = Amount(l, "popust", n);
        line.lot = Code(l, "primka", n);
        const QJsonValue composite = l.value(QStringLiteral("slozeni"));
        if (!composite.isUndefined() && !composite.isBool()) {
            File().Refuse(QStringLiteral("\"slozeni\" nije true ili false"), n);
        }
        line.composite = composite.toBool(false);
        if (l.contains(QStringLiteral("cijena"))) {
            if (!line.composite) {
                File().Refuse(QStringLiteral("\"cijena\" se upisuje samo uz \"slozeni\""), n);
            }
            line.price = Amount(l, "cijena", n);
        }
        if (line.composite && line.lot) {
            File().Refuse(QStringLiteral("složeni proizvod nema \"primka\": nastaje pri knjiženju"),
                          n);
        }
        sale.lines.push_back(line);
    }
    const QJsonValue payment = o.value(QStringLiteral("placanje"));
    if (!payment.isUndefined()) {
        if (!payment.isObject()) {
            File().Refuse(QStringLiteral("\"placanje\" nije objekt"));
        }
        const QJsonObject p = payment.toObject();
        sale.paid = true;
        sale.cash = Amount(p, "gotovina");
        sale.cheques = Amount(p, "cekovi");
        sale.card = Amount(p, "kartica");
        sale.cardType = Code(p, "tip_kartice");
    }
    return sale;
}

PostedJsonSale PostRetailJson(Session& session, Prompter& prompter, const JsonRetailSale& in) {
    TillSale sale = OpenTillSale(session, in.date);
    sale.cashier = in.cashier;
    if (in.customer) {
        sale.draft.customer = *in.customer;
    }
    try {
        for (const JsonRetailLine& line : in.lines) {
            const RegisterLineResult added =
                line.composite ? AddRegisterCompositeLine(
                                     session, sale,
                                     line.article ? *line.article
                                                  : ArticleByBarcode(session.Db(), line.barcode),
                                     line.quantity, line.discount, line.price)
                : line.article
                    ? AddRegisterLine(session, sale,
                                      {*line.article, line.quantity, line.discount, line.lot})
                    : ScanBarcode(session, sale, line.barcode, line.quantity, line.discount);
            for (const QString& message : added.messages) {
                prompter.Inform(message, QStringLiteral("POS Kasa"));
            }
        }
        RetailPaymentInput payment;
        payment.warehouse = sale.draft.warehouse;
        payment.book = kRetailBook;
        payment.year = sale.draft.year;
        payment.date = in.date;
        payment.customer = *sale.draft.customer;
        payment.total = sales::Totals(session.Db(), sale.draft.sessionCode).total;
        payment.cash = in.cash;
        payment.cheques = in.cheques;
        payment.card = in.card;
        payment.cardType = in.cardType;
        payment.detailed = session.company.sumRetailInvoices;
        bool pay = in.paid;
        if (pay && CheckRetailPayment(payment) &&
            !prompter.AskYesNo(PaymentDiffersQuestion(), QStringLiteral("Naplata"), false)) {
            pay = false;
        }
        const std::optional<PostedRetailSale> posted =
            PostRetailSale(session, sale, in.number.value_or(ProposedRetailNumber(session, sale)));
        CloseTillSale(session, sale);
        if (!posted) {
            throw UserError(QStringLiteral("Račun nema niti jedne stavke !"));
        }
        PostedJsonSale result{posted->number, posted->total, false};
        if (pay) {
            payment.number = posted->number;
            payment.total = posted->total;
            // Asked already: the amounts are what the file says.
            WriteRetailPayment(session.Db(), payment);
            result.paymentWritten = true;
            session.RetailCollectionsChanged(payment.date);
        }
        RetailSaleFinished(session, sale, *posted);
        return result;
    } catch (...) {
        if (sale.draft.sessionCode != 0) {
            CloseTillSale(session, sale);
        }
        throw;
    }
}

}  // namespace zodra::retail

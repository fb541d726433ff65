#include "purchasing/ReceiptJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ReceiptLimits.h"
#include "registers/Articles.h"
#include "registers/DocumentFile.h"

namespace zodra::purchasing {

namespace {

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka primke: "));
    return file;
}

[[noreturn]] void Refuse(const QString& text, int line = 0) {
    File().Refuse(text, line);
}

std::optional<double> Number(const QJsonObject& o, const char* key, int line = 0) {
    return File().Number(o, key, line);
}

QDate DateOf(const QJsonObject& o, const char* key, bool required) {
    return File().Date(o, key, required);
}

// A supplier by code, OIB or exact name.
int SupplierOf(Database& db, const QJsonValue& v) {
    return File().Partner(db, v, "dobavljac", QStringLiteral("dobavljač nije pronađen"));
}

int ArticleOf(Database& db, const QJsonObject& o, int line) {
    return File().Article(db, o, line);
}

// The receipt number wanted; 0 when not given. A file's receipt is entered (type 1), so its
// number is refused outside that range here already: beyond it the header's integer would not
// even hold it.
int NumberOf(const QJsonValue& v) {
    if (v.isUndefined() || v.isNull()) {
        return 0;
    }
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d)) {
        Refuse(QStringLiteral("\"broj\" nije cijeli broj"));
    }
    const qint64 number = d < 1.0                      ? 0
                          : d > numbering::kLastNumber ? qint64{numbering::kLastNumber} + 1
                                                       : static_cast<qint64>(d);
    numbering::RequireReceiptNumberInRange(number, numbering::kReceiptEntered);
    return static_cast<int>(number);
}

// The invoice value of the packaging a file's lines bring into the receipt.
double PackagingValueOf(Database& db, const std::vector<JsonLine>& lines) {
    double value = 0;
    for (const JsonLine& line : lines) {
        if (line.packaging) {
            value += line.quantity *
                     sqlvalue::ToDouble(db.Scalar(
                         QStringLiteral("SELECT \"CIJENA\" FROM \"AMBALAZA\" WHERE \"SIFRA\" = ?"),
                         {*line.packaging}));
        } else if (line.article) {
            for (const receiptlines::PackagingOfArticle& p :
                 receiptlines::PackagingOf(db, *line.article)) {
                value += line.quantity * p.perUnit * p.price;
            }
        }
    }
    return value;
}

}  // namespace

JsonReceipt ParseReceiptJson(Database& db, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
               QStringLiteral(", znak ") + QString::number(error.offset) + QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    JsonReceipt r;
    r.warehouse = o.value(QStringLiteral("skladiste")).toInt(0);
    if (r.warehouse <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {r.warehouse})
             .isValid()) {
        Refuse(QStringLiteral("\"skladiste\" nije šifra postojećeg skladišta"));
    }
    r.header.number = NumberOf(o.value(QStringLiteral("broj")));
    r.header.date = DateOf(o, "datum", true);
    r.header.supplier = SupplierOf(db, o.value(QStringLiteral("dobavljac")));
    r.header.supplierDocument = o.value(QStringLiteral("dokument")).toString();
    r.header.supplierDocumentDate = DateOf(o, "datum_dokumenta", false);
    if (!r.header.supplierDocumentDate.isValid()) {
        r.header.supplierDocumentDate = r.header.date;
    }

    ReceiptSummary summary;
    bool hasSummary = false;
    const QJsonValue currency = o.value(QStringLiteral("valuta"));
    if (currency.isString() && !currency.toString().trimmed().isEmpty()) {
        const QVariant code =
            db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"VALUTE\" WHERE \"NAZIV\" = ?"),
                      {currency.toString().trimmed()});
        if (!code.isValid()) {
            Refuse(QStringLiteral("valuta ") + currency.toString() +
                   QStringLiteral(" nije upisana u šifarnik valuta"));
        }
        summary.currency = code.toInt();
        summary.rateDate = DateOf(o, "datum_tecaja", false);
        if (!summary.rateDate.isValid()) {
            summary.rateDate = r.header.date;
        }
        hasSummary = summary.currency != 1;
    }
    if (o.value(QStringLiteral("zbirno")).isObject()) {
        const QJsonObject z = o.value(QStringLiteral("zbirno")).toObject();
        hasSummary = true;
        r.summaryGiven = true;
        const double invoice = Number(z, "fakturna_vrijednost").value_or(0);
        const double discount = Number(z, "rabat").value_or(0);
        summary.invoiceValue = summary.currencyInvoiceValue = invoice;
        summary.discount = summary.currencyDiscount = discount;
        summary.customs = Number(z, "carina").value_or(0);
        summary.forwarding = Number(z, "spedicija").value_or(0);
        summary.otherCosts = Number(z, "zavisni_troskovi").value_or(0);
        summary.customsFromArticles = z.value(QStringLiteral("carina_iz_artikala")).toBool(false);
        for (const QJsonValue item : z.value(QStringLiteral("zavisni")).toArray()) {
            const QJsonObject i = item.toObject();
            summary.items.push_back(
                {i.value(QStringLiteral("opis")).toString(), Number(i, "iznos").value_or(0)});
        }
    }
    if (hasSummary) {
        r.summary = summary;
    }

    const QJsonArray lines = o.value(QStringLiteral("stavke")).toArray();
    if (lines.isEmpty()) {
        Refuse(QStringLiteral("nema stavki (\"stavke\")"));
    }
    int n = 0;
    for (const QJsonValue value : lines) {
        ++n;
        const QJsonObject l = value.toObject();
        JsonLine line;
        if (l.contains(QStringLiteral("ambalaza"))) {
            const QVariant code =
                db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"AMBALAZA\" WHERE \"SIFRA\" = ?"),
                          {l.value(QStringLiteral("ambalaza")).toInt()});
            if (!code.isValid()) {
                Refuse(QStringLiteral("ambalaža nije pronađena"), n);
            }
            line.packaging = code.toInt();
        } else {
            line.article = ArticleOf(db, l, n);
        }
        const std::optional<double> quantity = Number(l, "kolicina", n);
        if (!quantity || *quantity == 0.0) {
            Refuse(QStringLiteral("nedostaje \"kolicina\""), n);
        }
        line.quantity = *quantity;
        line.invoicePrice = Number(l, "fakturna_cijena", n);
        line.discountPercent = Number(l, "rabat_%", n);
        line.customsPercent = Number(l, "carina_%", n);
        line.forwardingPercent = Number(l, "spedicija_%", n);
        line.otherCostsPercent = Number(l, "zavisni_troskovi_%", n);
        line.marginPercent = Number(l, "marza_%", n);
        line.price = Number(l, "cijena", n);
        line.priceWithTax = Number(l, "cijena_s_porezom", n);
        line.retailPrice = Number(l, "mpc", n);
        line.retailMarginPercent = Number(l, "maloprodajna_marza_%", n);
        r.lines.push_back(line);
    }
    return r;
}

std::optional<int> PostReceiptFromJson(Session& session, Prompter& prompter,
                                       const JsonReceipt& receipt) {
    using Box = PriceCalculation::Box;
    Database& db = session.Db();
    CheckSupplierDocument(receipt.header.supplierDocument);
    CheckReadyForLines(receipt.header);
    std::optional<ReceiptSummary> summary;
    if (receipt.summaryGiven) {
        summary = AcceptSummary(db, *receipt.summary);
    } else if (receipt.summary) {
        // Only a currency: its rate, and nothing to compare at posting.
        summary = *receipt.summary;
        summary->rate = RateOn(db, summary->currency, summary->rateDate);
    }
    const ReceiptTarget working = ReceiptTarget::WorkingCopy(session);
    ClearWorkingReceipt(session);
    try {
        CalculationContext context;
        if (summary) {
            context.summary = *summary;
        }
        context.supplier = receipt.header.supplier;
        context.proposeFromLastReceipt = session.company.previousArticleDataInCalculation;
        // The whole file is known at once: the packaging it brings (typed, and linked to its
        // articles) is set apart before the summary amounts become the lines' percentages, so
        // that every line is calculated once, with its final costs.
        context.packagingInvoiceValue = PackagingValueOf(db, receipt.lines);
        for (const JsonLine& line : receipt.lines) {
            if (line.packaging) {
                AddPackagingLine(session, working, *line.packaging, line.quantity);
                continue;
            }
            const ArticleFacts facts = ReadArticleFacts(session, *line.article);
            PriceCalculation c =
                NewCalculation(db, facts, line.quantity, context, CalculationMode::Entry);
            // What the file gives is typed as into the calculation window's boxes, under
            // their rules.
            auto type = [&](Box box, const std::optional<double>& value) {
                if (value) {
                    CheckTyped(box, *value);
                    c.Type(box, *value);
                }
            };
            type(Box::CurrencyPrice, line.invoicePrice);
            type(Box::DiscountPercent, line.discountPercent);
            type(Box::CustomsPercent, line.customsPercent);
            type(Box::ForwardingPercent, line.forwardingPercent);
            type(Box::OtherCostsPercent, line.otherCostsPercent);
            type(Box::MarginPercent, line.marginPercent);
            type(Box::Price, line.price);
            type(Box::PriceWithTax, line.priceWithTax);
            type(Box::RetailPrice, line.retailPrice);
            type(Box::RetailMarginPercent, line.retailMarginPercent);
            const std::optional<double> retailMargin =
                line.retailMarginPercent ? line.retailMarginPercent
                                         : std::optional<double>(c.Value(Box::RetailMarginPercent));
            AcceptArticleLine(session, prompter, working,
                              ReceiptRow::FromCalculation(*line.article, c, retailMargin),
                              CalculationMode::Entry);
        }
        ReceiptHeaderData header = receipt.header;
        const std::optional<int> number = PostReceipt(session, prompter, header, summary);
        if (!number) {
            ClearWorkingReceipt(session);
        }
        return number;
    } catch (...) {
        ClearWorkingReceipt(session);
        throw;
    }
}

}  // namespace zodra::purchasing

#include "sales/InvoiceJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/Articles.h"
#include "registers/DocumentFile.h"
#include "sales/OutgoingPosting.h"

namespace zodra::sales {

namespace {

const registers::DocumentFile& File() {
    static const registers::DocumentFile file(QStringLiteral("Datoteka računa: "));
    return file;
}

[[noreturn]] void Refuse(const QString& text, int line = 0) {
    File().Refuse(text, line);
}

std::optional<double> Number(const QJsonObject& o, const char* key, int line = 0) {
    return File().Number(o, key, line);
}

QDate DateOf(const QJsonObject& o, const char* key) {
    return File().Date(o, key);
}

int CustomerOf(Database& db, const QJsonValue& v) {
    return File().Partner(db, v, "kupac", QStringLiteral("kupac nije pronađen"));
}

int ArticleOf(Database& db, const QJsonObject& o, int line) {
    return File().Article(db, o, line);
}

// A whole positive number (a code), or nothing when the key is missing.
std::optional<int> Code(const QJsonObject& o, const char* key, int line = 0) {
    const std::optional<double> d = Number(o, key, line);
    if (!d) {
        return std::nullopt;
    }
    if (!std::isfinite(*d) || *d != std::floor(*d) || *d < 0 || *d > 999999999) {
        Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije cijeli broj"),
               line);
    }
    return static_cast<int>(*d);
}

// A header text as typed (dates and numbers of the header are checked as the dialog checks
// what is typed into them).
std::optional<QString> TextOf(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return std::nullopt;
    }
    if (v.isDouble()) {
        return QString::number(v.toDouble(), 'g', 15);
    }
    if (!v.isString()) {
        Refuse(QStringLiteral("\"") + QLatin1String(key) + QStringLiteral("\" nije tekst"));
    }
    return v.toString();
}

int ServiceOf(Database& db, const QJsonValue& v, int line) {
    QVariant found;
    if (v.isDouble()) {
        found = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"USLUGE\" WHERE \"SIFRA\" = ?"),
                          {v.toInt()});
    } else if (v.isString()) {
        found = db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"USLUGE\" WHERE \"NAZIV\" = ? "
                                         "ORDER BY \"SIFRA\" LIMIT 1"),
                          {v.toString().trimmed()});
    }
    if (!found.isValid()) {
        Refuse(QStringLiteral("usluga nije pronađena"), line);
    }
    return found.toInt();
}

bool Exists(Database& db, const char* table, int code) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\" WHERE \"SIFRA\" = ?"),
                {code})
        .isValid();
}

}  // namespace

bool IsInvoiceJson(const QByteArray& json) {
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    return doc.isObject() && doc.object().contains(QStringLiteral("kupac"));
}

JsonInvoice ParseInvoiceJson(Database& db, const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        Refuse(QStringLiteral("nije ispravan JSON (") + error.errorString() +
               QStringLiteral(", znak ") + QString::number(error.offset) + QStringLiteral(")"));
    }
    const QJsonObject o = doc.object();
    JsonInvoice r;
    r.warehouse = Code(o, "skladiste").value_or(0);
    if (r.warehouse <= 0 || !Exists(db, "SKLADISTA", r.warehouse)) {
        Refuse(QStringLiteral("\"skladiste\" nije šifra postojećeg skladišta"));
    }
    r.book = Code(o, "knjiga").value_or(1);
    if (!Exists(db, "KNJIGE_IRA", r.book)) {
        Refuse(QStringLiteral("\"knjiga\" nije šifra postojeće knjige IRA"));
    }
    r.salesTerms = Code(o, "uvjet_prodaje").value_or(0);
    if (r.salesTerms <= 0 || !Exists(db, "UVJETI_PRODAJE", r.salesTerms)) {
        Refuse(QStringLiteral("\"uvjet_prodaje\" nije šifra postojećeg uvjeta prodaje"));
    }
    r.customer = CustomerOf(db, o.value(QStringLiteral("kupac")));
    r.date = DateOf(o, "datum");
    r.number = Code(o, "broj");
    r.deliveryName = TextOf(o, "isporuka_naziv");
    r.deliveryAddress = TextOf(o, "isporuka_adresa");
    r.deliveryPlace = TextOf(o, "isporuka_mjesto");
    r.deliveryDate = TextOf(o, "datum_isporuke");
    r.deliveryMethod = TextOf(o, "nacin_isporuke");
    r.takenBy = TextOf(o, "robu_preuzeo");
    r.orderNumber = TextOf(o, "narudzbenica");
    r.deliveryNote = TextOf(o, "otpremnica");
    r.paymentTerm = TextOf(o, "rok_placanja");
    r.dueDate = TextOf(o, "dospijece");
    r.paymentMethod = TextOf(o, "nacin_placanja");
    r.paymentReference = TextOf(o, "poziv_na_broj");
    r.alreadyPaid = TextOf(o, "vec_placeno");
    r.additionalText = TextOf(o, "dodatni_tekst");
    r.bankAccount = TextOf(o, "ziro_racun");
    r.currency = TextOf(o, "valuta");
    const QJsonValue lines = o.value(QStringLiteral("stavke"));
    if (!lines.isArray() || lines.toArray().isEmpty()) {
        Refuse(QStringLiteral("nedostaju \"stavke\""));
    }
    int n = 0;
    for (const QJsonValue& v : lines.toArray()) {
        ++n;
        if (!v.isObject()) {
            Refuse(QStringLiteral("stavka nije objekt"), n);
        }
        const QJsonObject s = v.toObject();
        JsonInvoiceLine line;
        if (s.contains(QStringLiteral("usluga"))) {
            line.service = ServiceOf(db, s.value(QStringLiteral("usluga")), n);
        } else if (s.contains(QStringLiteral("ambalaza"))) {
            line.packaging = Code(s, "ambalaza", n);
            if (!line.packaging || !Exists(db, "AMBALAZA", *line.packaging)) {
                Refuse(QStringLiteral("ambalaža nije pronađena"), n);
            }
        } else {
            line.article = ArticleOf(db, s, n);
            line.lot = Code(s, "primka", n);
            const QJsonValue composite = s.value(QStringLiteral("slozeni"));
            if (!composite.isUndefined() && !composite.isBool()) {
                Refuse(QStringLiteral("\"slozeni\" nije true ili false"), n);
            }
            line.composite = composite.toBool(false);
            if (line.composite && line.lot) {
                Refuse(QStringLiteral("složeni proizvod nema \"primka\": nastaje pri knjiženju"),
                       n);
            }
        }
        const std::optional<double> quantity = Number(s, "kolicina", n);
        if (!quantity) {
            Refuse(QStringLiteral("nedostaje \"kolicina\""), n);
        }
        line.quantity = *quantity;
        line.price = Number(s, "cijena", n);
        line.discount = Number(s, "rabat_%", n);
        line.description = s.value(QStringLiteral("opis")).toString();
        line.usedVehicleTotal = Number(s, "vozilo_ukupno", n);
        if (s.contains(QStringLiteral("dodatni_podaci"))) {
            const QJsonValue extra = s.value(QStringLiteral("dodatni_podaci"));
            if (!extra.isArray()) {
                Refuse(QStringLiteral("\"dodatni_podaci\" nije popis tekstova"), n);
            }
            std::vector<QString> answers;
            for (const QJsonValue& answer : extra.toArray()) {
                if (!answer.isString()) {
                    Refuse(QStringLiteral("\"dodatni_podaci\" nije popis tekstova"), n);
                }
                answers.push_back(answer.toString());
            }
            line.extraData = answers;
        }
        r.lines.push_back(line);
    }
    return r;
}

std::optional<PostedInvoice> PostInvoiceFromJson(Session& session, Prompter& prompter,
                                                 const JsonInvoice& invoice) {
    return PostOutgoingFromJson(session, prompter, InvoiceDocument(), invoice);
}

std::optional<PostedInvoice> PostOutgoingFromJson(Session& session, Prompter& prompter,
                                                  const OutgoingDocument& document,
                                                  const JsonInvoice& invoice) {
    InvoiceDraft draft = OpenInvoice(session, invoice.date);
    try {
        draft.book = invoice.book;
        draft.salesTerms = invoice.salesTerms;
        draft.customer = invoice.customer;
        CheckSalesTerms(session, invoice.salesTerms);
        int n = 0;
        for (const JsonInvoiceLine& line : invoice.lines) {
            ++n;
            std::optional<AcceptedLine> accepted;
            try {
                if (line.service) {
                    accepted = AddServiceLine(session, prompter, draft,
                                              {*line.service, line.quantity, line.price,
                                               line.discount, std::nullopt, line.description});
                } else if (line.packaging) {
                    accepted = AddPackagingLine(
                        session, prompter, draft,
                        {*line.packaging, line.quantity, line.price, line.description});
                } else if (line.composite) {
                    if (document.kind != OutgoingKind::Invoice) {
                        throw UserError(
                            QStringLiteral("Složeni proizvod se prodaje samo na računu."));
                    }
                    accepted = AddCompositeLine(session, prompter, draft,
                                                {*line.article, line.quantity, line.price,
                                                 line.discount, std::nullopt, line.description});
                } else {
                    accepted = AddArticleLine(session, prompter, draft,
                                              {*line.article, line.lot, line.quantity, line.price,
                                               line.discount, std::nullopt, line.description},
                                              {line.usedVehicleTotal, line.extraData});
                }
            } catch (const UserError& e) {
                throw UserError(e.message() + registers::DocumentFile::Where(n));
            }
            if (!accepted) {
                DiscardInvoice(session, draft);
                return std::nullopt;
            }
        }
        InvoiceHeader header = ProposeOutgoingHeader(session, document, draft);
        if (invoice.number) {
            header.number = *invoice.number;
        }
        auto take = [](QString& field, const std::optional<QString>& given) {
            if (given) {
                field = *given;
            }
        };
        take(header.deliveryName, invoice.deliveryName);
        take(header.deliveryAddress, invoice.deliveryAddress);
        take(header.deliveryPlace, invoice.deliveryPlace);
        take(header.deliveryDate, invoice.deliveryDate);
        take(header.deliveryMethod, invoice.deliveryMethod);
        take(header.takenBy, invoice.takenBy);
        take(header.orderNumber, invoice.orderNumber);
        take(header.deliveryNote, invoice.deliveryNote);
        if (invoice.paymentTerm && !invoice.dueDate) {
            // The due date follows a payment term given without one, as in the dialog.
            bool ok = false;
            const int days = invoice.paymentTerm->trimmed().toInt(&ok);
            if (ok) {
                header.dueDate = invoice.date.addDays(days).toString(QStringLiteral("dd.MM.yyyy"));
            }
        }
        take(header.paymentTerm, invoice.paymentTerm);
        take(header.dueDate, invoice.dueDate);
        take(header.paymentMethod, invoice.paymentMethod);
        take(header.paymentReference, invoice.paymentReference);
        take(header.alreadyPaid, invoice.alreadyPaid);
        take(header.additionalText, invoice.additionalText);
        take(header.bankAccount, invoice.bankAccount);
        take(header.currency, invoice.currency);
        const PostedInvoice posted = PostOutgoing(session, document, draft, header);
        DiscardInvoice(session, draft);
        return posted;
    } catch (...) {
        DiscardInvoice(session, draft);
        throw;
    }
}

}  // namespace zodra::sales

#include "pos/ReceiptText.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "pos/PosText.h"

namespace zodra::pos {

namespace {

constexpr int kWidth = 40;
const QString kRule = QString(kWidth, QLatin1Char('-'));
const QString kDoubleRule = QString(kWidth, QLatin1Char('='));

QString Cut(const QString& text, int width) {
    return text.left(width);
}
QString PadRight(const QString& text, int width) {
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}
// Right-aligned in `width` columns; a longer value is kept whole rather than losing digits.
QString PadLeft(const QString& text, int width) {
    return text.rightJustified(width, QLatin1Char(' '));
}
QString Amount(double value) {
    return MoneyText(value);
}
// A label ending at column 18, then an amount ending at column 40; a longer label (a payment
// kind of many letters) takes room from the amount's blanks, never from the paper's width.
QString TotalRow(const QString& label, double value) {
    const QString padded = PadLeft(label, 18);
    return padded + PadLeft(Amount(value), std::max(0, kWidth - static_cast<int>(padded.size())));
}

struct Tables {
    QString invoices;
    QString lines;
    QString payments;
};
Tables TablesFor(bool summed) {
    if (summed) {
        return {QStringLiteral("\"RACUNI_DETALJNO\""), QStringLiteral("\"STAVKE_RACUNA_DETALJNO\""),
                QStringLiteral("\"NAPLATA_DETALJNO\"")};
    }
    return {QStringLiteral("\"RACUNI\""), QStringLiteral("\"STAVKE_RACUNA\""),
            QStringLiteral("\"NAPLATA\"")};
}

struct Line {
    QString type;
    int code = 0;
    QString name;
    QString description;
    double quantity = 0;
    double price = 0;  // without discount and tax
    double value = 0;  // without discount and tax
    double discountPercent = 0;
    double discount = 0;
    double taxRate = 0;
    double total = 0;  // with discount and tax
    bool Packaging() const { return type == QLatin1String("AMB") || type == QLatin1String("AMP"); }
    double Gross(double amount) const { return amount * (1 + taxRate / 100); }
};

std::vector<Line> ReadLines(Database& db, const Tables& t, const InvoiceKey& key) {
    Statement q = db.Prepare(
        QStringLiteral("SELECT s.\"TIP_STAVKE\", s.\"SIFRA\", s.\"KOLICINA\", "
                       "s.\"CIJENA_BEZ_RABATA\", s.\"VRIJEDNOST_BEZ_RABATA\", s.\"RABAT_%\", "
                       "s.\"RABAT_IZNOS\", s.\"POREZ_%\", s.\"UKUPNO_\", s.\"OPIS\", "
                       "CASE WHEN s.\"TIP_STAVKE\" = 'USL' THEN u.\"NAZIV\" "
                       "WHEN s.\"TIP_STAVKE\" IN ('AMB', 'AMP') THEN b.\"NAZIV\" "
                       "ELSE a.\"NAZIV\" END FROM ") +
        t.lines +
        QStringLiteral(" s LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA\" "
                       "LEFT JOIN \"USLUGE\" u ON u.\"SIFRA\" = s.\"SIFRA\" "
                       "LEFT JOIN \"AMBALAZA\" b ON b.\"SIFRA\" = s.\"SIFRA\" "
                       "WHERE s.\"SKLADISTE\" = ? AND s.\"IRA\" = ? AND s.\"GODINA\" = ? AND "
                       "s.\"BROJ_RACUNA\" = ? ORDER BY s.\"RBR_STAVKE\""));
    q.Exec({key.warehouse, key.book, key.year, key.number});
    std::vector<Line> lines;
    while (q.Next()) {
        Line l;
        l.type = q.Text(0);
        l.code = q.Int(1);
        l.quantity = q.Double(2);
        l.price = q.Double(3);
        l.value = q.Double(4);
        l.discountPercent = q.Double(5);
        l.discount = q.Double(6);
        l.taxRate = q.Double(7);
        l.total = q.Double(8);
        l.description = q.Text(9).trimmed();
        l.name = q.Text(10);
        lines.push_back(l);
    }
    return lines;
}

void CompanyBlock(Database& db, QStringList& out) {
    Statement q =
        db.Prepare(QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"OIB\", \"MB/JMBG\", "
                                  "\"TELEFON\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"));
    q.Exec();
    const bool found = q.Next();
    auto text = [&](int column) { return found ? q.Text(column) : QString(); };
    out << Cut(text(0), kWidth) << Cut(text(1), kWidth) << Cut(text(2), kWidth)
        << Cut(QStringLiteral("OIB:") + text(3), kWidth)
        << Cut(QStringLiteral("MB:") + text(4), kWidth)
        << Cut(QStringLiteral("Tel.:") + text(5), kWidth);
}

QString InvoiceMark(Database& db) {
    return sqlvalue::ToText(db.Scalar(QStringLiteral(
                                "SELECT \"OZNAKA_NA_RACUNU\" FROM \"PODACI_FIRME\" ORDER BY "
                                "\"ID\" LIMIT 1")))
        .trimmed();
}

void CustomerBlock(Database& db, int partner, QStringList& out) {
    Statement q = db.Prepare(
        QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"OIB\", \"MB/JMBG\" FROM "
                       "\"PARTNERI\" WHERE \"SIFRA\" = ?"));
    q.Exec({partner});
    if (!q.Next() || q.Text(0) == QStringLiteral("Kupac u maloprodaji")) {
        return;
    }
    out << Cut(QStringLiteral("Kupac:") + q.Text(0), kWidth);
    out << QStringLiteral("      ") + Cut(q.Text(1) + QLatin1Char(',') + q.Text(2), 34);
    out << Cut(QStringLiteral("  OIB:") + q.Text(3), kWidth);
    out << Cut(QStringLiteral("   MB:") + q.Text(4), kWidth);
}

}  // namespace

ReceiptOptions OptionsOf(const Session& session) {
    ReceiptOptions o;
    o.footer = session.company.fixedExtraText;
    o.printTime = session.company.printTimeOnRegisterReceipt;
    o.lineFeeds = session.workstation.posPrinterLineFeeds;
    o.summed = session.company.sumRetailInvoices;
    o.currency = ReceiptCurrency(session);
    return o;
}

QString ReceiptCurrency(const Session& session) {
    const QString home = session.company.homeCurrencyName.trimmed();
    return home.isEmpty() ? QStringLiteral("EUR") : home;
}

QStringList CenteredLines(const QString& text) {
    QStringList out;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (QString paragraph : paragraphs) {
        paragraph = paragraph.trimmed();
        if (paragraph.isEmpty()) {
            continue;
        }
        QStringList rows;
        QString row;
        for (QString word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            while (word.size() > kWidth) {  // a word wider than the paper is split
                if (!row.isEmpty()) {
                    rows << row;
                    row.clear();
                }
                rows << word.left(kWidth);
                word = word.mid(kWidth);
            }
            if (row.isEmpty()) {
                row = word;
            } else if (row.size() + 1 + word.size() <= kWidth) {
                row += QLatin1Char(' ') + word;
            } else {
                rows << row;
                row = word;
            }
        }
        if (!row.isEmpty()) {
            rows << row;
        }
        for (const QString& r : rows) {
            // (40 − length) / 2 blanks, a half rounded up.
            const int blanks = (kWidth - static_cast<int>(r.size()) + 1) / 2;
            out << QString(blanks, QLatin1Char(' ')) + r;
        }
    }
    return out;
}

QStringList FiscalMarkLines(const Session::FiscalMarks& marks) {
    QStringList out;
    out << Cut(QStringLiteral("Broj računa: ") + marks.number, kWidth)
        << Cut(QStringLiteral("Vrijeme izdavanja: ") +
                   marks.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
               kWidth)
        << Cut(QStringLiteral("Operater: ") + marks.operatorMark, kWidth)
        << Cut(QStringLiteral("ZKI: ") + marks.protectiveCode, kWidth);
    if (!marks.jir.isEmpty()) {
        // A JIR has 36 characters: with its label it fills the paper's width.
        out << Cut(QStringLiteral("JIR:") + marks.jir, kWidth);
    }
    return out;
}

QByteArray QrCodeCommand(const QByteArray& data) {
    auto function = [](char fn, const QByteArray& parameters) {
        const int size = static_cast<int>(parameters.size()) + 2;
        QByteArray out("\x1D\x28\x6B", 3);
        out.append(static_cast<char>(size & 0xFF)).append(static_cast<char>((size >> 8) & 0xFF));
        out.append('\x31').append(fn).append(parameters);
        return out;
    };
    QByteArray out("\x1B\x61\x01", 3);                   // centred
    out += function('\x41', QByteArray("\x32\x00", 2));  // model 2
    out += function('\x43', QByteArray("\x06", 1));      // module size 6 dots
    out += function('\x45', QByteArray("\x31", 1));      // error correction M
    out += function('\x50', QByteArray("\x30", 1) + data);
    out += function('\x51', QByteArray("\x30", 1));  // print the stored symbol
    out += '\n';
    out += QByteArray("\x1B\x61\x00", 3);  // back to the left
    return out;
}

QByteArray EncodeReceipt(const QStringList& lines, int codePage, const QString& qrText, int qrAt) {
    if (qrText.isEmpty()) {
        return EncodeLines(lines, codePage);
    }
    const int at = std::clamp(qrAt, 0, static_cast<int>(lines.size()));
    return EncodeLines(lines.mid(0, at), codePage) + QrCodeCommand(qrText.toUtf8()) +
           EncodeLines(lines.mid(at), codePage);
}

std::optional<Session::FiscalMarks> MarksOfReceipt(Session& session, const ReceiptOptions& options,
                                                   const InvoiceKey& key) {
    Session::RetailSaleEvent invoice;
    invoice.warehouse = key.warehouse;
    invoice.book = key.book;
    invoice.year = key.year;
    invoice.number = key.number;
    invoice.detailed = options.summed;
    return session.FiscalMarksOf(invoice, options.cancellation);
}

QStringList ReceiptLines(Database& db, const ReceiptOptions& options, const InvoiceKey& key,
                         const Session::FiscalMarks* marks, int* qrAt) {
    const Tables t = TablesFor(options.summed);
    Statement head =
        db.Prepare(QStringLiteral("SELECT \"DATUM\", \"SIFRA PARTNERA\", \"KORISNIK\", "
                                  "\"DATUM_I_VRIJEME_KNJIZENJA\", \"STORNO\", \"DATUM_STORNA\" "
                                  "FROM ") +
                   t.invoices +
                   QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                                  "\"BROJ RACUNA\" = ?"));
    head.Exec({key.warehouse, key.book, key.year, key.number});
    if (!head.Next()) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(key.number) +
                        QStringLiteral(" nije pronađen."));
    }
    const bool negative = options.cancellation;
    if (negative && head.Int(4) == 0) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(key.number) +
                        QStringLiteral(" nije storniran."));
    }
    const QDate date = sqlvalue::ToDate(head.Value(negative ? 5 : 0));
    const int partner = head.Int(1);
    const QString user = head.Text(2);
    const QDateTime posted = sqlvalue::ToDateTime(head.Value(3));
    head.Finish();
    // The negative receipt prints the sale's amounts negated.
    const double sign = negative ? -1 : 1;

    QStringList out;
    CompanyBlock(db, out);

    QString number =
        (negative ? QStringLiteral("STORNO RAČUNA br.:") : QStringLiteral("RAČUN br.:")) +
        QString::number(key.number);
    const QString mark = InvoiceMark(db);
    if (!mark.isEmpty()) {
        number += QLatin1Char(' ') + mark;
    }
    QString dated = QStringLiteral("Datum:") + date.toString(QStringLiteral("dd.MM.yyyy"));
    // The posting time is the sale's: a negative receipt's time is its fiscal mark's.
    if (options.printTime && posted.isValid() && !negative) {
        dated += QStringLiteral("  ") + posted.toString(QStringLiteral("HH:mm"));
    }
    // Number and date share a row when they fit; a long mark or number moves the date below.
    if (number.size() + 1 + dated.size() <= kWidth) {
        out << number + QLatin1Char(' ') + dated;
    } else {
        out << Cut(number, kWidth) << dated;
    }
    out << Cut(QStringLiteral("Prodavač:") + user, kWidth);
    CustomerBlock(db, partner, out);

    std::vector<Line> lines = ReadLines(db, t, key);
    for (Line& l : lines) {
        l.quantity *= sign;
        l.value *= sign;
        l.discount *= sign;
        l.total *= sign;
    }
    bool discounts = false;
    for (const Line& l : lines) {
        discounts = discounts || (!l.Packaging() && RoundMoney(l.discountPercent) != 0);
    }
    out << (discounts ? QStringLiteral("Rbr.Naziv                 Šifra    Pop.%")
                      : QStringLiteral("Rbr.Naziv                 Šifra"));
    out << QStringLiteral(" Količina   Porez%    Cijena       Iznos") << kRule;

    double gross = 0;
    double discount = 0;
    double payable = 0;
    int row = 0;
    for (const Line& l : lines) {
        gross += l.Gross(l.value);
        discount += l.Gross(l.discount);
        payable += l.total;
        if (l.Packaging()) {
            continue;
        }
        QString first = (QString::number(++row) + QLatin1Char('.')).leftJustified(4) +
                        PadRight(l.name, 22) + Cut(QString::number(l.code), 8);
        if (discounts) {
            const QString percent =
                QString::number(RoundDecimal(l.discountPercent, 0), 'f', 0) + QLatin1Char('%');
            first = first.left(26) +
                    PadRight(Cut(QString::number(l.code), 8), 14 - percent.size()) + percent;
        }
        out << first;
        for (qsizetype i = 0; i < l.description.size(); i += kWidth) {
            out << l.description.mid(i, kWidth);
        }
        out << PadLeft(Amount(l.quantity), 9) + PadLeft(Amount(l.taxRate), 9) +
                   PadLeft(Amount(l.Gross(l.price)), 10) + PadLeft(Amount(l.Gross(l.value)), 12);
    }
    const QString currency = QLatin1Char(' ') + options.currency + QStringLiteral(" :");
    out << kRule << TotalRow(QStringLiteral("UKUPNO") + currency, gross)
        << TotalRow(QStringLiteral("Popust") + currency, discount)
        << TotalRow(QStringLiteral("Za platiti") + currency, payable);

    out << QStringLiteral("Porez%   Osnovica      Porez      Ukupno");
    Statement taxes =
        db.Prepare(QStringLiteral("SELECT \"POREZ_%\", SUM(\"VRIJEDNOST_\"), SUM(\"POREZ_IZNOS\"), "
                                  "SUM(\"UKUPNO_\") FROM ") +
                   t.lines +
                   QStringLiteral(" WHERE \"TIP_STAVKE\" <> 'AMB' AND \"TIP_STAVKE\" <> 'AMP' AND "
                                  "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                                  "\"BROJ_RACUNA\" = ? GROUP BY \"POREZ_%\" ORDER BY \"POREZ_%\""));
    taxes.Exec({key.warehouse, key.book, key.year, key.number});
    while (taxes.Next()) {
        out << PadLeft(Amount(taxes.Double(0)), 6) + PadLeft(Amount(sign * taxes.Double(1)), 11) +
                   PadLeft(Amount(sign * taxes.Double(2)), 11) +
                   PadLeft(Amount(sign * taxes.Double(3)), 12);
    }

    bool packagingHead = false;
    for (const Line& l : lines) {
        if (!l.Packaging()) {
            continue;
        }
        if (!packagingHead) {
            out << QStringLiteral("Ambalaža:");
            packagingHead = true;
        }
        out << PadRight(l.name, 18) + PadLeft(Amount(l.quantity), 10) +
                   PadLeft(Amount(l.total), 12);
    }
    out << kDoubleRule;

    // Payments per type in the order they were taken (cash, cheques, card): the sale's, or on the
    // negative receipt the cancellation's counter-payments ("Storno").
    Statement paid =
        db.Prepare(QStringLiteral("SELECT \"Tip\", SUM(\"Iznos\") FROM ") + t.payments +
                   QStringLiteral(" WHERE \"Skladište\" = ? AND \"IRA\" = ? AND \"Godina\" = ? AND "
                                  "\"Broj računa\" = ? AND COALESCE(\"Opis dokumenta\", '') ") +
                   (negative ? QStringLiteral("=") : QStringLiteral("<>")) +
                   QStringLiteral(" 'Storno' GROUP BY \"Tip\" ORDER BY MIN(\"Sifra\")"));
    paid.Exec({key.warehouse, key.book, key.year, key.number});
    while (paid.Next()) {
        out << TotalRow(QStringLiteral("Pl. ") + paid.Text(0) + currency, paid.Double(1));
    }

    if (marks != nullptr) {
        out << FiscalMarkLines(*marks);
        if (qrAt != nullptr) {
            *qrAt = static_cast<int>(out.size());
        }
    }
    out << CenteredLines(options.footer);
    for (int i = 0; i < std::clamp(options.lineFeeds, 0, 99); ++i) {
        out << QString();
    }
    return out;
}

QByteArray EncodeLines(const QStringList& lines, int codePage) {
    QByteArray out;
    for (const QString& line : lines) {
        out += MapPosText(line, codePage);
        out += '\n';
    }
    return out;
}

namespace {

// One receipt of a tape, the sale or (`negative`) its cancellation, with the marks given.
QStringList TapeReceipt(Database& db, const ReceiptOptions& options, const InvoiceKey& key,
                        bool negative, const std::optional<Session::FiscalMarks>& marks) {
    ReceiptOptions o = options;
    o.cancellation = negative;
    return ReceiptLines(db, o, key, marks ? &*marks : nullptr);
}

}  // namespace

TapeMarks SessionMarks(Session& session, const ReceiptOptions& options) {
    return [&session, options](const InvoiceKey& key, bool cancellation) {
        ReceiptOptions o = options;
        o.cancellation = cancellation;
        return MarksOfReceipt(session, o, key);
    };
}

TapeText ControlTapeLines(Database& db, const ReceiptOptions& options, int warehouse, int year,
                          const QString& dateText, const TapeMarks& marksOf) {
    QDate date = QDate::fromString(dateText.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid()) {
        date = QDate::fromString(dateText.trimmed(), QStringLiteral("d.M.yyyy"));
    }
    if (!date.isValid()) {
        return {{}, QStringLiteral("Datum nije ispravno upisan.")};
    }
    const Tables t = TablesFor(options.summed);
    Statement q = db.Prepare(
        QStringLiteral("SELECT \"BROJ RACUNA\", \"DATUM\", \"DATUM_I_VRIJEME_KNJIZENJA\", "
                       "\"STORNO\", \"DATUM_STORNA\" FROM ") +
        t.invoices +
        QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"IRA\" = 1 AND "
                       "\"UVJET PRODAJE\" = 1 AND (\"DATUM\" = ? OR \"DATUM_STORNA\" = ?) "
                       "ORDER BY \"BROJ RACUNA\""));
    const QString day = sqlvalue::DateText(date);
    q.Exec({warehouse, year, day, day});
    struct Entry {
        QDateTime when;
        qint64 tie = 0;
        int number = 0;
        bool negative = false;
        std::optional<Session::FiscalMarks> marks;
    };
    std::vector<Entry> entries;
    while (q.Next()) {
        const int number = q.Int(0);
        const QDateTime posted = sqlvalue::ToDateTime(q.Value(2));
        if (sqlvalue::ToDate(q.Value(1)) == date) {
            entries.push_back({posted.isValid() ? posted : QDateTime(date, QTime(0, 0)), number,
                               number, false, std::nullopt});
        }
        if (q.Int(3) != 0 && sqlvalue::ToDate(q.Value(4)) == date) {
            entries.push_back(
                {QDateTime(date, QTime(23, 59, 59, 999)), number, number, true, std::nullopt});
        }
    }
    q.Finish();
    if (entries.empty()) {
        return {{}, QStringLiteral("Nema maloprodajnih računa za ispis.")};
    }
    for (Entry& e : entries) {
        if (marksOf) {
            e.marks = marksOf({warehouse, 1, year, e.number}, e.negative);
        }
        if (e.marks && e.marks->issued.isValid()) {
            e.when = e.marks->issued;
            e.tie = e.marks->number.section(QLatin1Char('/'), 0, 0).toLongLong();
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.when, a.tie, a.negative) < std::tie(b.when, b.tie, b.negative);
    });
    TapeText tape;
    for (const Entry& e : entries) {
        tape.lines += TapeReceipt(db, options, {warehouse, 1, year, e.number}, e.negative, e.marks);
    }
    return tape;
}

TapeText RangeLines(Database& db, const ReceiptOptions& options, int warehouse, int year, int from,
                    int to, const TapeMarks& marksOf) {
    if (from <= 0 || to < from) {
        return {{},
                QStringLiteral("Upišite brojeve računa od - do (od ne smije biti veći od do).")};
    }
    const Tables t = TablesFor(options.summed);
    Statement q =
        db.Prepare(QStringLiteral("SELECT \"BROJ RACUNA\", \"STORNO\" FROM ") + t.invoices +
                   QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                  "\"IRA\" = 1 AND \"UVJET PRODAJE\" = 1 AND \"BROJ "
                                  "RACUNA\" BETWEEN ? AND ? ORDER BY \"BROJ RACUNA\""));
    q.Exec({warehouse, year, from, to});
    std::vector<std::pair<int, bool>> receipts;  // a cancelled sale is followed by its negative
    while (q.Next()) {
        receipts.emplace_back(q.Int(0), false);
        if (q.Int(1) != 0) {
            receipts.emplace_back(q.Int(0), true);
        }
    }
    q.Finish();
    TapeText tape;
    if (receipts.empty()) {
        tape.error = QStringLiteral("Nema maloprodajnih računa za ispis.");
        return tape;
    }
    for (const auto& [number, negative] : receipts) {
        const InvoiceKey key{warehouse, 1, year, number};
        tape.lines += TapeReceipt(db, options, key, negative,
                                  marksOf ? marksOf(key, negative) : std::nullopt);
    }
    return tape;
}

}  // namespace zodra::pos

#include "payments/BankStatement.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "sales/InvoicePrint.h"

namespace zodra::payments {

namespace {

QString NotAStatement(const QString& why) {
    return QStringLiteral("Datoteka nije ispravan izvod banke (camt.053): ") + why;
}

// One transaction's details inside an entry; an entry of a single transfer has one.
struct Details {
    std::optional<double> amount;
    QString endToEnd;
    QString payerName;
    QString payerIban;
    QString reference;
    QString remittance;
};

struct Entry {
    QString amountText;
    QString currency;
    QString indicator;
    QString date;
    QString entryRef;
    QString serviceRef;
    std::vector<Details> details;
};

double ReadAmount(const QString& text, int line) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value >= limits::kMaxAmount) {
        throw UserError(
            NotAStatement(QStringLiteral("iznos \"%1\" u retku %2.").arg(text).arg(line)));
    }
    return value;
}

void Finish(const Entry& e, BankStatement& out) {
    const int first = static_cast<int>(out.lines.size()) + 1;
    const QDate date = QDate::fromString(e.date.left(10), Qt::ISODate);
    if (!date.isValid()) {
        throw UserError(NotAStatement(QStringLiteral("datum knjiženja u retku %1.").arg(first)));
    }
    const double total = ReadAmount(e.amountText, first);
    std::vector<Details> parts = e.details;
    if (parts.empty()) {
        parts.emplace_back();
    }
    // A batch entry gives each transfer its own amount; a single one may give none.
    const bool split = parts.size() > 1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Details& d = parts[i];
        BankStatementLine l;
        l.index = static_cast<int>(out.lines.size()) + 1;
        l.bookingDate = date;
        l.currency = e.currency;
        l.credit = e.indicator == QLatin1String("CRDT");
        if (split && !d.amount) {
            throw UserError(
                NotAStatement(QStringLiteral("iznos pojedine uplate u retku %1.").arg(l.index)));
        }
        l.amount = split ? *d.amount : total;
        QString id = !e.serviceRef.isEmpty() ? e.serviceRef
                     : !e.entryRef.isEmpty() ? e.entryRef
                                             : d.endToEnd;
        if (id.isEmpty()) {
            id = QString::number(l.index);
        }
        l.entryId = split ? id + QLatin1Char('.') + QString::number(i + 1) : id;
        l.payerName = d.payerName.simplified();
        l.payerIban = d.payerIban;
        l.reference = d.reference.simplified();
        l.remittance = d.remittance.simplified();
        out.lines.push_back(l);
    }
}

QString Normalized(const QString& text) {
    QString s = text.toUpper();
    s.remove(QLatin1Char(' '));
    return s;
}

// The references every invoice prints: the typed one, or HR00 number-book-year.
std::vector<InvoiceKey> InvoicesByReference(Database& db, const QString& reference) {
    const QString wanted = Normalized(reference);
    std::vector<InvoiceKey> found;
    std::set<std::tuple<int, int, int, int>> seen;
    const auto consider = [&](int w, int b, int y, int n, const QString& typed) {
        if (Normalized(sales::PaymentReference(typed, n, b, y)) == wanted &&
            seen.insert({w, b, y, n}).second) {
            found.push_back({w, b, y, n});
        }
    };
    {
        Statement s(db, QStringLiteral("SELECT \"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                                       "RACUNA\", \"POZIV NA BROJ\" FROM \"RACUNI\" WHERE \"POZIV "
                                       "NA BROJ\" IS NOT NULL AND \"POZIV NA BROJ\" <> ''"));
        s.Exec({});
        while (s.Next()) {
            consider(s.Int(0), s.Int(1), s.Int(2), s.Int(3), s.Text(4));
        }
    }
    // The default reference names the invoice by number, book and year.
    static const QRegularExpression byKey(QStringLiteral("^(?:HR00)?(\\d+)-(\\d+)-(\\d{4})$"));
    if (const QRegularExpressionMatch m = byKey.match(wanted); m.hasMatch()) {
        Statement s(db, QStringLiteral("SELECT \"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                                       "RACUNA\", \"POZIV NA BROJ\" FROM \"RACUNI\" WHERE \"BROJ "
                                       "RACUNA\" = ? AND \"IRA\" = ? AND \"GODINA\" = ?"));
        s.Exec({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()});
        while (s.Next()) {
            consider(s.Int(0), s.Int(1), s.Int(2), s.Int(3), s.Text(4));
        }
    }
    return found;
}

bool Cancelled(Database& db, const InvoiceKey& k) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? "
                               "AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ? AND \"STORNO\" = TRUE"),
                {k.warehouse, k.book, k.year, k.number})
        .isValid();
}

// The customers the payer may be: by account first, else by name.
std::vector<int> Payers(Database& db, const BankStatementLine& l) {
    std::vector<int> byAccount;
    std::vector<int> byName;
    Statement s(db,
                QStringLiteral("SELECT \"SIFRA\", \"NAZIV\", \"ZIRO_RACUN\" FROM \"PARTNERI\""));
    s.Exec({});
    const QString iban = Normalized(l.payerIban);
    const QString name = l.payerName.toCaseFolded();
    while (s.Next()) {
        if (!iban.isEmpty() && Normalized(s.Text(2)) == iban) {
            byAccount.push_back(s.Int(0));
        }
        if (!name.isEmpty() && s.Text(1).simplified().toCaseFolded() == name) {
            byName.push_back(s.Int(0));
        }
    }
    return byAccount.empty() ? byName : byAccount;
}

void MatchByCustomer(Database& db, BankMatch& m) {
    const std::vector<int> payers = Payers(db, m.line);
    if (payers.empty()) {
        m.reason = QStringLiteral("kupac nije prepoznat");
        return;
    }
    for (const int partner : payers) {
        std::vector<int> books;
        {
            Statement s(db, QStringLiteral("SELECT DISTINCT \"IRA\" FROM \"RACUNI\" WHERE "
                                           "\"SIFRA PARTNERA\" = ? ORDER BY \"IRA\""));
            s.Exec({partner});
            while (s.Next()) {
                books.push_back(s.Int(0));
            }
        }
        for (const int book : books) {
            const TableData open = OpenInvoices(db, partner, book);
            for (int r = 0; r < open.RowCount(); ++r) {
                if (Cents(open.Value(r, 3).toDouble()) == Cents(m.line.amount)) {
                    m.candidates.push_back({open.Value(r, 4).toInt(), book,
                                            open.Value(r, 5).toInt(), open.Value(r, 6).toInt()});
                }
            }
        }
    }
    if (m.candidates.size() == 1) {
        m.status = BankMatch::Status::Matched;
        m.invoice = m.candidates.front();
        m.reason = QStringLiteral("po kupcu i iznosu");
    } else if (m.candidates.empty()) {
        m.reason = QStringLiteral("nema otvorenog računa kupca s tim iznosom");
    } else {
        m.status = BankMatch::Status::Ambiguous;
        m.reason = QStringLiteral("više otvorenih računa kupca s tim iznosom");
    }
}

void MatchByReference(Database& db, BankMatch& m) {
    std::vector<InvoiceKey> found = InvoicesByReference(db, m.line.reference);
    if (found.size() > 1) {
        m.status = BankMatch::Status::Ambiguous;
        m.candidates = found;
        m.reason = QStringLiteral("poziv na broj odgovara za više računa");
        return;
    }
    if (found.empty()) {
        MatchByCustomer(db, m);
        if (m.status == BankMatch::Status::Unmatched) {
            m.reason = QStringLiteral("poziv na broj nije ni jednog računa, ") + m.reason;
        }
        return;
    }
    const InvoiceKey k = found.front();
    if (Cancelled(db, k)) {
        m.reason = QStringLiteral("račun po pozivu na broj je storniran");
        return;
    }
    if (Cents(m.line.amount) > Cents(InvoiceBalanceOf(db, k).Open())) {
        m.reason = QStringLiteral("iznos je veći od dugovanja po računu");
        return;
    }
    m.status = BankMatch::Status::Matched;
    m.invoice = k;
    m.reason = QStringLiteral("po pozivu na broj");
}

}  // namespace

BankStatement ReadBankStatement(const QByteArray& xml) {
    BankStatement out;
    QXmlStreamReader r(xml);
    QStringList path;
    std::optional<Entry> entry;
    bool sawStatement = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement()) {
            const QString name = path.isEmpty() ? QString() : path.takeLast();
            if (name == QLatin1String("Ntry") && entry) {
                Finish(*entry, out);
                entry.reset();
            }
            continue;
        }
        if (!r.isStartElement()) {
            continue;
        }
        const QString name = r.name().toString();
        const QString parent = path.isEmpty() ? QString() : path.last();
        const bool inDetails = entry && path.contains(QStringLiteral("TxDtls"));
        if (name == QLatin1String("Stmt")) {
            sawStatement = true;
        } else if (name == QLatin1String("Ntry") && parent == QLatin1String("Stmt")) {
            entry = Entry{};
        } else if (name == QLatin1String("TxDtls") && entry) {
            entry->details.emplace_back();
        }
        // Leaves are read whole (which consumes their end), so they are not pushed.
        const auto leaf = [&]() { return r.readElementText().trimmed(); };
        if (name == QLatin1String("Id") && parent == QLatin1String("Stmt")) {
            out.id = leaf();
        } else if (name == QLatin1String("IBAN") && !entry &&
                   path.contains(QStringLiteral("Acct"))) {
            out.account = leaf();
        } else if (entry && !inDetails && parent == QLatin1String("Ntry") &&
                   name == QLatin1String("Amt")) {
            entry->currency = r.attributes().value(QStringLiteral("Ccy")).toString();
            entry->amountText = leaf();
        } else if (entry && parent == QLatin1String("Ntry") && name == QLatin1String("CdtDbtInd")) {
            entry->indicator = leaf();
        } else if (entry && parent == QLatin1String("BookgDt") &&
                   (name == QLatin1String("Dt") || name == QLatin1String("DtTm"))) {
            entry->date = leaf();
        } else if (entry && parent == QLatin1String("Ntry") && name == QLatin1String("NtryRef")) {
            entry->entryRef = leaf();
        } else if (entry && parent == QLatin1String("Ntry") &&
                   name == QLatin1String("AcctSvcrRef")) {
            entry->serviceRef = leaf();
        } else if (inDetails && name == QLatin1String("Amt") &&
                   (parent == QLatin1String("TxAmt") || parent == QLatin1String("TxDtls"))) {
            entry->details.back().amount =
                ReadAmount(leaf(), static_cast<int>(out.lines.size()) + 1);
        } else if (inDetails && name == QLatin1String("EndToEndId")) {
            entry->details.back().endToEnd = leaf();
        } else if (inDetails && name == QLatin1String("Nm") &&
                   path.contains(QStringLiteral("Dbtr")) &&
                   path.contains(QStringLiteral("RltdPties"))) {
            entry->details.back().payerName = leaf();
        } else if (inDetails && name == QLatin1String("IBAN") &&
                   path.contains(QStringLiteral("DbtrAcct"))) {
            entry->details.back().payerIban = leaf();
        } else if (inDetails && name == QLatin1String("Ref") &&
                   parent == QLatin1String("CdtrRefInf")) {
            entry->details.back().reference = leaf();
        } else if (inDetails && name == QLatin1String("Ustrd")) {
            Details& d = entry->details.back();
            d.remittance += (d.remittance.isEmpty() ? QString() : QStringLiteral(" ")) + leaf();
        } else {
            path << name;
        }
    }
    if (r.hasError()) {
        throw UserError(NotAStatement(r.errorString()));
    }
    if (!sawStatement) {
        throw UserError(NotAStatement(QStringLiteral("nema izvoda (Stmt).")));
    }
    return out;
}

std::vector<BankMatch> MatchBankStatement(Database& db, const BankStatement& statement) {
    std::vector<BankMatch> matches;
    for (const BankStatementLine& line : statement.lines) {
        BankMatch m;
        m.line = line;
        m.paymentText =
            (QStringLiteral("Izvod ") + statement.id + QLatin1Char('/') + line.entryId).left(255);
        if (!line.credit) {
            m.status = BankMatch::Status::Debit;
            m.reason = QStringLiteral("terećenje");
        } else if (db.Scalar(QStringLiteral("SELECT 1 FROM \"UPLATE\" WHERE \"Opis\" = ?"),
                             {m.paymentText})
                       .isValid()) {
            m.status = BankMatch::Status::AlreadyRecorded;
            m.reason = QStringLiteral("već upisano");
        } else if (!line.reference.isEmpty()) {
            MatchByReference(db, m);
        } else {
            MatchByCustomer(db, m);
        }
        matches.push_back(m);
    }
    return matches;
}

int RecordBankMatches(Session& session, const std::vector<BankMatch>& matches,
                      const std::vector<int>& confirmed) {
    Transaction tx(session.Db());
    int recorded = 0;
    for (const BankMatch& m : matches) {
        const bool wanted = confirmed.empty() || std::find(confirmed.begin(), confirmed.end(),
                                                           m.line.index) != confirmed.end();
        if (!wanted || m.status != BankMatch::Status::Matched || !m.invoice) {
            continue;
        }
        // Recorded once: a second import of the same statement finds the line's text.
        if (session.Db()
                .Scalar(QStringLiteral("SELECT 1 FROM \"UPLATE\" WHERE \"Opis\" = ?"),
                        {m.paymentText})
                .isValid()) {
            continue;
        }
        PaymentEntry entry{m.line.bookingDate, QStringLiteral("žiro račun"), std::nullopt,
                           m.paymentText, m.line.amount};
        try {
            RecordCollection(session, *m.invoice, entry);
        } catch (const UserError& e) {
            throw UserError(QStringLiteral("Redak %1: %2").arg(m.line.index).arg(e.message()));
        }
        ++recorded;
    }
    tx.Commit();
    return recorded;
}

QString BankStatusText(BankMatch::Status status) {
    switch (status) {
        case BankMatch::Status::Matched:
            return QStringLiteral("Prepoznato");
        case BankMatch::Status::Ambiguous:
            return QStringLiteral("Dvosmisleno");
        case BankMatch::Status::Unmatched:
            return QStringLiteral("Neprepoznato");
        case BankMatch::Status::Debit:
            return QStringLiteral("Terećenje");
        case BankMatch::Status::AlreadyRecorded:
            return QStringLiteral("Već upisano");
    }
    return QString();
}

TableData BankMatchTable(const std::vector<BankMatch>& matches, const std::vector<int>& chosen) {
    TableData t;
    t.columns = {{QStringLiteral("Redak"), TableColumn::Format::Integer},
                 {QStringLiteral("Datum"), TableColumn::Format::Date},
                 {QStringLiteral("Iznos"), TableColumn::Format::Money},
                 {QStringLiteral("Platitelj")},
                 {QStringLiteral("Poziv na broj")},
                 {QStringLiteral("Stanje")},
                 {QStringLiteral("Račun")},
                 {QStringLiteral("Razlog")},
                 {QStringLiteral("Upisati")}};
    for (const BankMatch& m : matches) {
        const bool matched = m.status == BankMatch::Status::Matched;
        const bool wanted =
            matched && std::find(chosen.begin(), chosen.end(), m.line.index) != chosen.end();
        QString invoice;
        if (m.invoice) {
            invoice = QStringLiteral("%1/%2/%3")
                          .arg(m.invoice->number)
                          .arg(m.invoice->book)
                          .arg(m.invoice->year);
        }
        t.rows.push_back(
            {m.line.index, m.line.bookingDate, m.line.credit ? m.line.amount : -m.line.amount,
             m.line.payerName, m.line.reference, BankStatusText(m.status), invoice, m.reason,
             matched ? (wanted ? QStringLiteral("Da") : QStringLiteral("Ne")) : QString()});
    }
    return t;
}

QString DescribeMatch(const BankMatch& m) {
    QString text = QStringLiteral("Redak %1: %2 %3, %4")
                       .arg(m.line.index)
                       .arg(MoneyText(m.line.amount), m.line.currency,
                            m.line.payerName.isEmpty() ? QStringLiteral("-") : m.line.payerName);
    if (m.invoice) {
        text += QStringLiteral(" – račun %1/%2/%3 (skl. %4)")
                    .arg(m.invoice->number)
                    .arg(m.invoice->book)
                    .arg(m.invoice->year)
                    .arg(m.invoice->warehouse);
    }
    for (const InvoiceKey& k : m.candidates) {
        if (m.status == BankMatch::Status::Ambiguous) {
            text += QStringLiteral(" [%1/%2/%3]").arg(k.number).arg(k.book).arg(k.year);
        }
    }
    return text + QStringLiteral(" (") + m.reason + QLatin1Char(')');
}

}  // namespace zodra::payments

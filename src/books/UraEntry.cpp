#include "books/UraEntry.h"

#include <QRegularExpression>
#include <algorithm>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "purchasing/ReceiptList.h"

namespace zodra::books {

namespace {

QString ZeroMessage() {
    return QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu.");
}
QString ComputedBackMessage() {
    return QStringLiteral("Nije ispravno upisan broj. Bit će vraćen automatski izračunani iznos.");
}
QString BadDateMessage() {
    return QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum.");
}

QString Money(double value) {
    return QString::number(RoundMoney(value), 'f', 2);
}

std::optional<double> Amount(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return 0.0;
    }
    return inputrules::ParseNumber(t);
}

double AmountOrZero(const QString& text) {
    return Amount(text).value_or(0.0);
}

std::optional<QDate> ParseDay(const QString& text) {
    for (const char* pattern : {"d.M.yyyy", "d.M.yyyy.", "yyyy-MM-dd"}) {
        const QDate d = QDate::fromString(text.trimmed(), QString::fromLatin1(pattern));
        if (d.isValid()) {
            return d;
        }
    }
    return std::nullopt;
}

QString DayText(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

}  // namespace

UraEntry::UraEntry(Session& session, Prompter& prompter, int book, const QDate& today)
    : m_session(session), m_prompter(prompter), m_book(book), m_today(today) {
    dateText = DayText(today);
    kind = DefaultPurchaseKind(book);
    // The frames start at the rates of the company's tax groups, highest last, so that the
    // usual full rate sits in the last frame; the book's other rates fill frames left over.
    std::vector<int> preset;
    Statement s(session.Db(), QStringLiteral("SELECT DISTINCT \"STOPA\" FROM \"GRUPE_POREZA\" "
                                             "WHERE \"STOPA\" > 0 ORDER BY \"STOPA\" DESC"));
    s.Exec();
    while (s.Next() && preset.size() < kFrames) {
        const double rate = s.Double(0);
        if (IsUraRate(static_cast<int>(rate)) && static_cast<int>(rate) == rate) {
            preset.push_back(static_cast<int>(rate));
        }
    }
    for (int rate : RateChoices()) {
        if (preset.size() >= kFrames) {
            break;
        }
        if (std::find(preset.begin(), preset.end(), rate) == preset.end()) {
            preset.push_back(rate);
        }
    }
    for (int i = 0; i < kFrames; ++i) {
        frames[static_cast<std::size_t>(kFrames - 1 - i)].rate =
            preset[static_cast<std::size_t>(i)];
    }
    SetNextNumber();
}

std::vector<int> UraEntry::RateChoices() {
    std::vector<int> rates(kUraRates.rbegin(), kUraRates.rend());
    return rates;
}

QString UraEntry::BaseCaption(int rate) {
    return QStringLiteral("Osnovica ") + QString::number(rate) + QLatin1Char('%');
}

QString UraEntry::TaxCaption(int rate) {
    return QStringLiteral("Pretporez ") + QString::number(rate) + QLatin1Char('%');
}

void UraEntry::SetNextNumber() {
    numberText = QString::number(NextUraNumber(m_session.Db(), m_book, m_session.businessYear));
}

bool UraEntry::NumberLeft() {
    if (m_editing) {
        return true;
    }
    static const QRegularExpression digits(QStringLiteral("^\\s*\\d{1,9}\\s*$"));
    const int number = digits.match(numberText).hasMatch() ? numberText.trimmed().toInt() : 0;
    if (number <= 0) {
        m_prompter.Inform(UraInvalidSerialMessage());
        SetNextNumber();
        return false;
    }
    if (UraExists(m_session.Db(), m_book, m_session.businessYear, number)) {
        m_prompter.Inform(UraDuplicateMessage());
        SetNextNumber();
        return false;
    }
    numberText = QString::number(number);
    return true;
}

bool UraEntry::DateLeft() {
    if (ParseDay(dateText)) {
        return true;
    }
    m_prompter.Inform(BadDateMessage());
    dateText = DayText(m_today);
    return false;
}

bool UraEntry::DueLeft() {
    if (dueText.trimmed().isEmpty() || ParseDay(dueText)) {
        return true;
    }
    m_prompter.Inform(BadDateMessage());
    dueText = DayText(m_today);
    return false;
}

void UraEntry::RecomputeTotal() {
    total = Money(Invoice().ComputedTotal());
}

void UraEntry::FrameFromBase(Frame& f) {
    const double tax = RoundMoney(AmountOrZero(f.base) * f.rate / 100.0);
    f.tax = Money(tax);
    f.deductible = f.tax;
    f.nonDeductible = Money(0);
}

bool UraEntry::Base0Left() {
    bool kept = true;
    if (!Amount(base0)) {
        m_prompter.Inform(ZeroMessage());
        base0 = QStringLiteral("0");
        kept = false;
    }
    RecomputeTotal();
    return kept;
}

bool UraEntry::BaseLeft(int frame) {
    Frame& f = frames[static_cast<std::size_t>(frame)];
    bool kept = true;
    if (!Amount(f.base)) {
        m_prompter.Inform(ZeroMessage());
        f.base = QStringLiteral("0");
        kept = false;
    }
    FrameFromBase(f);
    RecomputeTotal();
    return kept;
}

bool UraEntry::TaxLeft(int frame) {
    Frame& f = frames[static_cast<std::size_t>(frame)];
    const double computed = RoundMoney(AmountOrZero(f.base) * f.rate / 100.0);
    const std::optional<double> typed = Amount(f.tax);
    bool kept = true;
    if (!typed) {
        m_prompter.Inform(ComputedBackMessage());
        kept = false;
    } else if (RoundMoney(*typed) != computed) {
        m_prompter.Inform(QStringLiteral("Pretporez ") + QString::number(f.rate) +
                          QStringLiteral("% se ne slaže sa osnovicom, bit će vraćen automatski "
                                         "izračunani iznos."));
        kept = false;
    }
    f.tax = Money(computed);
    f.deductible = f.tax;
    f.nonDeductible = Money(0);
    RecomputeTotal();
    return kept;
}

bool UraEntry::DeductibleLeft(int frame) {
    Frame& f = frames[static_cast<std::size_t>(frame)];
    bool kept = true;
    if (!Amount(f.deductible)) {
        m_prompter.Inform(ZeroMessage());
        f.deductible = QStringLiteral("0");
        kept = false;
    }
    f.nonDeductible = Money(AmountOrZero(f.tax) - AmountOrZero(f.deductible));
    return kept;
}

bool UraEntry::NonDeductibleLeft(int frame) {
    Frame& f = frames[static_cast<std::size_t>(frame)];
    bool kept = true;
    if (!Amount(f.nonDeductible)) {
        m_prompter.Inform(ZeroMessage());
        f.nonDeductible = QStringLiteral("0");
        kept = false;
    }
    f.deductible = Money(AmountOrZero(f.tax) - AmountOrZero(f.nonDeductible));
    return kept;
}

void UraEntry::RateChanged(int frame) {
    FrameFromBase(frames[static_cast<std::size_t>(frame)]);
    RecomputeTotal();
}

UraInvoice UraEntry::Invoice() const {
    UraInvoice invoice;
    invoice.book = m_book;
    invoice.year = m_session.businessYear;
    invoice.number = numberText.trimmed().toInt();
    invoice.invoiceNumber = invoiceNumber;
    invoice.date = ParseDay(dateText).value_or(QDate());
    invoice.due = ParseDay(dueText).value_or(QDate());
    invoice.supplier = supplier;
    invoice.type = type;
    invoice.kind = kind;
    invoice.base0 = AmountOrZero(base0);
    for (const Frame& f : frames) {
        if (!IsUraRate(f.rate)) {
            continue;
        }
        UraRateAmounts& r = invoice.AtRate(f.rate);
        r.base += AmountOrZero(f.base);
        r.tax += AmountOrZero(f.tax);
        r.deductible += AmountOrZero(f.deductible);
        r.nonDeductible += AmountOrZero(f.nonDeductible);
    }
    invoice.total = invoice.ComputedTotal();
    return invoice;
}

bool UraEntry::Accept() {
    if (!NumberLeft() || !DateLeft() || !DueLeft()) {
        return false;
    }
    // Two frames at one rate would be added into one column and could not be shown again as
    // typed.
    for (int i = 0; i < kFrames; ++i) {
        for (int j = i + 1; j < kFrames; ++j) {
            const Frame& a = frames[static_cast<std::size_t>(i)];
            const Frame& b = frames[static_cast<std::size_t>(j)];
            if (a.rate == b.rate && (AmountOrZero(a.base) != 0 || AmountOrZero(b.base) != 0)) {
                m_prompter.Inform(QStringLiteral("Ista stopa poreza je izabrana dva puta !"));
                return false;
            }
        }
    }
    const UraInvoice invoice = Invoice();
    try {
        if (m_editing) {
            RewriteUraInvoice(m_session.Db(), invoice, m_session.company.homeCurrencyName);
        } else {
            numberText = QString::number(InsertUraInvoice(m_session.Db(), invoice));
        }
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
        if (e.message() == UraDuplicateMessage()) {
            SetNextNumber();  // taken by another workstation since the field was left
        }
        return false;
    }
    return true;
}

void UraEntry::SetFrames(const UraInvoice& invoice) {
    std::vector<int> used;
    for (int rate : RateChoices()) {
        if (!invoice.AtRate(rate).IsZero()) {
            used.push_back(rate);
        }
    }
    if (static_cast<int>(used.size()) > kFrames) {
        throw UserError(
            QStringLiteral("Račun ima iznose po više od tri stope i ne može se "
                           "mijenjati u ovom prozoru."));
    }
    // Rates in use take the frames from the last one on; the others keep their rates unless
    // a used rate would appear twice.
    std::size_t next = kFrames;
    for (int rate : used) {
        --next;
        frames[next].rate = rate;
    }
    for (std::size_t i = 0; i < next; ++i) {
        if (std::find(used.begin(), used.end(), frames[i].rate) != used.end()) {
            for (int rate : RateChoices()) {
                bool taken = std::find(used.begin(), used.end(), rate) != used.end();
                for (std::size_t k = 0; k < i; ++k) {
                    taken = taken || frames[k].rate == rate;
                }
                if (!taken) {
                    frames[i].rate = rate;
                    break;
                }
            }
        }
    }
    for (Frame& f : frames) {
        const UraRateAmounts& r = invoice.AtRate(f.rate);
        const bool used_ = std::find(used.begin(), used.end(), f.rate) != used.end();
        f.base = Money(used_ ? r.base : 0);
        f.tax = Money(used_ ? r.tax : 0);
        f.deductible = Money(used_ ? r.deductible : 0);
        f.nonDeductible = Money(used_ ? r.nonDeductible : 0);
    }
}

bool UraEntry::Open(int number) {
    const auto invoice = LoadUraInvoice(m_session.Db(), m_book, m_session.businessYear, number);
    if (!invoice) {
        m_prompter.Inform(UraMissingMessage(number));
        return false;
    }
    try {
        SetFrames(*invoice);
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
        return false;
    }
    m_editing = true;
    numberText = QString::number(invoice->number);
    invoiceNumber = invoice->invoiceNumber;
    dateText = DayText(invoice->date);
    dueText = DayText(invoice->due);
    supplier = invoice->supplier;
    type = invoice->type;
    kind = invoice->kind;
    base0 = Money(invoice->base0);
    total = Money(invoice->total);
    return true;
}

void UraEntry::FillFromReceipt(int warehouse, int receiptNumber) {
    Database& db = m_session.Db();
    Statement h(db, QStringLiteral("SELECT \"DATUM\", \"SIFRA DOBAVLJACA\" FROM \"PRIMKE\" WHERE "
                                   "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"));
    h.Exec({warehouse, m_session.businessYear, receiptNumber});
    if (!h.Next()) {
        throw UserError(QStringLiteral("Ne postoji proknjižena primka broj ") +
                        QString::number(receiptNumber));
    }
    const QDate date = sqlvalue::ToDate(h.Value(0));
    const int receiptSupplier = h.Int(1);
    h.Finish();
    UraInvoice invoice = Invoice();
    books::FillFromReceipt(
        invoice, purchasing::TaxSummary(db, warehouse, m_session.businessYear, receiptNumber),
        date);
    // The receipt's rates take the frames; a fourth rate cannot be shown.
    SetFrames(invoice);
    base0 = Money(invoice.base0);
    dateText = DayText(invoice.date);
    dueText = DayText(invoice.due);
    if (receiptSupplier > 0) {
        supplier = receiptSupplier;
    }
    RecomputeTotal();
}

}  // namespace zodra::books

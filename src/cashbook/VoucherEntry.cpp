#include "cashbook/VoucherEntry.h"

#include <QRegularExpression>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/AmountInWords.h"

namespace zodra::cashbook {

namespace {

QString InvalidAmountMessage() {
    return QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu.");
}

std::optional<int> ParseNumber(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*\\d{1,9}\\s*$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int n = text.trimmed().toInt();
    return n > 0 ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

VoucherEntry::VoucherEntry(Session& session, VoucherKind kind, Prompter& prompter,
                           const QDate& today)
    : date(today), m_session(session), m_kind(kind), m_prompter(prompter) {
    SetNextNumber();
}

std::optional<double> VoucherEntry::ParseAmount(const QString& text) {
    // As the number boxes read it: a comma or a point, no grouping; a lone separator on the way
    // to a number counts 0.
    return inputrules::ParseNumber(text);
}

void VoucherEntry::SetNextNumber() {
    try {
        numberText = QString::number(NextVoucherNumber(
            m_session.Db(), m_kind, m_session.activeWarehouse.code, m_session.businessYear));
    } catch (const UserError& e) {
        // No number left after the highest: the user may still type a free one below it.
        m_prompter.Inform(e.message());
        numberText.clear();
    }
}

bool VoucherEntry::NumberLeft() {
    const auto number = ParseNumber(numberText);
    if (!number) {
        m_prompter.Inform(InvalidNumberMessage());
        SetNextNumber();
        return false;
    }
    if (VoucherExists(m_session.Db(), m_kind, m_session.activeWarehouse.code,
                      m_session.businessYear, *number)) {
        m_prompter.Inform(DuplicateMessage(m_kind));
        SetNextNumber();
        return false;
    }
    numberText = QString::number(*number);
    return true;
}

bool VoucherEntry::AmountChanged() {
    const QString typed = amountText.trimmed();
    if (typed.isEmpty() || typed == QLatin1String("-")) {
        return true;
    }
    const auto amount = ParseAmount(typed);
    if (!amount) {
        m_prompter.Inform(InvalidAmountMessage());
        amountText = QStringLiteral("0");
        words = AmountInWords(m_session.Db(), 0.0);
        return false;
    }
    try {
        words = AmountInWords(m_session.Db(), *amount);
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
        amountText = QStringLiteral("0");
        words = AmountInWords(m_session.Db(), 0.0);
        return false;
    }
    return true;
}

bool VoucherEntry::Accept() {
    if (!NumberLeft()) {
        return false;
    }
    const QString typed = amountText.trimmed();
    const auto amount = typed.isEmpty() || typed == QLatin1String("-") ? std::optional<double>(0.0)
                                                                       : ParseAmount(typed);
    if (!amount) {
        m_prompter.Inform(InvalidAmountMessage());
        amountText = QStringLiteral("0");
        words = AmountInWords(m_session.Db(), 0.0);
        return false;
    }
    if (!date.isValid()) {
        m_prompter.Inform(
            QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
        date = QDate::currentDate();
        return false;
    }
    Voucher v{numberText.toInt(), date, party, purpose, *amount, words};
    try {
        InsertVoucher(m_session.Db(), m_kind, m_session.activeWarehouse.code,
                      m_session.businessYear, v);
    } catch (const UserError& e) {
        // Taken by another workstation since the field was left.
        m_prompter.Inform(e.message());
        SetNextNumber();
        return false;
    }
    return true;
}

}  // namespace zodra::cashbook

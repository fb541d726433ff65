#include "books/KpiEntryForm.h"

#include <QRegularExpression>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"

namespace zodra::books {

namespace {

std::optional<int> ParseWhole(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*\\d{1,9}\\s*$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int n = text.trimmed().toInt();
    return n > 0 ? std::optional<int>(n) : std::nullopt;
}

QString AmountText(double value) {
    return QString::number(RoundMoney(value), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

KpiEntryForm::KpiEntryForm(Session& session, Prompter& prompter, const QDate& today)
    : date(today),
      type(kKpiDailySalesType),
      m_session(session),
      m_prompter(prompter),
      m_today(today) {
    amountTexts.fill(QStringLiteral("0,00"));
    SetNextNumber();
}

void KpiEntryForm::Fill(const KpiEntry& e) {
    numberText = QString::number(e.number);
    date = e.date;
    voucher = e.voucher;
    description = e.description;
    type = e.type;
    for (int i = 0; i < kKpiAmountCount; ++i) {
        amountTexts[static_cast<std::size_t>(i)] =
            AmountText(e.amounts[static_cast<std::size_t>(i)]);
    }
}

void KpiEntryForm::SetNextNumber() {
    numberText = QString::number(NextKpiNumber(m_session.Db(), m_session.businessYear));
}

bool KpiEntryForm::NumberLeft() {
    const auto number = ParseWhole(numberText);
    if (!number) {
        m_prompter.Inform(QStringLiteral("Nije ispravno upisan broj !"));
        SetNextNumber();
        return false;
    }
    if (KpiEntryExists(m_session.Db(), m_session.businessYear, *number)) {
        m_prompter.Inform(KpiDuplicateMessage());
        SetNextNumber();
        return false;
    }
    numberText = QString::number(*number);
    return true;
}

KpiAmounts KpiEntryForm::Amounts() const {
    KpiAmounts a{};
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = inputrules::ParseNumber(amountTexts[i].trimmed()).value_or(0.0);
    }
    return a;
}

bool KpiEntryForm::AmountLeft(int amount) {
    QString& text = amountTexts[static_cast<std::size_t>(amount)];
    const QString typed = text.trimmed();
    bool ok = true;
    if (!typed.isEmpty() && typed != QLatin1String("-") && !inputrules::ParseNumber(typed)) {
        m_prompter.Inform(inputrules::InvalidNumberMessage());
        text = QStringLiteral("0");
        ok = false;
    }
    KpiAmounts a = Amounts();
    ComputeKpiTotals(a);
    amountTexts[kReceiptsTotal] = AmountText(a[kReceiptsTotal]);
    amountTexts[kAllowedExpenditures] = AmountText(a[kAllowedExpenditures]);
    return ok;
}

bool KpiEntryForm::VoucherLeft() {
    if (voucher.size() > kKpiMaxVoucher) {
        m_prompter.Inform(KpiVoucherTooLong());
        return false;
    }
    return true;
}

bool KpiEntryForm::DescriptionLeft() {
    if (description.size() > kKpiMaxDescription) {
        m_prompter.Inform(KpiDescriptionTooLong());
        return false;
    }
    return true;
}

bool KpiEntryForm::Accept() {
    if (!NumberLeft() || !VoucherLeft() || !DescriptionLeft()) {
        return false;
    }
    for (int i = 0; i < kKpiAmountCount; ++i) {
        if (!AmountLeft(i)) {
            return false;
        }
    }
    if (!date.isValid()) {
        m_prompter.Inform(inputrules::InvalidDateMessage());
        date = m_today;
        return false;
    }
    KpiEntry e;
    e.number = numberText.toInt();
    e.date = date;
    e.voucher = voucher;
    e.description = description;
    e.type = type;
    e.amounts = Amounts();
    try {
        InsertKpiEntry(m_session.Db(), m_session.businessYear, e);
    } catch (const UserError& error) {
        m_prompter.Inform(error.message());
        if (error.message() == KpiDuplicateMessage()) {
            SetNextNumber();  // taken by another workstation since the field was left
        }
        return false;
    }
    m_written = e.number;
    return true;
}

}  // namespace zodra::books

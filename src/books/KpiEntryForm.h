#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>

#include "books/KpiBook.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::books {

// The entry window "Upis primitaka i izdataka" without its widgets: the fields as typed, the
// checks made when a field is left, and "Prihvati". A proposal (a collection or a payment of an
// R-2 company) fills the fields before the window shows them.
class KpiEntryForm {
public:
    KpiEntryForm(Session& session, Prompter& prompter, const QDate& today = QDate::currentDate());

    // Fills the fields from an entry (its number, date, texts, type and amounts).
    void Fill(const KpiEntry& entry);

    QString numberText;
    QDate date;
    QString voucher;
    QString description;
    std::optional<int> type;
    std::array<QString, kKpiAmountCount> amountTexts;

    // The number field was left: "Nije ispravno upisan broj !" or the duplicate message, and the
    // field takes the next free number. False when the field was changed.
    bool NumberLeft();
    // An amount field was left: anything but a number, "" or "-" gives "Nije ispravno upisan
    // broj. Vrijednost će biti postavljena na nulu." and the field becomes "0"; then both totals
    // are computed again. False when the field was changed.
    bool AmountLeft(int amount);
    // The voucher and description fields were left: the length messages (the text stays, so
    // that nothing typed is lost; "Prihvati" refuses until it is shortened).
    bool VoucherLeft();
    bool DescriptionLeft();
    // "Prihvati": every check, then the entry is written. On a refusal the message is shown and
    // false returned; the window stays open with what was typed.
    bool Accept();

    int WrittenNumber() const { return m_written; }

private:
    void SetNextNumber();
    KpiAmounts Amounts() const;

    Session& m_session;
    Prompter& m_prompter;
    QDate m_today;
    int m_written = 0;
};

}  // namespace zodra::books

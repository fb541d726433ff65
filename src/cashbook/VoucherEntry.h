#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "cashbook/CashBook.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::cashbook {

// The entry window "Upis u blagajnu" without its widgets: the fields as the user typed them,
// the checks made when a field is left or changed, and "Prihvati". The window shows the
// fields, calls these and closes when Accept() succeeds.
class VoucherEntry {
public:
    VoucherEntry(Session& session, VoucherKind kind, Prompter& prompter,
                 const QDate& today = QDate::currentDate());

    VoucherKind Kind() const { return m_kind; }
    QString Caption() const { return EntryCaption(m_kind); }
    QString PartyLabel() const { return cashbook::PartyLabel(m_kind); }

    // The fields (the window writes what was typed and reads back what the checks set).
    QString numberText;
    QDate date;
    QString party;
    QString purpose;
    QString amountText;
    QString words;

    // The number field was left: not a whole number gives "Nije ispravno upisan broj !", a
    // number already used gives the duplicate message; either way the field takes the next
    // free number. Returns false when the field was changed.
    bool NumberLeft();
    // The amount field changed: a number fills the words; "" and "-" are left alone while
    // typing; anything else gives "Nije ispravno upisan broj. Vrijednost će biti postavljena
    // na nulu." and the field becomes "0". Returns false when the field was changed.
    bool AmountChanged();
    // "Prihvati": the checks once more, then the voucher is appended (the number checked again
    // inside the write). On a refusal the message is shown, the field corrected and false
    // returned: the window stays open with everything else as typed.
    bool Accept();

    // A typed amount: digits with a decimal comma or point, optionally negative.
    static std::optional<double> ParseAmount(const QString& text);

private:
    void SetNextNumber();

    Session& m_session;
    VoucherKind m_kind;
    Prompter& m_prompter;
};

}  // namespace zodra::cashbook

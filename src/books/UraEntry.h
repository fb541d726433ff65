#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "books/UraBook.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::books {

// The entry window "Upis ulaznog računa" without its widgets: the fields as typed, the checks
// made when a field is left and "Prihvati". Amounts come in frames: each frame has a rate (one
// of the book's rate columns) and its base, total input tax, deductible and non-deductible
// parts. The window shows the fields, calls these and closes when Accept() succeeds; on a
// refusal the message is shown and everything typed stays.
class UraEntry {
public:
    static constexpr int kFrames = 3;

    struct Frame {
        int rate = 0;
        QString base = QStringLiteral("0");
        QString tax = QStringLiteral("0");
        QString deductible = QStringLiteral("0");
        QString nonDeductible = QStringLiteral("0");
    };

    UraEntry(Session& session, Prompter& prompter, int book,
             const QDate& today = QDate::currentDate());

    // The rates a frame can take: the book's rate columns, highest first.
    static std::vector<int> RateChoices();
    // "Osnovica 25%" / "Pretporez 25%": a frame's captions follow its rate.
    static QString BaseCaption(int rate);
    static QString TaxCaption(int rate);

    QString numberText;  // Redni broj
    QString invoiceNumber;
    QString dateText;
    QString dueText;
    int supplier = 0;
    QString type = QStringLiteral("R-1");
    PurchaseKind kind = PurchaseKind::Domestic;
    QString base0 = QStringLiteral("0");
    std::array<Frame, kFrames> frames;
    QString total = QStringLiteral("0.00");

    int Book() const { return m_book; }
    bool Editing() const { return m_editing; }

    // Opens an invoice of the book for rewriting; false (with the message) when there is none.
    bool Open(int number);
    // Fills the amounts, dates and supplier from a posted receipt's tax summary.
    void FillFromReceipt(int warehouse, int receiptNumber);

    // Leaving fields. Each returns false when it had to change what was typed.
    bool NumberLeft();
    bool DateLeft();
    bool DueLeft();
    bool Base0Left();
    bool BaseLeft(int frame);
    bool TaxLeft(int frame);
    bool DeductibleLeft(int frame);
    bool NonDeductibleLeft(int frame);
    // The frame's rate was changed: its tax follows its base at the new rate.
    void RateChanged(int frame);

    // "Prihvati": all checks, then the invoice added (or rewritten) in one transaction.
    bool Accept();

    // The invoice the fields describe (amounts that do not parse count 0).
    UraInvoice Invoice() const;

private:
    void SetNextNumber();
    void RecomputeTotal();
    void FrameFromBase(Frame& f);
    void SetFrames(const UraInvoice& invoice);

    Session& m_session;
    Prompter& m_prompter;
    int m_book;
    QDate m_today;
    bool m_editing = false;
};

}  // namespace zodra::books

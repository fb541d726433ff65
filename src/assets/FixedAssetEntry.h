#pragma once

#include <QString>
#include <optional>

#include "assets/FixedAssetRegister.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::assets {

// The entry window "Upis dugotrajne imovine" without its widgets: the fields as typed, the
// checks made when a field is left, the depreciation that follows the figures, and "Prihvati".
// A new row is offered the year's next number and 12 months; a row opened from the list to be
// changed keeps its number and figures until the user changes one.
class FixedAssetEntry {
public:
    FixedAssetEntry(Database& db, int year, Prompter& prompter);
    FixedAssetEntry(Database& db, int year, Prompter& prompter, const FixedAsset& existing);

    bool IsChange() const { return m_original.has_value(); }
    int Year() const { return m_year; }

    // The fields. The number and the months are text (their own checks); the figures are
    // numbers the window's number boxes have already read.
    QString numberText;
    QString monthsText = QStringLiteral("12");
    FixedAsset asset;

    // "Redni broj" left: not a whole number from 1 gives "Nije ispravno upisan broj !", a
    // number the year already has the duplicate message; either way the field takes the next
    // free number (a changed row: its own). False when the field was changed.
    bool NumberLeft();
    // The text fields left: too long a text gives its message; the text stays as typed.
    bool NameLeft();
    bool DocumentLeft();
    bool GroupLeft();
    // Months left: not a whole number from 0 to 12 gives the months message and becomes "0";
    // the depreciation follows either way.
    bool MonthsLeft();
    // Purchase value, book value or rate changed: the depreciation and year-end value again.
    void Recompute();
    // The depreciation typed: the year-end value follows; the year-end value typed: the
    // depreciation follows, so that the two always add up to the book value.
    void DepreciationEdited();
    void YearEndEdited();

    // "Prihvati": the three texts in order, then the number, then the figures; the row is added
    // (or the changed row saved). A refusal shows its message and returns false; everything
    // typed stays.
    bool Accept();

private:
    std::optional<int> ParsedNumber() const;
    void OfferNumber();

    Database& m_db;
    int m_year;
    Prompter& m_prompter;
    std::optional<FixedAsset> m_original;
};

}  // namespace zodra::assets

#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zodra::pos {

// Receipt-printer and customer-display text in the bytes of the configured code page:
//  437  Croatian letters as their 7-bit substitutes (Š→[, Đ→\, Č→^, Ć→], Ž→@, š→{, đ→|, č→~,
//       ć→}, ž→`); any other character outside ASCII becomes "?".
//  852  Croatian letters as their code-page-852 bytes, every character converted exactly once;
//       other characters outside ASCII become "?".
//  1250 each character as its Windows-1250 byte (Croatian letters, €, §, °, …), so "@", "[",
//       "|" and the other ASCII characters print as themselves; characters 1250 lacks become "?".
//  any other code page: the text as UTF-8.
QByteArray MapPosText(const QString& text, int codePage);

// Byte codes written in hexadecimal and separated by blanks ("1B 40", "5"). nullopt when a code
// is not a hexadecimal number from 0 to FF.
std::optional<QByteArray> HexBytes(const QString& codes);

// The "n" of the printer's character-table command ESC t n sent after the initialisation bytes.
// `setting` is "POS Printer Code Page Select": empty picks the usual table of the code page
// (437 → 0, 852 → 18, 1250 → 45; others: none), "NE" sends none, a number 0–255 is used as is.
// nullopt: no command is sent. `ok` false for a setting that is none of these.
std::optional<int> CodePageSelect(const QString& setting, int codePage, bool* ok = nullptr);

}  // namespace zodra::pos

#pragma once

#include <QString>

// The check digits of the numbers partners and the company are known by.
namespace zodra::registers {

// An OIB: eleven digits whose last is the ISO 7064 (MOD 11,10) check digit of the others.
bool IsValidOib(const QString& oib);
// An IBAN whose check digits hold (ISO 13616, MOD 97-10); blanks and letter case are ignored.
bool IsValidIban(const QString& iban);

}  // namespace zodra::registers

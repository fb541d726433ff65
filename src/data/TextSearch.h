#pragma once

#include <QString>

#include "data/SqlDialect.h"

namespace zodra {

// Search texts typed by users.
namespace textsearch {

// Folds a text for case-insensitive comparison ("Čaj" and "čAJ" fold alike).
QString Fold(const QString& text);

// Turns what the user typed, where "*" is the wildcard, into a LIKE pattern for use with
// ESCAPE '\': "*" becomes "%", and "%", "_" and "\" stand for themselves. The pattern is
// folded, to be compared with zfold(column).
QString LikePattern(const QString& typed);

// The same, with a trailing wildcard (typing "ča" finds "Čaj").
QString PrefixPattern(const QString& typed);

// The search key of an expression as SQL: the folded text, compared character code by character
// code whatever the database's own collation (a language's collation orders "nj" after every
// other "n…", so a prefix's range of keys would miss it). Every search by key (=, LIKE, a
// prefix's range) goes through it, and the key indexes are made in the same order.
QString KeyExpression(SqlDialect dialect, const QString& expression);

// Croatian comparison for sorting in the program (same order as the HR collation).
int Compare(const QString& a, const QString& b);

}  // namespace textsearch
}  // namespace zodra

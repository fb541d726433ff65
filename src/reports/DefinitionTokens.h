#pragma once

#include <QString>
#include <vector>

// The pieces of one line of a report file, shared by the file's reader and its expression
// reader. Internal to the report definition reader.
namespace zodra::reports::detail {

struct Token {
    enum class Kind { Word, Number, String, Field, Param, Punct };
    Kind kind = Kind::Word;
    QString text;
    double number = 0;
    qsizetype column = 0;  // where the token starts in its line
};

using Tokens = std::vector<Token>;

// A mistake found in a line; the file's reader adds the file name and line number.
struct ParseError {
    QString reason;
};

// Splits a line into words (letters, digits, "_" and inner "-": page-header), numbers, texts in
// double quotes ("" for a quote inside), texts in single quotes (the texts of conditions in
// formula syntax, kept as Punct tokens and read again from the line as written), fields
// {…}, parameters :NAME and the operators ( ) , + - * / & = <> < <= > >=. "#" outside quotes
// starts a comment. Throws ParseError.
Tokens Tokenize(const QString& line);

}  // namespace zodra::reports::detail

#include "reports/DefinitionTokens.h"

namespace zodra::reports::detail {

namespace {

[[noreturn]] void Fail(const QString& reason) {
    throw ParseError{reason};
}

}  // namespace

Tokens Tokenize(const QString& line) {
    Tokens tokens;
    qsizetype i = 0;
    const qsizetype n = line.size();
    const auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    while (i < n) {
        const QChar c = line.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('#')) {
            break;  // comment to the end of the line
        }
        Token t;
        t.column = i;
        if (c.isLetter() || c == QLatin1Char('_')) {
            qsizetype j = i + 1;
            while (j < n && (wordChar(line.at(j)) || (line.at(j) == QLatin1Char('-') && j + 1 < n &&
                                                      line.at(j + 1).isLetter()))) {
                ++j;
            }
            t.kind = Token::Kind::Word;
            t.text = line.mid(i, j - i);
            i = j;
        } else if (c.isDigit() ||
                   (c == QLatin1Char('.') && i + 1 < n && line.at(i + 1).isDigit())) {
            qsizetype j = i;
            while (j < n && (line.at(j).isDigit() || line.at(j) == QLatin1Char('.'))) {
                ++j;
            }
            t.kind = Token::Kind::Number;
            t.text = line.mid(i, j - i);
            bool ok = false;
            t.number = t.text.toDouble(&ok);
            if (!ok) {
                Fail(QStringLiteral("neispravan broj \"") + t.text + QLatin1Char('"'));
            }
            i = j;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            // Texts of the layout are in double quotes; single quotes are the texts of
            // conditions in formula syntax (read again from the line as written).
            qsizetype j = i + 1;
            QString s;
            bool closed = false;
            while (j < n) {
                if (line.at(j) == c) {
                    if (j + 1 < n && line.at(j + 1) == c) {
                        s += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                s += line.at(j++);
            }
            if (!closed && c == QLatin1Char('"')) {
                Fail(QStringLiteral("tekst nije zatvoren navodnikom"));
            }
            t.kind = c == QLatin1Char('"') ? Token::Kind::String : Token::Kind::Punct;
            t.text = s;
            i = j;
        } else if (c == QLatin1Char('{')) {
            const qsizetype close = line.indexOf(QLatin1Char('}'), i);
            if (close < 0) {
                Fail(QStringLiteral("polje nije zatvoreno znakom }"));
            }
            t.kind = Token::Kind::Field;
            t.text = line.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
        } else if (c == QLatin1Char(':') && i + 1 < n && wordChar(line.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && wordChar(line.at(j))) {
                ++j;
            }
            t.kind = Token::Kind::Param;
            t.text = line.mid(i + 1, j - i - 1);
            i = j;
        } else {
            t.kind = Token::Kind::Punct;
            const QString two = line.mid(i, 2);
            if (two == QLatin1String("<>") || two == QLatin1String("<=") ||
                two == QLatin1String(">=")) {
                t.text = two;
                i += 2;
            } else if (QStringLiteral("(),+-*/&=<>").contains(c)) {
                t.text = c;
                ++i;
            } else {
                Fail(QStringLiteral("neočekivan znak \"") + c + QLatin1Char('"'));
            }
        }
        tokens.push_back(t);
    }
    return tokens;
}

}  // namespace zodra::reports::detail

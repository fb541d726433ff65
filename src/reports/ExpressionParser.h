#pragma once

#include <QString>
#include <vector>

#include "reports/DefinitionTokens.h"
#include "reports/ReportDefinition.h"

namespace zodra::reports::detail {

// Reads the expressions and text templates of a layout line (see Expression.h for the
// language). Mistakes are thrown as ParseError.
class ExpressionParser {
public:
    explicit ExpressionParser(const Tokens& tokens) : m_tokens(tokens) {}

    // The expression made of the tokens [begin, end).
    ExprPtr ParseExpression(std::size_t begin, std::size_t end) const;
    // What stands between braces: a formula, a special value or a field.
    ExprPtr Reference(const QString& inner) const;
    // A text with {…} places, each with an optional "|format".
    std::vector<TemplatePart> ParseTemplate(const QString& text) const;

private:
    [[noreturn]] static void Fail(const QString& reason) { throw ParseError{reason}; }
    bool IsWord(std::size_t i, const char* word) const {
        return i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Word &&
               m_tokens[i].text == QLatin1String(word);
    }
    bool PunctAt(std::size_t i, std::size_t end, const char* p) const;
    bool WordAt(std::size_t i, std::size_t end, const char* w) const;
    static ExprPtr Binary(const QString& op, ExprPtr a, ExprPtr b);
    ExprPtr ParseOr(std::size_t& i, std::size_t end) const;
    ExprPtr ParseAnd(std::size_t& i, std::size_t end) const;
    ExprPtr ParseNot(std::size_t& i, std::size_t end) const;
    ExprPtr ParseComparison(std::size_t& i, std::size_t end) const;
    ExprPtr ParseConcat(std::size_t& i, std::size_t end) const;
    ExprPtr ParseAdditive(std::size_t& i, std::size_t end) const;
    ExprPtr ParseTerm(std::size_t& i, std::size_t end) const;
    ExprPtr ParseUnary(std::size_t& i, std::size_t end) const;
    ExprPtr ParsePrimary(std::size_t& i, std::size_t end) const;
    void CheckCall(const Expr& e) const;

    const Tokens& m_tokens;
};

}  // namespace zodra::reports::detail

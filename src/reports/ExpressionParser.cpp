#include "reports/ExpressionParser.h"

namespace zodra::reports::detail {

// A text with {…} places: {TABLE.FIELD}, {@FORMULA}, {PageNumber} …, each with an optional
// "|format"; "{{" and "}}" stand for the braces themselves.
std::vector<TemplatePart> ExpressionParser::ParseTemplate(const QString& text) const {
    std::vector<TemplatePart> parts;
    QString literal;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('{') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('{')) {
            literal += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('}') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('}')) {
            literal += c;
            ++i;
            continue;
        }
        if (c != QLatin1Char('{')) {
            literal += c;
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i);
        if (close < 0) {
            Fail(QStringLiteral("u tekstu polje nije zatvoreno znakom }"));
        }
        if (!literal.isEmpty()) {
            parts.push_back({literal, nullptr, QString()});
            literal.clear();
        }
        QString inner = text.mid(i + 1, close - i - 1).trimmed();
        TemplatePart part;
        const qsizetype bar = inner.indexOf(QLatin1Char('|'));
        if (bar >= 0) {
            part.format = inner.mid(bar + 1).trimmed();
            inner = inner.left(bar).trimmed();
        }
        part.value = Reference(inner);
        parts.push_back(part);
        i = close;
    }
    if (!literal.isEmpty()) {
        parts.push_back({literal, nullptr, QString()});
    }
    return parts;
}

// What stands between braces: a formula, a special value or a field.
ExprPtr ExpressionParser::Reference(const QString& inner) const {
    auto e = std::make_shared<Expr>();
    if (inner.startsWith(QLatin1Char('@'))) {
        e->kind = Expr::Kind::Formula;
        e->name = inner.mid(1).trimmed();
        if (e->name.isEmpty()) {
            Fail(QStringLiteral("formula {@IME} nema imena"));
        }
    } else if (IsSpecialName(inner)) {
        e->kind = Expr::Kind::Special;
        e->name = inner;
    } else {
        e->kind = Expr::Kind::Field;
        e->field = FieldRef::FromBraces(inner);
        if (e->field.field.isEmpty()) {
            Fail(QStringLiteral("prazno polje {}"));
        }
    }
    return e;
}

// Expressions: precedence climbing over the tokens [begin, end).
ExprPtr ExpressionParser::ParseExpression(std::size_t begin, std::size_t end) const {
    if (begin >= end) {
        Fail(QStringLiteral("nedostaje izraz"));
    }
    std::size_t i = begin;
    ExprPtr e = ParseOr(i, end);
    if (i != end) {
        Fail(QStringLiteral("neočekivano \"") + m_tokens[i].text + QStringLiteral("\" u izrazu"));
    }
    return e;
}

bool ExpressionParser::PunctAt(std::size_t i, std::size_t end, const char* p) const {
    return i < end && m_tokens[i].kind == Token::Kind::Punct &&
           m_tokens[i].text == QLatin1String(p);
}
bool ExpressionParser::WordAt(std::size_t i, std::size_t end, const char* w) const {
    return i < end && IsWord(i, w);
}

ExprPtr ExpressionParser::Binary(const QString& op, ExprPtr a, ExprPtr b) {
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Kind::Binary;
    e->name = op;
    e->args = {std::move(a), std::move(b)};
    return e;
}

ExprPtr ExpressionParser::ParseOr(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseAnd(i, end);
    while (WordAt(i, end, "or")) {
        ++i;
        left = Binary(QStringLiteral("or"), left, ParseAnd(i, end));
    }
    return left;
}

ExprPtr ExpressionParser::ParseAnd(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseNot(i, end);
    while (WordAt(i, end, "and")) {
        ++i;
        left = Binary(QStringLiteral("and"), left, ParseNot(i, end));
    }
    return left;
}

ExprPtr ExpressionParser::ParseNot(std::size_t& i, std::size_t end) const {
    if (WordAt(i, end, "not")) {
        ++i;
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Unary;
        e->name = QStringLiteral("not");
        e->args = {ParseNot(i, end)};
        return e;
    }
    return ParseComparison(i, end);
}

ExprPtr ExpressionParser::ParseComparison(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseConcat(i, end);
    for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
        if (PunctAt(i, end, op)) {
            ++i;
            return Binary(QString::fromLatin1(op), left, ParseConcat(i, end));
        }
    }
    return left;
}

ExprPtr ExpressionParser::ParseConcat(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseAdditive(i, end);
    while (PunctAt(i, end, "&")) {
        ++i;
        left = Binary(QStringLiteral("&"), left, ParseAdditive(i, end));
    }
    return left;
}

ExprPtr ExpressionParser::ParseAdditive(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseTerm(i, end);
    while (PunctAt(i, end, "+") || PunctAt(i, end, "-")) {
        const QString op = m_tokens[i++].text;
        left = Binary(op, left, ParseTerm(i, end));
    }
    return left;
}

ExprPtr ExpressionParser::ParseTerm(std::size_t& i, std::size_t end) const {
    ExprPtr left = ParseUnary(i, end);
    while (PunctAt(i, end, "*") || PunctAt(i, end, "/")) {
        const QString op = m_tokens[i++].text;
        left = Binary(op, left, ParseUnary(i, end));
    }
    return left;
}

ExprPtr ExpressionParser::ParseUnary(std::size_t& i, std::size_t end) const {
    if (PunctAt(i, end, "-")) {
        ++i;
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Unary;
        e->name = QStringLiteral("-");
        e->args = {ParseUnary(i, end)};
        return e;
    }
    return ParsePrimary(i, end);
}

ExprPtr ExpressionParser::ParsePrimary(std::size_t& i, std::size_t end) const {
    if (i >= end) {
        Fail(QStringLiteral("izraz je nepotpun"));
    }
    const Token& t = m_tokens[i];
    auto e = std::make_shared<Expr>();
    switch (t.kind) {
        case Token::Kind::Number:
            ++i;
            e->value = t.number;
            return e;
        case Token::Kind::String:
            ++i;
            e->value = t.text;
            return e;
        case Token::Kind::Field:
            ++i;
            return Reference(t.text);
        case Token::Kind::Param:
            Fail(QStringLiteral("parametar :") + t.text +
                 QStringLiteral(" se u izrazima ne koristi; koristi se u uvjetima bloka data"));
        case Token::Kind::Punct:
            if (t.text == QLatin1String("(")) {
                ++i;
                ExprPtr inner = ParseOr(i, end);
                if (!PunctAt(i, end, ")")) {
                    Fail(QStringLiteral("nedostaje )"));
                }
                ++i;
                return inner;
            }
            Fail(QStringLiteral("neočekivano \"") + t.text + QStringLiteral("\" u izrazu"));
        case Token::Kind::Word:
            break;
    }
    ++i;
    if (t.text == QLatin1String("true") || t.text == QLatin1String("false")) {
        e->value = t.text == QLatin1String("true");
        return e;
    }
    if (t.text == QLatin1String("null")) {
        return e;
    }
    if (IsSpecialName(t.text)) {
        e->kind = Expr::Kind::Special;
        e->name = t.text;
        return e;
    }
    if (!PunctAt(i, end, "(")) {
        Fail(QStringLiteral("nepoznato ime \"") + t.text + QStringLiteral("\" u izrazu"));
    }
    ++i;
    e->kind = Expr::Kind::Call;
    e->name = t.text.toLower();
    if (!PunctAt(i, end, ")")) {
        for (;;) {
            e->args.push_back(ParseOr(i, end));
            if (PunctAt(i, end, ",")) {
                ++i;
                continue;
            }
            break;
        }
    }
    if (!PunctAt(i, end, ")")) {
        Fail(QStringLiteral("nedostaje ) nakon argumenata funkcije ") + e->name);
    }
    ++i;
    CheckCall(*e);
    return e;
}

void ExpressionParser::CheckCall(const Expr& e) const {
    struct Arity {
        const char* name;
        int min;
        int max;
    };
    static const Arity kFunctions[] = {
        {"sum", 1, 1}, {"count", 0, 1}, {"min", 1, 1},    {"max", 1, 1},   {"avg", 1, 1},
        {"if", 3, 3},  {"empty", 1, 1}, {"format", 2, 2}, {"round", 1, 2}, {"abs", 1, 1}};
    for (const Arity& f : kFunctions) {
        if (e.name == QLatin1String(f.name)) {
            const int n = static_cast<int>(e.args.size());
            if (n < f.min || n > f.max) {
                Fail(QStringLiteral("funkcija ") + e.name +
                     QStringLiteral(" ima pogrešan broj argumenata"));
            }
            if (e.IsAggregate()) {
                for (const ExprPtr& arg : e.args) {
                    ForEachNode(*arg, [this](const Expr& inner) {
                        if (inner.IsAggregate()) {
                            Fail(QStringLiteral("zbroj unutar zbroja nije dopušten"));
                        }
                    });
                }
            }
            return;
        }
    }
    Fail(QStringLiteral("nepoznata funkcija ") + e.name);
}

}  // namespace zodra::reports::detail

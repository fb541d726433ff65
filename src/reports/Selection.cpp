#include "reports/Selection.h"

#include <QDate>

#include "data/Errors.h"
#include "data/TextSearch.h"

namespace zodra::reports {

QString FieldRef::Text() const {
    if (table.isEmpty()) {
        return QLatin1Char('{') + field + QLatin1Char('}');
    }
    return QLatin1Char('{') + table + QLatin1Char('.') + field + QLatin1Char('}');
}

FieldRef FieldRef::FromBraces(const QString& inner) {
    const qsizetype dot = inner.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        return {QString(), inner.trimmed()};
    }
    return {inner.left(dot).trimmed(), inner.mid(dot + 1).trimmed()};
}

Operand Operand::OfField(const FieldRef& f) {
    Operand o;
    o.kind = Kind::Field;
    o.field = f;
    return o;
}

Operand Operand::OfValue(const QVariant& v) {
    Operand o;
    o.kind = Kind::Value;
    o.value = v;
    return o;
}

Operand Operand::OfParameter(const QString& name) {
    Operand o;
    o.kind = Kind::Parameter;
    o.parameter = name;
    return o;
}

QString ToText(CompareOp op) {
    switch (op) {
        case CompareOp::Equal:
            return QStringLiteral("=");
        case CompareOp::NotEqual:
            return QStringLiteral("<>");
        case CompareOp::Less:
            return QStringLiteral("<");
        case CompareOp::LessOrEqual:
            return QStringLiteral("<=");
        case CompareOp::Greater:
            return QStringLiteral(">");
        case CompareOp::GreaterOrEqual:
            return QStringLiteral(">=");
        case CompareOp::Like:
            return QStringLiteral(" like ");
    }
    return QString();
}

namespace {

// A hand-written recursive-descent reader of the formula text. Every refusal names the
// 1-based character position where reading stopped.
class FormulaReader {
public:
    FormulaReader(const QString& text, bool allowParameters)
        : m_text(text), m_allowParameters(allowParameters) {}

    Selection Read() {
        Selection selection;
        SkipBlanks();
        if (AtEnd()) {
            return selection;
        }
        for (;;) {
            selection.Add(ReadComparison());
            SkipBlanks();
            if (AtEnd()) {
                break;
            }
            if (!TakeWord(u"AND")) {
                Fail(QStringLiteral("očekuje se AND između usporedbi"));
            }
            SkipBlanks();
            if (AtEnd()) {
                Fail(QStringLiteral("nakon AND nedostaje usporedba"));
            }
        }
        return selection;
    }

private:
    [[noreturn]] void Fail(const QString& reason) const {
        throw UserError(QStringLiteral("Formula za izbor zapisa nije ispravna: ") + reason +
                        QStringLiteral(" (znak ") + QString::number(m_pos + 1) +
                        QStringLiteral(")."));
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    QChar Peek(qsizetype ahead = 0) const {
        return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar();
    }
    void SkipBlanks() {
        while (!AtEnd() && Peek().isSpace()) {
            ++m_pos;
        }
    }

    // A keyword, case-insensitive, not followed by a letter or digit.
    bool TakeWord(QStringView word) {
        const qsizetype n = word.size();
        if (m_text.mid(m_pos, n).compare(word, Qt::CaseInsensitive) != 0) {
            return false;
        }
        const QChar after = Peek(n);
        if (after.isLetterOrNumber() || after == QLatin1Char('_')) {
            return false;
        }
        m_pos += n;
        return true;
    }

    Comparison ReadComparison() {
        Comparison c;
        const qsizetype start = m_pos;
        c.left = ReadOperand();
        SkipBlanks();
        c.op = ReadOperator();
        SkipBlanks();
        if (AtEnd()) {
            Fail(QStringLiteral("nakon usporedbe nedostaje vrijednost"));
        }
        c.right = ReadOperand();
        if (c.op == CompareOp::Like) {
            if (c.left.kind != Operand::Kind::Field) {
                m_pos = start;
                Fail(QStringLiteral("lijevo od like mora biti polje"));
            }
            if (c.right.kind == Operand::Kind::Value &&
                c.right.value.typeId() != QMetaType::QString) {
                Fail(QStringLiteral("desno od like mora biti tekst u jednostrukim navodnicima"));
            }
        }
        if (c.left.kind != Operand::Kind::Field && c.right.kind != Operand::Kind::Field) {
            m_pos = start;
            Fail(QStringLiteral("usporedba mora sadržavati polje {TABLICA.POLJE}"));
        }
        return c;
    }

    CompareOp ReadOperator() {
        const QChar c = Peek();
        if (c == QLatin1Char('=')) {
            ++m_pos;
            return CompareOp::Equal;
        }
        if (c == QLatin1Char('<')) {
            ++m_pos;
            if (Peek() == QLatin1Char('>')) {
                ++m_pos;
                return CompareOp::NotEqual;
            }
            if (Peek() == QLatin1Char('=')) {
                ++m_pos;
                return CompareOp::LessOrEqual;
            }
            return CompareOp::Less;
        }
        if (c == QLatin1Char('>')) {
            ++m_pos;
            if (Peek() == QLatin1Char('=')) {
                ++m_pos;
                return CompareOp::GreaterOrEqual;
            }
            return CompareOp::Greater;
        }
        if (TakeWord(u"like")) {
            return CompareOp::Like;
        }
        Fail(QStringLiteral("očekuje se usporedba (=, <>, <, <=, >, >= ili like)"));
    }

    Operand ReadOperand() {
        const QChar c = Peek();
        if (c == QLatin1Char('{')) {
            return Operand::OfField(ReadField());
        }
        if (c == QLatin1Char('\'')) {
            return Operand::OfValue(ReadText());
        }
        if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) &&
                            (Peek(1).isDigit() || Peek(1) == QLatin1Char('.')))) {
            return Operand::OfValue(ReadNumber());
        }
        if (c == QLatin1Char(':')) {
            if (!m_allowParameters) {
                Fail(QStringLiteral("parametri (:IME) nisu dopušteni"));
            }
            ++m_pos;
            const qsizetype begin = m_pos;
            while (!AtEnd() && (Peek().isLetterOrNumber() || Peek() == QLatin1Char('_'))) {
                ++m_pos;
            }
            if (m_pos == begin) {
                Fail(QStringLiteral("nakon : nedostaje ime parametra"));
            }
            return Operand::OfParameter(m_text.mid(begin, m_pos - begin));
        }
        if (TakeWord(u"DATE")) {
            return Operand::OfValue(ReadDate());
        }
        if (TakeWord(u"TRUE")) {
            return Operand::OfValue(true);
        }
        if (TakeWord(u"FALSE")) {
            return Operand::OfValue(false);
        }
        if (c == QLatin1Char('"')) {
            Fail(QStringLiteral("tekst se piše u jednostrukim navodnicima ('tekst')"));
        }
        Fail(QStringLiteral(
            "očekuje se polje {TABLICA.POLJE}, broj, tekst u navodnicima ili DATE(g,m,d)"));
    }

    FieldRef ReadField() {
        const qsizetype open = m_pos;
        const qsizetype close = m_text.indexOf(QLatin1Char('}'), m_pos);
        const qsizetype nextOpen = m_text.indexOf(QLatin1Char('{'), m_pos + 1);
        if (close < 0 || (nextOpen >= 0 && nextOpen < close)) {
            Fail(QStringLiteral("polje nije zatvoreno znakom }"));
        }
        const FieldRef field = FieldRef::FromBraces(m_text.mid(open + 1, close - open - 1));
        if (field.field.isEmpty() ||
            (m_text.mid(open + 1, close - open - 1).contains(QLatin1Char('.')) &&
             field.table.isEmpty())) {
            Fail(QStringLiteral("polje mora imati oblik {TABLICA.POLJE}"));
        }
        m_pos = close + 1;
        return field;
    }

    QString ReadText() {
        ++m_pos;  // opening quote
        QString out;
        for (;;) {
            if (AtEnd()) {
                Fail(QStringLiteral("tekst nije zatvoren jednostrukim navodnikom"));
            }
            const QChar c = Peek();
            ++m_pos;
            if (c == QLatin1Char('\'')) {
                if (Peek() == QLatin1Char('\'')) {
                    out += c;
                    ++m_pos;
                    continue;
                }
                return out;
            }
            out += c;
        }
    }

    QVariant ReadNumber() {
        const qsizetype begin = m_pos;
        if (Peek() == QLatin1Char('-')) {
            ++m_pos;
        }
        bool point = false;
        while (!AtEnd() && (Peek().isDigit() || (!point && Peek() == QLatin1Char('.')))) {
            point = point || Peek() == QLatin1Char('.');
            ++m_pos;
        }
        if (Peek().isLetter() || Peek() == QLatin1Char('_')) {
            Fail(QStringLiteral("neispravan broj"));
        }
        const QString digits = m_text.mid(begin, m_pos - begin);
        bool ok = false;
        if (!point) {
            const qlonglong v = digits.toLongLong(&ok);
            if (ok) {
                return v;
            }
        }
        const double d = digits.toDouble(&ok);
        if (!ok) {
            m_pos = begin;
            Fail(QStringLiteral("neispravan broj"));
        }
        return d;
    }

    int ReadDatePart(bool last) {
        SkipBlanks();
        const qsizetype begin = m_pos;
        while (!AtEnd() && Peek().isDigit()) {
            ++m_pos;
        }
        if (m_pos == begin) {
            Fail(QStringLiteral("DATE traži tri broja: DATE(godina,mjesec,dan)"));
        }
        const int value = m_text.mid(begin, m_pos - begin).toInt();
        SkipBlanks();
        const QChar expected = last ? QLatin1Char(')') : QLatin1Char(',');
        if (Peek() != expected) {
            Fail(QStringLiteral("DATE traži tri broja: DATE(godina,mjesec,dan)"));
        }
        ++m_pos;
        return value;
    }

    QDate ReadDate() {
        SkipBlanks();
        const qsizetype begin = m_pos;
        if (Peek() != QLatin1Char('(')) {
            Fail(QStringLiteral("DATE traži tri broja: DATE(godina,mjesec,dan)"));
        }
        ++m_pos;
        const int y = ReadDatePart(false);
        const int m = ReadDatePart(false);
        const int d = ReadDatePart(true);
        const QDate date(y, m, d);
        if (!date.isValid() || y < 1000) {
            m_pos = begin;
            Fail(QStringLiteral("DATE(") + QString::number(y) + QLatin1Char(',') +
                 QString::number(m) + QLatin1Char(',') + QString::number(d) +
                 QStringLiteral(") nije postojeći datum"));
        }
        return date;
    }

    const QString& m_text;
    bool m_allowParameters;
    qsizetype m_pos = 0;
};

QString ValueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString: {
            QString s = value.toString();
            s.replace(QLatin1Char('\''), QStringLiteral("''"));
            return QLatin1Char('\'') + s + QLatin1Char('\'');
        }
        case QMetaType::QDate: {
            const QDate d = value.toDate();
            return QStringLiteral("DATE(%1,%2,%3)").arg(d.year()).arg(d.month()).arg(d.day());
        }
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case QMetaType::Double:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return value.toString();
    }
}

QString OperandText(const Operand& o) {
    switch (o.kind) {
        case Operand::Kind::Field:
            return o.field.Text();
        case Operand::Kind::Parameter:
            return QLatin1Char(':') + o.parameter;
        case Operand::Kind::Value:
            return ValueText(o.value);
    }
    return QString();
}

}  // namespace

Selection Selection::Parse(const QString& text, bool allowParameters) {
    return FormulaReader(text, allowParameters).Read();
}

Selection& Selection::Where(const QString& field, CompareOp op, const QVariant& value) {
    return Add({Operand::OfField(FieldRef::FromBraces(field)), op, Operand::OfValue(value)});
}

Selection& Selection::Like(const QString& field, const QString& pattern) {
    return Where(field, CompareOp::Like, pattern);
}

Selection& Selection::Add(const Comparison& comparison) {
    m_comparisons.push_back(comparison);
    return *this;
}

Selection& Selection::And(const Selection& other) {
    m_comparisons.insert(m_comparisons.end(), other.m_comparisons.begin(),
                         other.m_comparisons.end());
    return *this;
}

QString Selection::ToText() const {
    QStringList parts;
    for (const Comparison& c : m_comparisons) {
        parts << OperandText(c.left) + reports::ToText(c.op) + OperandText(c.right);
    }
    return parts.join(QStringLiteral(" AND "));
}

Selection::Sql Selection::ToSql(const std::function<QString(const FieldRef&)>& resolve,
                                const std::function<QVariant(const QString&)>& parameter) const {
    Sql sql;
    QStringList parts;
    const auto operand = [&](const Operand& o, bool likePattern) -> QString {
        switch (o.kind) {
            case Operand::Kind::Field:
                return resolve(o.field);
            case Operand::Kind::Parameter: {
                const QVariant v = parameter(o.parameter);
                sql.values << (likePattern ? QVariant(textsearch::LikePattern(v.toString())) : v);
                return QStringLiteral("?");
            }
            case Operand::Kind::Value:
                sql.values << (likePattern ? QVariant(textsearch::LikePattern(o.value.toString()))
                                           : o.value);
                return QStringLiteral("?");
        }
        return QString();
    };
    for (const Comparison& c : m_comparisons) {
        if (c.op == CompareOp::Like) {
            // Case- and Croatian-letter-insensitive, "*" as the wildcard.
            const QString left = operand(c.left, false);
            const QString right = operand(c.right, true);
            parts << QStringLiteral("zfold(") + left + QStringLiteral(") LIKE ") + right +
                         QStringLiteral(" ESCAPE '\\'");
        } else {
            const QString left = operand(c.left, false);
            const QString right = operand(c.right, false);
            parts << left + QLatin1Char(' ') + reports::ToText(c.op) + QLatin1Char(' ') + right;
        }
    }
    sql.text = parts.join(QStringLiteral(" AND "));
    return sql;
}

}  // namespace zodra::reports

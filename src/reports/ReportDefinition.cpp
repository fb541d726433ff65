#include "reports/ReportDefinition.h"

#include <QFile>
#include <QFileInfo>
#include <QSizeF>
#include <QStringDecoder>

#include "data/Errors.h"

namespace zodra::reports {

namespace {

struct Token {
    enum class Kind { Word, Number, String, Field, Param, Punct };
    Kind kind = Kind::Word;
    QString text;
    double number = 0;
    qsizetype column = 0;  // where the token starts in its line
};

using Tokens = std::vector<Token>;

class DefinitionParser {
public:
    DefinitionParser(const QString& text, const QString& fileName)
        : m_lines(text.split(QLatin1Char('\n'))), m_fileName(fileName) {}

    ReportDefinition Parse() {
        ReportDefinition def;
        def.fileName = m_fileName;
        def.font.family = QStringLiteral("DejaVu Sans");
        def.font.size = 9;
        while (NextLine()) {
            const QString& keyword = m_tokens.front().text;
            if (m_tokens.front().kind != Token::Kind::Word) {
                Fail(QStringLiteral("redak mora početi ključnom riječi"));
            }
            if (keyword == QLatin1String("report")) {
                def.title = StringAt(1, QStringLiteral("naslov izvještaja"));
                ExpectEnd(2);
            } else if (keyword == QLatin1String("page")) {
                ParsePage(def.page);
            } else if (keyword == QLatin1String("margins")) {
                def.page.left = NumberAt(1);
                def.page.top = NumberAt(2);
                def.page.right = NumberAt(3);
                def.page.bottom = NumberAt(4);
                ExpectEnd(5);
            } else if (keyword == QLatin1String("font")) {
                def.font.family = StringAt(1, QStringLiteral("ime fonta"));
                def.font.size = NumberAt(2);
                ExpectEnd(3);
            } else if (keyword == QLatin1String("data")) {
                ExpectEnd(1);
                ParseData(def.data);
            } else if (keyword == QLatin1String("page-header")) {
                def.pageHeader.push_back(ParseBand(BandKind::PageHeader));
            } else if (keyword == QLatin1String("report-header")) {
                def.reportHeader.push_back(ParseBand(BandKind::ReportHeader));
            } else if (keyword == QLatin1String("column-header")) {
                def.columnHeader.push_back(ParseBand(BandKind::ColumnHeader));
            } else if (keyword == QLatin1String("detail")) {
                def.detail.push_back(ParseBand(BandKind::Detail));
            } else if (keyword == QLatin1String("report-footer")) {
                def.reportFooter.push_back(ParseBand(BandKind::ReportFooter));
            } else if (keyword == QLatin1String("page-footer")) {
                def.pageFooter.push_back(ParseBand(BandKind::PageFooter));
            } else if (keyword == QLatin1String("group")) {
                def.groups.push_back(ParseGroup());
            } else {
                Fail(QStringLiteral("nepoznata ključna riječ \"") + keyword + QStringLiteral("\""));
            }
        }
        return def;
    }

private:
    [[noreturn]] void Fail(const QString& reason) const {
        throw UserError(QStringLiteral("Izvještaj ") + m_fileName + QStringLiteral(", redak ") +
                        QString::number(m_lineNo) + QStringLiteral(": ") + reason +
                        QLatin1Char('.'));
    }

    // Moves to the next line that has tokens; false at the end of the file.
    bool NextLine() {
        while (m_next < m_lines.size()) {
            m_lineNo = static_cast<int>(m_next) + 1;
            m_line = m_lines.at(m_next++);
            if (m_line.endsWith(QLatin1Char('\r'))) {
                m_line.chop(1);
            }
            m_tokens = Tokenize(m_line);
            if (!m_tokens.empty()) {
                return true;
            }
        }
        return false;
    }

    Tokens Tokenize(const QString& line) const {
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
                while (j < n &&
                       (wordChar(line.at(j)) || (line.at(j) == QLatin1Char('-') && j + 1 < n &&
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

    bool IsWord(std::size_t i, const char* word) const {
        return i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Word &&
               m_tokens[i].text == QLatin1String(word);
    }

    void ExpectEnd(std::size_t i) const {
        if (i < m_tokens.size()) {
            Fail(QStringLiteral("višak na kraju retka: \"") +
                 m_line.mid(m_tokens[i].column).trimmed() + QLatin1Char('"'));
        }
    }

    QString StringAt(std::size_t i, const QString& what) const {
        if (i >= m_tokens.size() || m_tokens[i].kind != Token::Kind::String) {
            Fail(QStringLiteral("očekuje se ") + what + QStringLiteral(" u navodnicima"));
        }
        return m_tokens[i].text;
    }

    // A number, with an optional minus sign; advances i past it.
    double TakeNumber(std::size_t& i) const {
        double sign = 1;
        if (i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Punct &&
            m_tokens[i].text == QLatin1String("-")) {
            sign = -1;
            ++i;
        }
        if (i >= m_tokens.size() || m_tokens[i].kind != Token::Kind::Number) {
            Fail(QStringLiteral("očekuje se broj"));
        }
        return sign * m_tokens[i++].number;
    }

    double NumberAt(std::size_t i) const {
        std::size_t j = i;
        return TakeNumber(j);
    }

    void ParsePage(PageSetup& page) const {
        std::size_t i = 1;
        if (i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Word &&
            !IsWord(i, "portrait") && !IsWord(i, "landscape")) {
            const QString name = m_tokens[i].text.toUpper();
            if (name == QLatin1String("A4")) {
                page.size = QPageSize(QPageSize::A4);
            } else if (name == QLatin1String("A5")) {
                page.size = QPageSize(QPageSize::A5);
            } else if (name == QLatin1String("A3")) {
                page.size = QPageSize(QPageSize::A3);
            } else if (name == QLatin1String("LETTER")) {
                page.size = QPageSize(QPageSize::Letter);
            } else if (name == QLatin1String("LEGAL")) {
                page.size = QPageSize(QPageSize::Legal);
            } else {
                Fail(QStringLiteral("nepoznata veličina stranice \"") + m_tokens[i].text +
                     QStringLiteral("\" (A3, A4, A5, Letter, Legal ili širina i visina u mm)"));
            }
            ++i;
        } else if (i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Number) {
            const double w = TakeNumber(i);
            const double h = TakeNumber(i);
            if (w < 20 || h < 20) {
                Fail(QStringLiteral("stranica je premala"));
            }
            page.size =
                QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        }
        if (IsWord(i, "portrait")) {
            page.orientation = QPageLayout::Portrait;
            ++i;
        } else if (IsWord(i, "landscape")) {
            page.orientation = QPageLayout::Landscape;
            ++i;
        }
        ExpectEnd(i);
    }

    // The rest of the line from token i as written (for conditions in formula syntax).
    QString RestOfLine(std::size_t i) const {
        if (i >= m_tokens.size()) {
            Fail(QStringLiteral("nedostaje uvjet"));
        }
        QString rest = m_line.mid(m_tokens[i].column);
        // A comment after the condition ends it (a # inside a quoted text does not).
        bool quoted = false;
        for (qsizetype k = 0; k < rest.size(); ++k) {
            if (rest.at(k) == QLatin1Char('\'')) {
                quoted = !quoted;
            } else if (!quoted && rest.at(k) == QLatin1Char('#')) {
                rest.truncate(k);
                break;
            }
        }
        return rest.trimmed();
    }

    Selection Condition(std::size_t i) const {
        try {
            return Selection::Parse(RestOfLine(i), true);
        } catch (const UserError& e) {
            Fail(e.message().chopped(1));
        }
    }

    void ParseData(DataSource& data) {
        for (;;) {
            if (!NextLine()) {
                Fail(QStringLiteral("blok data nije zatvoren s end"));
            }
            if (IsWord(0, "end")) {
                ExpectEnd(1);
                break;
            }
            if (IsWord(0, "from")) {
                SetSource(data, DataSource::Kind::Table);
                data.name = StringAt(1, QStringLiteral("ime tablice ili upita"));
                ExpectEnd(2);
            } else if (IsWord(0, "program-query")) {
                SetSource(data, DataSource::Kind::ProgramQuery);
                data.name = StringAt(1, QStringLiteral("ime upita"));
                ExpectEnd(2);
            } else if (IsWord(0, "query")) {
                SetSource(data, DataSource::Kind::Query);
                data.name = StringAt(1, QStringLiteral("ime upita"));
                ExpectEnd(2);
                data.sql = ReadSqlBlock();
            } else if (IsWord(0, "join") || IsWord(0, "left-join")) {
                Join join;
                join.left = IsWord(0, "left-join");
                join.table = StringAt(1, QStringLiteral("ime tablice"));
                if (!IsWord(2, "on")) {
                    Fail(QStringLiteral("nakon imena tablice očekuje se on"));
                }
                join.on = Condition(3);
                data.joins.push_back(join);
            } else if (IsWord(0, "where")) {
                data.where.And(Condition(1));
            } else if (IsWord(0, "order")) {
                ParseOrder(data);
            } else {
                Fail(
                    QStringLiteral("u bloku data su dopušteni from, query, program-query, join, "
                                   "left-join, where, order i end"));
            }
        }
        if (data.kind == DataSource::Kind::None) {
            Fail(QStringLiteral("blok data ne navodi izvor (from, query ili program-query)"));
        }
    }

    void SetSource(DataSource& data, DataSource::Kind kind) const {
        if (data.kind != DataSource::Kind::None) {
            Fail(QStringLiteral("izvor podataka je već zadan"));
        }
        data.kind = kind;
    }

    QString ReadSqlBlock() {
        QStringList sql;
        const int start = m_lineNo;
        while (m_next < m_lines.size()) {
            m_lineNo = static_cast<int>(m_next) + 1;
            QString line = m_lines.at(m_next++);
            if (line.trimmed() == QLatin1String("end")) {
                const QString text = sql.join(QLatin1Char('\n')).trimmed();
                const QString head = text.left(6).toUpper();
                if (!head.startsWith(QLatin1String("SELECT")) &&
                    !head.startsWith(QLatin1String("WITH"))) {
                    m_lineNo = start;
                    Fail(QStringLiteral("upit mora počinjati sa SELECT ili WITH"));
                }
                return text;
            }
            sql << line;
        }
        m_lineNo = start;
        Fail(QStringLiteral("upit nije zatvoren s end"));
    }

    void ParseOrder(DataSource& data) const {
        std::size_t i = 1;
        for (;;) {
            if (i >= m_tokens.size() || m_tokens[i].kind != Token::Kind::Field) {
                Fail(QStringLiteral("order traži polja {TABLICA.POLJE}"));
            }
            OrderTerm term;
            term.field = FieldRef::FromBraces(m_tokens[i++].text);
            while (i < m_tokens.size() && m_tokens[i].kind == Token::Kind::Word) {
                if (IsWord(i, "desc")) {
                    term.descending = true;
                } else if (IsWord(i, "asc")) {
                    term.descending = false;
                } else if (IsWord(i, "hr")) {
                    term.croatian = true;
                } else {
                    Fail(QStringLiteral("nakon polja u order su dopušteni asc, desc i hr"));
                }
                ++i;
            }
            data.order.push_back(term);
            if (i >= m_tokens.size()) {
                break;
            }
            if (m_tokens[i].kind != Token::Kind::Punct || m_tokens[i].text != QLatin1String(",")) {
                Fail(QStringLiteral("polja u order odvajaju se zarezom"));
            }
            ++i;
        }
    }

    // Band options on its first line: height H, when EXPR.
    Band ParseBand(BandKind kind) {
        Band band;
        band.kind = kind;
        band.line = m_lineNo;
        std::size_t i = 1;
        while (i < m_tokens.size()) {
            if (IsWord(i, "height")) {
                ++i;
                band.height = TakeNumber(i);
            } else if (IsWord(i, "when")) {
                band.when = ParseExpression(i + 1, m_tokens.size());
                i = m_tokens.size();
            } else {
                Fail(QStringLiteral("nakon imena odjeljka su dopušteni height i when"));
            }
        }
        for (;;) {
            if (!NextLine()) {
                m_lineNo = band.line;
                Fail(QStringLiteral("odjeljak nije zatvoren s end"));
            }
            if (IsWord(0, "end")) {
                ExpectEnd(1);
                return band;
            }
            band.elements.push_back(ParseElement());
        }
    }

    Group ParseGroup() {
        Group group;
        group.line = m_lineNo;
        std::size_t end = m_tokens.size();
        while (end > 1 && m_tokens[end - 1].kind == Token::Kind::Word) {
            if (IsWord(end - 1, "new-page")) {
                group.newPage = true;
            } else if (IsWord(end - 1, "keep-together")) {
                group.keepTogether = true;
            } else if (IsWord(end - 1, "no-keep-together")) {
                group.keepTogether = false;
            } else {
                break;
            }
            --end;
        }
        if (end <= 1) {
            Fail(QStringLiteral("grupa traži izraz po kojem se grupira"));
        }
        group.key = ParseExpression(1, end);
        for (;;) {
            if (!NextLine()) {
                m_lineNo = group.line;
                Fail(QStringLiteral("grupa nije zatvorena s end"));
            }
            if (IsWord(0, "end")) {
                ExpectEnd(1);
                return group;
            }
            if (IsWord(0, "header")) {
                group.headers.push_back(ParseBand(BandKind::GroupHeader));
            } else if (IsWord(0, "footer")) {
                group.footers.push_back(ParseBand(BandKind::GroupFooter));
            } else {
                Fail(QStringLiteral("u grupi su dopušteni header, footer i end"));
            }
        }
    }

    Element ParseElement() {
        Element el;
        el.line = m_lineNo;
        const QString kind = m_tokens.front().text;
        std::size_t i = 1;
        if (kind == QLatin1String("text")) {
            el.kind = Element::Kind::Text;
            el.text = ParseTemplate(StringAt(1, QStringLiteral("tekst")));
            i = 2;
        } else if (kind == QLatin1String("field")) {
            el.kind = Element::Kind::Field;
            std::size_t at = 1;
            while (at < m_tokens.size() && !IsWord(at, "at")) {
                ++at;
            }
            if (at == 1) {
                Fail(QStringLiteral("field traži izraz prije at"));
            }
            el.expr = ParseExpression(1, at);
            i = at;
        } else if (kind == QLatin1String("line")) {
            el.kind = Element::Kind::Line;
            if (!IsWord(1, "from")) {
                Fail(QStringLiteral("line se piše: line from X Y to X Y"));
            }
            i = 2;
            el.x = TakeNumber(i);
            el.y = TakeNumber(i);
            if (!IsWord(i, "to")) {
                Fail(QStringLiteral("line se piše: line from X Y to X Y"));
            }
            ++i;
            el.x2 = TakeNumber(i);
            el.y2 = TakeNumber(i);
        } else if (kind == QLatin1String("box")) {
            el.kind = Element::Kind::Box;
        } else if (kind == QLatin1String("company")) {
            el.kind = Element::Kind::Company;
        } else if (kind == QLatin1String("logo")) {
            el.kind = Element::Kind::Logo;
        } else if (kind == QLatin1String("subreport")) {
            el.kind = Element::Kind::SubReport;
            el.subreport = StringAt(1, QStringLiteral("ime podizvještaja"));
            i = 2;
        } else {
            Fail(QStringLiteral("nepoznat element \"") + kind +
                 QStringLiteral("\" (text, field, line, box, company, logo, subreport)"));
        }
        ParseAttributes(el, i);
        if (el.kind != Element::Kind::Line && el.kind != Element::Kind::SubReport &&
            el.width <= 0) {
            Fail(QStringLiteral("element traži širinu (width)"));
        }
        if ((el.kind == Element::Kind::Box || el.kind == Element::Kind::Logo) && el.height <= 0) {
            Fail(QStringLiteral("element traži visinu (height)"));
        }
        return el;
    }

    void ParseAttributes(Element& el, std::size_t i) {
        bool placed = el.kind == Element::Kind::Line;
        while (i < m_tokens.size()) {
            const Token& t = m_tokens[i];
            if (t.kind != Token::Kind::Word) {
                Fail(QStringLiteral("neočekivano \"") + m_line.mid(t.column).trimmed() +
                     QLatin1Char('"'));
            }
            const QString& a = t.text;
            ++i;
            if (a == QLatin1String("at")) {
                el.x = TakeNumber(i);
                el.y = TakeNumber(i);
                placed = true;
            } else if (a == QLatin1String("width")) {
                el.width = TakeNumber(i);
            } else if (a == QLatin1String("height")) {
                el.height = TakeNumber(i);
            } else if (a == QLatin1String("align")) {
                if (IsWord(i, "left")) {
                    el.align = Align::Left;
                } else if (IsWord(i, "center")) {
                    el.align = Align::Center;
                } else if (IsWord(i, "right")) {
                    el.align = Align::Right;
                } else {
                    Fail(QStringLiteral("align traži left, center ili right"));
                }
                ++i;
            } else if (a == QLatin1String("valign")) {
                if (IsWord(i, "top")) {
                    el.valign = VAlign::Top;
                } else if (IsWord(i, "middle")) {
                    el.valign = VAlign::Middle;
                } else if (IsWord(i, "bottom")) {
                    el.valign = VAlign::Bottom;
                } else {
                    Fail(QStringLiteral("valign traži top, middle ili bottom"));
                }
                ++i;
            } else if (a == QLatin1String("bold")) {
                el.style.bold = true;
            } else if (a == QLatin1String("italic")) {
                el.style.italic = true;
            } else if (a == QLatin1String("underline")) {
                el.style.underline = true;
            } else if (a == QLatin1String("font-size")) {
                el.style.size = TakeNumber(i);
                if (el.style.size < 3 || el.style.size > 72) {
                    Fail(QStringLiteral("veličina fonta mora biti između 3 i 72"));
                }
            } else if (a == QLatin1String("font")) {
                el.style.family = StringAt(i++, QStringLiteral("ime fonta"));
            } else if (a == QLatin1String("color")) {
                el.style.color = ColorAt(i++);
            } else if (a == QLatin1String("fill")) {
                el.fill = ColorAt(i++);
            } else if (a == QLatin1String("format")) {
                if (IsWord(i, "date")) {
                    el.format = QStringLiteral("date");
                    ++i;
                } else {
                    el.format = StringAt(i++, QStringLiteral("format"));
                }
            } else if (a == QLatin1String("wrap")) {
                el.wrap = true;
            } else if (a == QLatin1String("frame")) {
                el.frame = true;
            } else if (a == QLatin1String("line-width")) {
                el.lineWidth = TakeNumber(i);
            } else if (a == QLatin1String("link") && el.kind == Element::Kind::SubReport) {
                if (i >= m_tokens.size() || m_tokens[i].kind != Token::Kind::Param) {
                    Fail(QStringLiteral("link se piše: link :PARAMETAR {TABLICA.POLJE}"));
                }
                const QString name = m_tokens[i++].text;
                if (i >= m_tokens.size() || m_tokens[i].kind != Token::Kind::Field) {
                    Fail(QStringLiteral("link se piše: link :PARAMETAR {TABLICA.POLJE}"));
                }
                el.links.emplace_back(name, ParseExpression(i, i + 1));
                ++i;
            } else if (a == QLatin1String("when")) {
                el.when = ParseExpression(i, m_tokens.size());
                i = m_tokens.size();
            } else {
                Fail(QStringLiteral("nepoznat atribut \"") + a + QLatin1Char('"'));
            }
        }
        if (!placed) {
            Fail(QStringLiteral("element traži položaj (at X Y)"));
        }
    }

    QColor ColorAt(std::size_t i) const {
        const QColor c = QColor::fromString(StringAt(i, QStringLiteral("boja (\"#rrggbb\")")));
        if (!c.isValid()) {
            Fail(QStringLiteral("neispravna boja \"") + m_tokens[i].text + QLatin1Char('"'));
        }
        return c;
    }

    // A text with {…} places: {TABLE.FIELD}, {@FORMULA}, {PageNumber} …, each with an optional
    // "|format"; "{{" and "}}" stand for the braces themselves.
    std::vector<TemplatePart> ParseTemplate(const QString& text) const {
        std::vector<TemplatePart> parts;
        QString literal;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('{') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('{')) {
                literal += c;
                ++i;
                continue;
            }
            if (c == QLatin1Char('}') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('}')) {
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
    ExprPtr Reference(const QString& inner) const {
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
    ExprPtr ParseExpression(std::size_t begin, std::size_t end) const {
        if (begin >= end) {
            Fail(QStringLiteral("nedostaje izraz"));
        }
        std::size_t i = begin;
        ExprPtr e = ParseOr(i, end);
        if (i != end) {
            Fail(QStringLiteral("neočekivano \"") + m_tokens[i].text +
                 QStringLiteral("\" u izrazu"));
        }
        return e;
    }

    bool PunctAt(std::size_t i, std::size_t end, const char* p) const {
        return i < end && m_tokens[i].kind == Token::Kind::Punct &&
               m_tokens[i].text == QLatin1String(p);
    }
    bool WordAt(std::size_t i, std::size_t end, const char* w) const {
        return i < end && IsWord(i, w);
    }

    static ExprPtr Binary(const QString& op, ExprPtr a, ExprPtr b) {
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Binary;
        e->name = op;
        e->args = {std::move(a), std::move(b)};
        return e;
    }

    ExprPtr ParseOr(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseAnd(i, end);
        while (WordAt(i, end, "or")) {
            ++i;
            left = Binary(QStringLiteral("or"), left, ParseAnd(i, end));
        }
        return left;
    }

    ExprPtr ParseAnd(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseNot(i, end);
        while (WordAt(i, end, "and")) {
            ++i;
            left = Binary(QStringLiteral("and"), left, ParseNot(i, end));
        }
        return left;
    }

    ExprPtr ParseNot(std::size_t& i, std::size_t end) const {
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

    ExprPtr ParseComparison(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseConcat(i, end);
        for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
            if (PunctAt(i, end, op)) {
                ++i;
                return Binary(QString::fromLatin1(op), left, ParseConcat(i, end));
            }
        }
        return left;
    }

    ExprPtr ParseConcat(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseAdditive(i, end);
        while (PunctAt(i, end, "&")) {
            ++i;
            left = Binary(QStringLiteral("&"), left, ParseAdditive(i, end));
        }
        return left;
    }

    ExprPtr ParseAdditive(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseTerm(i, end);
        while (PunctAt(i, end, "+") || PunctAt(i, end, "-")) {
            const QString op = m_tokens[i++].text;
            left = Binary(op, left, ParseTerm(i, end));
        }
        return left;
    }

    ExprPtr ParseTerm(std::size_t& i, std::size_t end) const {
        ExprPtr left = ParseUnary(i, end);
        while (PunctAt(i, end, "*") || PunctAt(i, end, "/")) {
            const QString op = m_tokens[i++].text;
            left = Binary(op, left, ParseUnary(i, end));
        }
        return left;
    }

    ExprPtr ParseUnary(std::size_t& i, std::size_t end) const {
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

    ExprPtr ParsePrimary(std::size_t& i, std::size_t end) const {
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

    void CheckCall(const Expr& e) const {
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

    QStringList m_lines;
    QString m_fileName;
    qsizetype m_next = 0;
    int m_lineNo = 0;
    QString m_line;
    Tokens m_tokens;
};

}  // namespace

double ReportDefinition::PageWidth() const {
    const QSizeF s = page.size.size(QPageSize::Millimeter);
    return page.orientation == QPageLayout::Landscape ? s.height() : s.width();
}

double ReportDefinition::PageHeight() const {
    const QSizeF s = page.size.size(QPageSize::Millimeter);
    return page.orientation == QPageLayout::Landscape ? s.width() : s.height();
}

ReportDefinition ReportDefinition::Parse(const QString& text, const QString& fileName) {
    return DefinitionParser(text, fileName).Parse();
}

ReportDefinition ReportDefinition::Load(const QString& path) {
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        throw UserError(QStringLiteral("Nema izvještaja ") + name + QStringLiteral(" (") + path +
                        QStringLiteral(")."));
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(file.readAll());
    if (decoder.hasError()) {
        throw UserError(QStringLiteral("Izvještaj ") + name +
                        QStringLiteral(" nije zapisan u kodiranju UTF-8."));
    }
    return Parse(text, name);
}

}  // namespace zodra::reports

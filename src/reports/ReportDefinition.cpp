#include "reports/ReportDefinition.h"

#include <QFile>
#include <QFileInfo>
#include <QSizeF>
#include <QStringDecoder>

#include "data/Errors.h"
#include "reports/DefinitionTokens.h"
#include "reports/ExpressionParser.h"

namespace zodra::reports {

namespace {

using detail::Token;
using detail::Tokens;

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
        } else if (kind == QLatin1String("image")) {
            el.kind = Element::Kind::Image;
            std::size_t at = 1;
            while (at < m_tokens.size() && !IsWord(at, "at")) {
                ++at;
            }
            if (at == 1) {
                Fail(QStringLiteral("image traži izraz prije at"));
            }
            el.expr = ParseExpression(1, at);
            i = at;
        } else if (kind == QLatin1String("subreport")) {
            el.kind = Element::Kind::SubReport;
            el.subreport = StringAt(1, QStringLiteral("ime podizvještaja"));
            i = 2;
        } else {
            Fail(QStringLiteral("nepoznat element \"") + kind +
                 QStringLiteral("\" (text, field, line, box, company, logo, image, subreport)"));
        }
        ParseAttributes(el, i);
        if (el.kind != Element::Kind::Line && el.kind != Element::Kind::SubReport &&
            el.width <= 0) {
            Fail(QStringLiteral("element traži širinu (width)"));
        }
        if ((el.kind == Element::Kind::Box || el.kind == Element::Kind::Logo ||
             el.kind == Element::Kind::Image) &&
            el.height <= 0) {
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

    // The expression reader's refusals, placed at this line.
    template <typename Fn>
    auto Guarded(Fn&& fn) const {
        try {
            return fn();
        } catch (const detail::ParseError& e) {
            Fail(e.reason);
        }
    }
    ExprPtr ParseExpression(std::size_t begin, std::size_t end) const {
        return Guarded(
            [&] { return detail::ExpressionParser(m_tokens).ParseExpression(begin, end); });
    }
    std::vector<TemplatePart> ParseTemplate(const QString& text) const {
        return Guarded([&] { return detail::ExpressionParser(m_tokens).ParseTemplate(text); });
    }
    Tokens Tokenize(const QString& line) const {
        return Guarded([&] { return detail::Tokenize(line); });
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

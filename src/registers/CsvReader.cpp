#include "registers/CsvReader.h"

#include <QIODevice>

#include "data/Errors.h"

namespace zodra::csv {

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;

// How many bytes at the end of a block begin a UTF-8 character that the next block completes.
qsizetype CutCharacterBytes(const QByteArray& bytes) {
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(n - back));
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: the lead byte is further back
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

bool IsBlank(const QStringList& record) {
    return record.size() == 1 && record.first().trimmed().isEmpty();
}

[[noreturn]] void NotUtf8() {
    throw UserError(QStringLiteral("Datoteka nije zapisana u UTF-8 kodu."));
}

}  // namespace

CsvReader::CsvReader(QIODevice& input, std::optional<QChar> separator)
    : m_input(input), m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom) {
    m_separator = separator ? *separator : DetectSeparator();
    int line = 0;
    ReadRecord(m_header, line);
}

bool CsvReader::ReadBlock() {
    QByteArray bytes = m_input.read(kBlockBytes);
    if (bytes.isEmpty()) {
        if (!m_partial.isEmpty()) {
            NotUtf8();
        }
        return false;
    }
    if (!m_partial.isEmpty()) {
        bytes.prepend(m_partial);
        m_partial.clear();
    }
    const qsizetype cut = CutCharacterBytes(bytes);
    if (cut > 0) {
        m_partial = bytes.right(cut);
        bytes.chop(cut);
    }
    QString text = m_decoder.decode(bytes);
    if (m_decoder.hasError()) {
        NotUtf8();
    }
    if (m_atStart) {
        m_atStart = false;
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
    }
    if (m_pos > 0) {
        m_text.remove(0, m_pos);
        m_pos = 0;
    }
    m_text += text;
    return true;
}

bool CsvReader::Peek(QChar& c) {
    while (m_pos >= m_text.size()) {
        if (!ReadBlock()) {
            return false;
        }
    }
    c = m_text.at(m_pos);
    return true;
}

QChar CsvReader::DetectSeparator() {
    // The header line, read as far as it goes (it may be longer than one block).
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (qsizetype i = 0;; ++i) {
        while (i >= m_text.size()) {
            if (!ReadBlock()) {
                return commas > semicolons ? QLatin1Char(',') : QLatin1Char(';');
            }
        }
        const QChar c = m_text.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            break;
        } else if (!quoted && c == QLatin1Char(';')) {
            ++semicolons;
        } else if (!quoted && c == QLatin1Char(',')) {
            ++commas;
        }
    }
    return commas > semicolons ? QLatin1Char(',') : QLatin1Char(';');
}

bool CsvReader::ReadRecord(QStringList& record, int& line) {
    record.clear();
    QChar c;
    if (!Peek(c)) {
        return false;
    }
    line = m_line;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    while (Peek(c)) {
        ++m_pos;
        if (quoted) {
            if (c == QLatin1Char('"')) {
                QChar next;
                if (Peek(next) && next == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++m_pos;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) {
                    ++m_line;
                }
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
        } else if (c == m_separator) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            QChar next;
            if (c == QLatin1Char('\r') && Peek(next) && next == QLatin1Char('\n')) {
                ++m_pos;
            }
            ++m_line;
            record << field;
            return true;
        } else {
            field += c;
        }
    }
    if (quoted) {
        throw UserError(QStringLiteral("Navodnici otvoreni u retku ") + QString::number(line) +
                        QStringLiteral(" nisu zatvoreni."));
    }
    record << field;
    return true;
}

bool CsvReader::Next(QStringList& record, int& line) {
    while (ReadRecord(record, line)) {
        if (!IsBlank(record)) {
            return true;
        }
    }
    return false;
}

}  // namespace zodra::csv

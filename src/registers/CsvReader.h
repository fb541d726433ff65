#pragma once

#include <QChar>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

class QIODevice;

namespace zodra::csv {

// Reads a comma- or semicolon-separated file record by record, as Parse reads a whole text
// (Csv.h), so that a file of any length is read in a memory of its longest record: the bytes are
// read in blocks and decoded as UTF-8 (a byte-order mark at the start is skipped). A file that is
// not UTF-8 is refused (UserError "Datoteka nije zapisana u UTF-8 kodu.") when the reading comes
// to the bad bytes; a quoted field that is never closed when it comes to the end.
class CsvReader {
public:
    // Reads the header; without a given separator it is the one of ";" and "," that the header
    // line uses more often (";" when it uses neither).
    explicit CsvReader(QIODevice& input, std::optional<QChar> separator = std::nullopt);
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    const QStringList& Header() const { return m_header; }
    QChar Separator() const { return m_separator; }

    // The next record that is not blank and the line of the file it begins on (the header is
    // line 1); false at the end of the file.
    bool Next(QStringList& record, int& line);

private:
    // Appends the next block of the file to the text; false at the end of the file.
    bool ReadBlock();
    bool Peek(QChar& c);
    // The next record, blank or not; false at the end of the file.
    bool ReadRecord(QStringList& record, int& line);
    QChar DetectSeparator();

    QIODevice& m_input;
    QStringDecoder m_decoder;
    QByteArray m_partial;  // the first bytes of a character cut by the end of a block
    QString m_text;        // decoded and not yet read, from m_pos
    qsizetype m_pos = 0;
    bool m_atStart = true;
    int m_line = 1;
    QStringList m_header;
    QChar m_separator;
};

}  // namespace zodra::csv

#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Comma- or semicolon-separated files as spreadsheets write them: fields in double quotes may
// hold separators, line breaks and doubled quotes; a UTF-8 byte-order mark is skipped; lines may
// end in CR LF. Croatian spreadsheets usually separate by ";" (the decimal mark is ",").
namespace zodra::csv {

struct Table {
    QStringList header;
    std::vector<QStringList> rows;
    std::vector<int> lines;  // the line of the file each row begins on (the header is line 1)
    QChar separator;
};

// Parses a whole file (CsvReader reads one record at a time). Without a given separator it is the
// one of ";" and "," that the header line uses more often (";" when it uses neither). Empty lines
// are skipped. A quoted field that is never closed is refused (UserError) with the line it began
// on.
Table Parse(const QString& text, std::optional<QChar> separator = std::nullopt);

// Writes a file: fields that hold the separator, a quote or a line break are quoted.
QString Write(const QStringList& header, const std::vector<QStringList>& rows, QChar separator);

}  // namespace zodra::csv

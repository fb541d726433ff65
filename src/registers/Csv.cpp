#include "registers/Csv.h"

#include <QBuffer>

#include "registers/CsvReader.h"

namespace zodra::csv {

Table Parse(const QString& text, std::optional<QChar> separator) {
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, separator);
    Table table;
    table.header = reader.Header();
    table.separator = reader.Separator();
    QStringList record;
    int line = 0;
    while (reader.Next(record, line)) {
        table.rows.push_back(record);
        table.lines.push_back(line);
    }
    return table;
}

QString Write(const QStringList& header, const std::vector<QStringList>& rows, QChar separator) {
    auto quote = [separator](const QString& value) {
        if (value.contains(separator) || value.contains(QLatin1Char('"')) ||
            value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
            value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '))) {
            QString escaped = value;
            escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            return QLatin1Char('"') + escaped + QLatin1Char('"');
        }
        return value;
    };
    auto line = [&](const QStringList& fields) {
        QStringList out;
        for (const QString& f : fields) {
            out << quote(f);
        }
        return out.join(separator) + QStringLiteral("\r\n");
    };
    QString text = line(header);
    for (const QStringList& row : rows) {
        text += line(row);
    }
    return text;
}

}  // namespace zodra::csv

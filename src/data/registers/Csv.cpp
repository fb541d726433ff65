#include "data/registers/Csv.h"

#include "data/Errors.h"

namespace zodra::csv {

namespace {

QChar DetectSeparator(const QString& text) {
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
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

bool IsBlank(const QStringList& record) {
    return record.size() == 1 && record.first().trimmed().isEmpty();
}

}  // namespace

Table Parse(const QString& input, std::optional<QChar> separator) {
    QString text = input;
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    Table table;
    table.separator = separator ? *separator : DetectSeparator(text);
    const QChar sep = table.separator;

    QStringList record;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    int line = 1;
    int recordLine = 1;
    bool first = true;
    auto endRecord = [&]() {
        record << field;
        field.clear();
        wasQuoted = false;
        if (first) {
            table.header = record;
            first = false;
        } else if (!IsBlank(record)) {
            table.rows.push_back(record);
            table.lines.push_back(recordLine);
        }
        record.clear();
    };
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) {
                    ++line;
                }
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
        } else if (c == sep) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            endRecord();
            ++line;
            recordLine = line;
        } else {
            field += c;
        }
    }
    if (quoted) {
        throw UserError(QStringLiteral("Navodnici otvoreni u retku ") +
                        QString::number(recordLine) + QStringLiteral(" nisu zatvoreni."));
    }
    if (!field.isEmpty() || !record.isEmpty() || wasQuoted) {
        endRecord();
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

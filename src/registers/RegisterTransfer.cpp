#include "registers/RegisterTransfer.h"

#include <functional>
#include <map>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"
#include "registers/RegisterStore.h"
#include "registers/RowAdder.h"
#include "registers/TypedValue.h"

namespace zodra::registers::transfer {

namespace {

QString Folded(const QString& text) {
    return textsearch::Fold(text.trimmed());
}

// Which field each column of the file fills.
std::vector<const Field*> MapHeader(const RegisterDescription& description,
                                    const QStringList& header) {
    std::vector<const Field*> columns;
    std::map<const Field*, bool> seen;
    for (const QString& name : header) {
        const Field* match = nullptr;
        for (const Field& field : description.fields) {
            if (Folded(name) == Folded(field.caption) || Folded(name) == Folded(field.column)) {
                match = &field;
                break;
            }
        }
        if (match == nullptr) {
            throw UserError(QStringLiteral("Nepoznat stupac '") + name.trimmed() +
                            QStringLiteral("'."));
        }
        if (seen[match]) {
            throw UserError(QStringLiteral("Stupac '") + name.trimmed() +
                            QStringLiteral("' se ponavlja."));
        }
        seen[match] = true;
        columns.push_back(match);
    }
    const Field* nameField = description.FindField(description.nameColumn);
    if (nameField == nullptr || !seen[nameField]) {
        throw UserError(QStringLiteral("U datoteci nema stupca '") +
                        (nameField ? nameField->caption : description.nameColumn) +
                        QStringLiteral("'."));
    }
    return columns;
}

QString NumberText(double value, QChar separator) {
    QString text = QString::number(value, 'g', 15);
    if (separator == QLatin1Char(';')) {
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return text;
}

}  // namespace

QStringList ImportReport::Lines() const {
    QStringList lines;
    for (const Refusal& r : refused) {
        lines << QStringLiteral("Redak ") + QString::number(r.line) + QStringLiteral(": ") +
                     r.message;
    }
    if (committed) {
        lines << QStringLiteral("Uvezeno redaka: ") + QString::number(imported) +
                     QStringLiteral(", odbijeno: ") + QString::number(refused.size()) +
                     QLatin1Char('.');
    } else {
        lines << QStringLiteral("Datoteka nije uvezena: odbijeno redaka ") +
                     QString::number(refused.size()) + QLatin1Char('.');
    }
    return lines;
}

namespace {

// The values of one row of a file as an entry window would hold them. A cell that breaks the
// file rules (a control character, a number out of its range) refuses the row with its message.
Values TypedRow(RowAdder& adder, const std::vector<const Field*>& columns, const QStringList& row) {
    Values typed;
    for (size_t c = 0; c < columns.size(); ++c) {
        const Field& field = *columns.at(c);
        const QString text =
            c < static_cast<size_t>(row.size()) ? row.at(static_cast<int>(c)) : QString();
        if (const auto bad = limits::CheckText(text, field.caption, field.multiLine)) {
            throw UserError(*bad);
        }
        switch (field.kind) {
            case FieldKind::Reference:
                typed.insert(field.column,
                             adder.Checks().ReferenceCode(field, UnprotectedText(text)));
                break;
            case FieldKind::Number:
            case FieldKind::Integer:
                if (text.trimmed().isEmpty()) {
                    typed.insert(field.column, field.startValue);
                    break;
                }
                if (const auto number = ParseNumber(text); number && field.limit) {
                    if (const auto bad =
                            limits::CheckNumber(*number, *field.limit, field.caption)) {
                        throw UserError(*bad);
                    }
                }
                typed.insert(field.column, text);
                break;
            case FieldKind::Flag:
                typed.insert(field.column, FlagOf(text));
                break;
            case FieldKind::Text:
                typed.insert(field.column, UnprotectedText(text));
                break;
        }
    }
    return typed;
}

ImportReport ImportRows(Database& db, const RegisterDescription& description,
                        const QStringList& header,
                        const std::function<bool(QStringList&, int&)>& nextRow, bool skipBad) {
    const std::vector<const Field*> columns = MapHeader(description, header);
    ImportReport report;
    Transaction tx(db);
    RowAdder adder(db, description);
    QStringList row;
    int line = 0;
    while (nextRow(row, line)) {
        try {
            adder.Add(TypedRow(adder, columns, row));
            ++report.imported;
        } catch (const UserError& refusal) {
            report.refused.push_back(Refusal{line, refusal.message()});
        }
    }
    if (report.refused.empty() || skipBad) {
        tx.Commit();
        report.committed = true;
    } else {
        report.imported = 0;
    }
    return report;
}

}  // namespace

QString ProtectedText(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    const char16_t first = text.at(0).unicode();
    if (first == u'=' || first == u'+' || first == u'-' || first == u'\u2212' || first == u'@' ||
        first == u'\'') {
        return QLatin1Char('\'') + text;
    }
    return text;
}

QString UnprotectedText(const QString& cell) {
    return cell.startsWith(QLatin1Char('\'')) ? cell.mid(1) : cell;
}

ImportReport Import(Database& db, const RegisterDescription& description, const csv::Table& file,
                    bool skipBad) {
    size_t next = 0;
    return ImportRows(
        db, description, file.header,
        [&](QStringList& row, int& line) {
            if (next >= file.rows.size()) {
                return false;
            }
            row = file.rows.at(next);
            line = file.lines.at(next);
            ++next;
            return true;
        },
        skipBad);
}

ImportReport Import(Database& db, const RegisterDescription& description, csv::CsvReader& file,
                    bool skipBad) {
    return ImportRows(
        db, description, file.Header(),
        [&](QStringList& row, int& line) { return file.Next(row, line); }, skipBad);
}

csv::Table Export(Database& db, const RegisterDescription& description, QChar separator) {
    csv::Table table;
    table.separator = separator;
    for (const Field& field : description.fields) {
        table.header << field.caption;
    }
    // Names of the rows lookups point at, read once per referenced table.
    std::map<QString, std::map<qint64, QString>> names;
    for (const Field& field : description.fields) {
        if (field.kind == FieldKind::Reference && !names.count(field.referenceTable)) {
            auto& map = names[field.referenceTable];
            for (const SavedRow& row : Choices(db, field.referenceTable)) {
                map[row.code] = row.name;
            }
        }
    }
    for (const SavedRow& listed : List(db, description)) {
        const auto values = Load(db, description, listed.code);
        if (!values) {
            continue;
        }
        QStringList row;
        for (const Field& field : description.fields) {
            const QVariant value = values->value(field.column);
            switch (field.kind) {
                case FieldKind::Text:
                    row << ProtectedText(value.toString());
                    break;
                case FieldKind::Number:
                    row << (value.isNull() ? QString() : NumberText(value.toDouble(), separator));
                    break;
                case FieldKind::Integer:
                    row << (value.isNull() ? QString() : QString::number(value.toLongLong()));
                    break;
                case FieldKind::Flag:
                    row << (value.toBool() ? QStringLiteral("DA") : QStringLiteral("NE"));
                    break;
                case FieldKind::Reference: {
                    const auto& map = names[field.referenceTable];
                    const auto it = map.find(value.toLongLong());
                    row << (value.isNull() || it == map.end() ? QString()
                                                              : ProtectedText(it->second));
                    break;
                }
            }
        }
        table.rows.push_back(row);
        table.lines.push_back(static_cast<int>(table.rows.size()) + 1);
    }
    return table;
}

}  // namespace zodra::registers::transfer

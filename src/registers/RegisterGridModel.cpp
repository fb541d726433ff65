#include "registers/RegisterGridModel.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/TextSearch.h"
#include "registers/TypedValue.h"

namespace zodra::registers {

RegisterGridModel::RegisterGridModel(Database& db, const RegisterDescription& description,
                                     Prompter& prompter, QObject* parent)
    : QAbstractTableModel(parent), m_db(db), m_description(description), m_prompter(prompter) {
    Reload();
}

void RegisterGridModel::Reload() {
    beginResetModel();
    m_rows = List(m_db, m_description);
    m_values.clear();
    m_names.clear();
    for (const Field& field : m_description.fields) {
        if (field.kind == FieldKind::Reference && !m_names.count(field.referenceTable)) {
            auto& names = m_names[field.referenceTable];
            for (const SavedRow& row : Choices(m_db, field.referenceTable)) {
                names[row.code] = row.name;
            }
        }
    }
    endResetModel();
}

int RegisterGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RegisterGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_description.fields.size());
}

int RegisterGridModel::ColumnOf(const QString& column) const {
    for (size_t i = 0; i < m_description.fields.size(); ++i) {
        if (m_description.fields[i].column == column) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int RegisterGridModel::RowOfCode(int code) const {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].code == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int RegisterGridModel::RowOfSearch(const QString& typed) const {
    const QString name = QLatin1Char('"') + m_description.nameColumn + QLatin1Char('"');
    const QVariant code = m_db.Scalar(QStringLiteral("SELECT \"") + m_description.keyColumn +
                                          QStringLiteral("\" FROM \"") + m_description.table +
                                          QStringLiteral("\" WHERE ") +
                                          textsearch::KeyExpression(m_db.Dialect(), name) +
                                          QStringLiteral(" LIKE ? ESCAPE '\\' ORDER BY ") + name +
                                          QStringLiteral(" COLLATE \"HR\" LIMIT 1"),
                                      {textsearch::PrefixPattern(typed)});
    return code.isValid() ? RowOfCode(code.toInt()) : -1;
}

const QVariantMap& RegisterGridModel::Values(int row) const {
    auto it = m_values.find(row);
    if (it == m_values.end()) {
        const auto loaded = Load(m_db, m_description, m_rows.at(static_cast<size_t>(row)).code);
        it = m_values.emplace(row, loaded.value_or(QVariantMap())).first;
    }
    return it->second;
}

QString RegisterGridModel::Shown(const Field& field, const QVariant& value) const {
    const auto names = m_names.find(field.referenceTable);
    if (value.isNull() || names == m_names.end()) {
        return QString();
    }
    const auto name = names->second.find(value.toLongLong());
    return name == names->second.end() ? QString() : name->second;
}

QVariant RegisterGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return QVariant();
    }
    if (role == CodeRole) {
        return m_rows.at(static_cast<size_t>(index.row())).code;
    }
    const Field& field = m_description.fields.at(static_cast<size_t>(index.column()));
    const QVariant value = Values(index.row()).value(field.column);
    if (role == Qt::TextAlignmentRole) {
        return field.kind == FieldKind::Number || field.kind == FieldKind::Integer
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    }
    if (role == Qt::DisplayRole) {
        if (field.kind == FieldKind::Reference) {
            return Shown(field, value);
        }
        if (field.kind == FieldKind::Number && !value.isNull()) {
            return NumberText(value.toDouble());
        }
        if (field.kind == FieldKind::Flag) {
            return value.toBool() ? QStringLiteral("DA") : QStringLiteral("NE");
        }
        return value;
    }
    if (role == Qt::EditRole) {
        return field.kind == FieldKind::Reference ? QVariant(Shown(field, value)) : value;
    }
    return QVariant();
}

QVariant RegisterGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return m_description.fields.at(static_cast<size_t>(section)).caption;
}

Qt::ItemFlags RegisterGridModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool RegisterGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const int code = data(index, CodeRole).toInt();
    const Field& field = m_description.fields.at(static_cast<size_t>(index.column()));
    const QVariant typed =
        field.kind == FieldKind::Reference ? ReferenceCode(m_db, field, value.toString()) : value;
    try {
        Update(m_db, m_description, code, {{field.column, typed}});
    } catch (const UserError& refusal) {
        m_prompter.Inform(refusal.message());
        return false;
    }
    Reload();
    return true;
}

}  // namespace zodra::registers

#include "registers/ArticleTableModel.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "registers/TypedValue.h"

namespace zodra::registers {

namespace {

const RegisterDescription& Description() {
    return catalogue::Articles();
}

}  // namespace

ArticleTableModel::ArticleTableModel(Database& db, QString displayExpression, Prompter& prompter,
                                     QObject* parent)
    : QAbstractTableModel(parent),
      m_db(db),
      m_prompter(prompter),
      m_list(db, std::move(displayExpression)) {
    m_count = m_list.Count();
}

void ArticleTableModel::Reload() {
    beginResetModel();
    m_pages.clear();
    m_count = m_list.Count();
    endResetModel();
}

int ArticleTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

int ArticleTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Description().fields.size());
}

int ArticleTableModel::ColumnOf(const QString& column) const {
    const auto& fields = Description().fields;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].column == column) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ArticleTableModel::RowOfCode(int code) {
    const auto row = m_list.Row(code);
    return row ? m_list.RowOf(*row) : -1;
}

int ArticleTableModel::RowOfSearch(const QString& typed) {
    const auto row = m_list.FindFirst(typed);
    return row ? m_list.RowOf(*row) : -1;
}

const std::vector<ArticleTableModel::Row>& ArticleTableModel::Page(int page) const {
    auto it = m_pages.find(page);
    if (it != m_pages.end()) {
        return it->second;
    }
    if (m_pages.size() > 64) {
        m_pages.clear();  // a grid scrolled through a big register: keep memory bounded
    }
    std::vector<Row> rows;
    for (const ArticleRow& listed : m_list.PageAt(page * kPageSize, kPageSize)) {
        Row row;
        row.code = listed.code;
        if (const auto values = Load(m_db, Description(), listed.code)) {
            row.values = *values;
        }
        rows.push_back(std::move(row));
    }
    // Names of the lookups, once per page.
    for (const Field& field : Description().fields) {
        if (field.kind != FieldKind::Reference) {
            continue;
        }
        std::map<qint64, QString> names;
        for (const SavedRow& choice : Choices(m_db, field.referenceTable)) {
            names[choice.code] = choice.name;
        }
        for (Row& row : rows) {
            const QVariant code = row.values.value(field.column);
            const auto name = names.find(code.toLongLong());
            row.shown.insert(field.column, code.isNull() || name == names.end()
                                               ? QVariant(QString())
                                               : QVariant(name->second));
        }
    }
    return m_pages.emplace(page, std::move(rows)).first->second;
}

QVariant ArticleTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count) {
        return QVariant();
    }
    const auto& page = Page(index.row() / kPageSize);
    const size_t at = static_cast<size_t>(index.row() % kPageSize);
    if (at >= page.size()) {
        return QVariant();
    }
    const Row& row = page[at];
    if (role == CodeRole) {
        return row.code;
    }
    const Field& field = Description().fields.at(static_cast<size_t>(index.column()));
    if (role == Qt::TextAlignmentRole) {
        return field.kind == FieldKind::Number || field.kind == FieldKind::Integer
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    }
    if (role == Qt::DisplayRole) {
        if (field.kind == FieldKind::Reference) {
            return row.shown.value(field.column);
        }
        const QVariant value = row.values.value(field.column);
        if (field.kind == FieldKind::Number && !value.isNull()) {
            return NumberText(value.toDouble());
        }
        return value;
    }
    if (role == Qt::EditRole) {
        return row.values.value(field.column);
    }
    return QVariant();
}

QVariant ArticleTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return Description().fields.at(static_cast<size_t>(section)).caption;
}

Qt::ItemFlags ArticleTableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool ArticleTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const int code = data(index, CodeRole).toInt();
    const Field& field = Description().fields.at(static_cast<size_t>(index.column()));
    QVariant typed = value;
    if (field.kind == FieldKind::Reference) {
        typed = ReferenceCode(m_db, field, value.toString());
    }
    try {
        Update(m_db, Description(), code, {{field.column, typed}});
    } catch (const UserError& refusal) {
        m_prompter.Inform(refusal.message());
        return false;
    }
    // The row's place in the list may have moved (a new name): read again.
    Reload();
    return true;
}

}  // namespace zodra::registers

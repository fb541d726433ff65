#pragma once

#include <QString>
#include <stdexcept>

namespace zodra {

// A refusal that carries its own message for the user (a Croatian text shown as it stands).
// Thrown inside a posting it aborts and rolls back the transaction; the window shows the text.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message);
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A refusal that belongs to one field of a window, named by its key (usually the column the field
// is stored in): the window shows the message and puts the focus back into that field.
class FieldError : public UserError {
public:
    FieldError(const QString& field, const QString& message) : UserError(message), m_field(field) {}
    const QString& field() const noexcept { return m_field; }

private:
    QString m_field;
};

// A failure of the database itself: the statement that failed and the driver's own text.
class DbError : public std::runtime_error {
public:
    DbError(const QString& sql, const QString& driverText, int nativeCode = 0);
    const QString& sql() const noexcept { return m_sql; }
    const QString& driverText() const noexcept { return m_driverText; }
    // The engine's own error code when known (SQLite primary result code), else 0.
    int nativeCode() const noexcept { return m_nativeCode; }
    bool isBusy() const noexcept;
    // The engine found the file damaged or not a database at all.
    bool isDamage() const noexcept;
    // The statement was refused by a connection that may only read (Database::SetReadOnlyGuard).
    bool isReadOnlyRefusal() const noexcept;

private:
    QString m_sql;
    QString m_driverText;
    int m_nativeCode;
};

}  // namespace zodra

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

// A failure of the database itself: the statement that failed, the driver's own text and what
// kind of failure it is. The kind is decided by the engine that ran the statement (Engine::
// Classify), so that callers ask "busy?" or "damaged?" without knowing any engine's codes.
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Other,
        Busy,             // another connection holds the lock: the same work may be tried again
        Damage,           // the data is damaged or not a database at all
        ReadOnlyRefusal,  // refused by a connection that may only read (SetReadOnlyGuard)
        ConnectionLost,   // the database server cannot be reached or dropped the connection
    };

    DbError(const QString& sql, const QString& driverText, Kind kind = Kind::Other,
            int nativeCode = 0);
    const QString& sql() const noexcept { return m_sql; }
    const QString& driverText() const noexcept { return m_driverText; }
    Kind kind() const noexcept { return m_kind; }
    // The engine's own error code when known, for logs; 0 otherwise.
    int nativeCode() const noexcept { return m_nativeCode; }
    // Retryable: the work failed only because another writer held the lock.
    bool isBusy() const noexcept { return m_kind == Kind::Busy; }
    // The engine found the file damaged or not a database at all.
    bool isDamage() const noexcept { return m_kind == Kind::Damage; }
    // The statement was refused by a connection that may only read (Database::SetReadOnlyGuard).
    bool isReadOnlyRefusal() const noexcept { return m_kind == Kind::ReadOnlyRefusal; }
    // The server went away: nothing of the unfinished work was written.
    bool isConnectionLost() const noexcept { return m_kind == Kind::ConnectionLost; }

    // What the user reads for a busy company, whichever engine said so.
    static QString BusyMessage();
    // The message for a failure of `kind`: for a busy company and a lost connection the
    // program's own words with the engine's text after them, else the engine's text.
    static QString DescribedText(Kind kind, const QString& driverText);

private:
    QString m_sql;
    QString m_driverText;
    Kind m_kind;
    int m_nativeCode;
};

}  // namespace zodra

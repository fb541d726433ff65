#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "data/Errors.h"

namespace zodra::test {

// An expected message given as a literal or as a QString.
inline QString RefusalText(const char* text) {
    return QString::fromUtf8(text);
}
inline QString RefusalText(const QString& text) {
    return text;
}

// The message f() is refused with; empty when it is not refused.
template <typename F>
QString Refusal(F&& f) {
    try {
        f();
    } catch (const UserError& e) {
        return e.message();
    }
    return QString();
}

// f() is refused with exactly `message`.
template <typename F>
void ExpectRefused(F&& f, const QString& message) {
    try {
        f();
        ADD_FAILURE() << "not refused: " << message.toStdString();
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), message);
    }
}

}  // namespace zodra::test

// A statement refused with exactly the text given.
#define EXPECT_REFUSED(statement, text)                                               \
    try {                                                                             \
        statement;                                                                    \
        ADD_FAILURE() << "not refused: " << #statement;                               \
    } catch (const ::zodra::UserError& refusal) {                                     \
        EXPECT_EQ(refusal.message(), ::zodra::test::RefusalText(text)) << #statement; \
    }

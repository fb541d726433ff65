#include "app/desktop/GuardedApplication.h"

#include <QMessageBox>
#include <cstdio>

#include "data/Errors.h"

namespace zodra::desktop {

QString GuardedApplication::TextFor(const std::exception& error) {
    if (const auto* user = dynamic_cast<const UserError*>(&error)) {
        return user->message();
    }
    if (const auto* db = dynamic_cast<const DbError*>(&error)) {
        return (db->isDamage() ? QStringLiteral("Datoteka baze podataka je oštećena. Zatvorite "
                                                "poduzeće i napravite sažimanje baze.\n\n")
                               : QStringLiteral("Greška baze podataka:\n\n")) +
               db->driverText();
    }
    return QStringLiteral("Neočekivana greška:\n\n") + QString::fromLocal8Bit(error.what());
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        const QString text = TextFor(error);
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        QMessageBox::critical(activeWindow(), QStringLiteral("Zodra"), text);
    }
    return false;
}

}  // namespace zodra::desktop

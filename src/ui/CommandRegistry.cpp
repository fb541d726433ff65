#include "ui/CommandRegistry.h"

namespace zodra::ui {

void CommandRegistry::Register(const QString& controlName, Handler handler) {
    m_handlers[controlName] = std::move(handler);
}

const CommandRegistry::Handler* CommandRegistry::Find(const QString& controlName) const {
    const auto it = m_handlers.find(controlName);
    return it == m_handlers.end() ? nullptr : &it->second;
}

QStringList CommandRegistry::Names() const {
    QStringList names;
    for (const auto& [name, handler] : m_handlers) {
        names << name;
    }
    return names;
}

QStringList CommandRegistry::EntryNames() const {
    QStringList names;
    for (const auto& [name, opener] : m_entries) {
        names << name;
    }
    return names;
}

void CommandRegistry::RegisterEntry(const QString& registerName, EntryOpener opener) {
    m_entries[registerName] = std::move(opener);
}

const CommandRegistry::EntryOpener* CommandRegistry::FindEntry(const QString& registerName) const {
    const auto it = m_entries.find(registerName);
    return it == m_entries.end() ? nullptr : &it->second;
}

std::optional<NewRow> CommandRegistry::OpenEntry(const QString& registerName, WindowHost& host,
                                                 QWidget* parent) const {
    const EntryOpener* opener = FindEntry(registerName);
    if (!opener) {
        return std::nullopt;
    }
    return (*opener)(host, parent);
}

}  // namespace zodra::ui

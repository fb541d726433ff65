#pragma once

#include <QFile>
#include <QString>
#include <utility>
#include <vector>

namespace zodra::test {

using ExampleEdits = std::vector<std::pair<const char*, const char*>>;

// The documented example bill (docs/examples/planer_racun.xml: "O'Brien Ana" paying 110.63 by
// card "Maestro" for "Šišanje" twice, once 10 % off, and "Pranje kose" at 12.50), with each
// text `from` replaced by `to`.
inline QByteArray ExampleBill(const ExampleEdits& edits = {}) {
    QFile file(QStringLiteral(ZODRA_SOURCE_DIR "/docs/examples/planer_racun.xml"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    QByteArray xml = file.readAll();
    for (const auto& [from, to] : edits) {
        xml.replace(from, to);
    }
    return xml;
}

}  // namespace zodra::test

#include "pos/PosText.h"

#include <QStringList>
#include <array>

namespace zodra::pos {

namespace {

struct Mapping {
    char16_t letter;
    unsigned char byte;
};

// The ten Croatian letters in each single-byte table.
constexpr std::array<Mapping, 10> k437 = {{{u'Š', '['},
                                           {u'Đ', '\\'},
                                           {u'Č', '^'},
                                           {u'Ć', ']'},
                                           {u'Ž', '@'},
                                           {u'š', '{'},
                                           {u'đ', '|'},
                                           {u'č', '~'},
                                           {u'ć', '}'},
                                           {u'ž', '`'}}};

constexpr std::array<Mapping, 10> k852 = {{{u'Š', 0xE6},
                                           {u'Đ', 0xD1},
                                           {u'Č', 0xAC},
                                           {u'Ć', 0x8F},
                                           {u'Ž', 0xA6},
                                           {u'š', 0xE7},
                                           {u'đ', 0xD0},
                                           {u'č', 0x9F},
                                           {u'ć', 0x86},
                                           {u'ž', 0xA7}}};

// Windows-1250 beyond ASCII: the letters of Central European text and the signs a receipt may
// carry.
constexpr std::array<Mapping, 39> k1250 = {
    {{u'€', 0x80}, {u'Š', 0x8A}, {u'Ś', 0x8C}, {u'Ť', 0x8D}, {u'Ž', 0x8E}, {u'Ź', 0x8F},
     {u'š', 0x9A}, {u'ś', 0x9C}, {u'ť', 0x9D}, {u'ž', 0x9E}, {u'ź', 0x9F}, {u'Ł', 0xA3},
     {u'§', 0xA7}, {u'°', 0xB0}, {u'ł', 0xB3}, {u'Á', 0xC1}, {u'Ä', 0xC4}, {u'Ć', 0xC6},
     {u'Č', 0xC8}, {u'É', 0xC9}, {u'Ë', 0xCB}, {u'Í', 0xCD}, {u'Đ', 0xD0}, {u'Ó', 0xD3},
     {u'Ö', 0xD6}, {u'Ü', 0xDC}, {u'ß', 0xDF}, {u'á', 0xE1}, {u'ä', 0xE4}, {u'ć', 0xE6},
     {u'č', 0xE8}, {u'é', 0xE9}, {u'ë', 0xEB}, {u'í', 0xED}, {u'đ', 0xF0}, {u'ó', 0xF3},
     {u'ö', 0xF6}, {u'ü', 0xFC}, {u'×', 0xD7}}};

template <std::size_t N>
QByteArray Encode(const QString& text, const std::array<Mapping, N>& table) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
            continue;
        }
        char byte = '?';
        for (const Mapping& m : table) {
            if (m.letter == u) {
                byte = static_cast<char>(m.byte);
                break;
            }
        }
        out.append(byte);
    }
    return out;
}

}  // namespace

QByteArray MapPosText(const QString& text, int codePage) {
    switch (codePage) {
        case 437:
            return Encode(text, k437);
        case 852:
            return Encode(text, k852);
        case 1250:
            return Encode(text, k1250);
        default:
            return text.toUtf8();
    }
}

std::optional<QByteArray> HexBytes(const QString& codes) {
    QByteArray out;
    const QStringList parts = codes.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (!ok || value > 0xFF || part.size() > 2) {
            return std::nullopt;
        }
        out.append(static_cast<char>(value));
    }
    return out;
}

std::optional<int> CodePageSelect(const QString& setting, int codePage, bool* ok) {
    if (ok) {
        *ok = true;
    }
    const QString value = setting.trimmed();
    if (value.isEmpty()) {
        switch (codePage) {
            case 437:
                return 0;
            case 852:
                return 18;
            case 1250:
                return 45;
            default:
                return std::nullopt;
        }
    }
    // The configuration window stores its "NE" as "False".
    if (value.compare(QLatin1String("NE"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return std::nullopt;
    }
    bool number = false;
    const int n = value.toInt(&number);
    if (number && n >= 0 && n <= 255) {
        return n;
    }
    if (ok) {
        *ok = false;
    }
    return std::nullopt;
}

}  // namespace zodra::pos

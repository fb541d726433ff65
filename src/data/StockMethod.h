#pragma once

#include <QString>
#include <optional>

namespace zodra {

// How lots are formed and priced (stored as the Croatian text in the configuration and on each
// posted receipt).
enum class StockMethod { Fifo, Average, LastPrice };

inline QString StockMethodText(StockMethod method) {
    switch (method) {
        case StockMethod::Fifo:
            return QStringLiteral("FIFO");
        case StockMethod::Average:
            return QStringLiteral("Prosječna cijena");
        case StockMethod::LastPrice:
            return QStringLiteral("Zadnja cijena");
    }
    return QStringLiteral("FIFO");
}

// Exact text only: a value in other letter case is not a valid method.
inline std::optional<StockMethod> ParseStockMethod(const QString& text) {
    if (text == QLatin1String("FIFO")) {
        return StockMethod::Fifo;
    }
    if (text == QStringLiteral("Prosječna cijena")) {
        return StockMethod::Average;
    }
    if (text == QStringLiteral("Zadnja cijena")) {
        return StockMethod::LastPrice;
    }
    return std::nullopt;
}

}  // namespace zodra

#pragma once

namespace zodra {

// The database engines the company data can live on. SQL text is written once for both:
// identifiers are always double-quoted, values always bound.
enum class SqlDialect { Sqlite, Postgres };

}  // namespace zodra

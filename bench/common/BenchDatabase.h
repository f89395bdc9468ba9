#pragma once
// The generated database a benchmark runs on. Its location is a folder (the
// SQLite file, generated there by tools/gendata on first use) or a server
// address (postgresql://user@host:port/dbname) that already holds a copy made
// with brelvo-pgcopy. Benchmarks only pass the location on; the data layer
// picks the engine.

#include "data/Database.h"

#include <QString>
#include <initializer_list>

namespace brelvo::bench {

// The first of `variables` set in the environment, else `fallback`.
QString benchLocation(std::initializer_list<const char *> variables, const QString &fallback);

// Opens the database at `location`. A folder without a database gets one
// generated at the default scale (progress on stderr); a server address that
// holds no database is refused with a Portuguese message (DbError NotOpen):
// nothing is generated on a server.
data::DatabasePtr openGenerated(const QString &location);

} // namespace brelvo::bench

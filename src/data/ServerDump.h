#pragma once
// The backup side of a server database (data layer internals; the backup
// tool reaches it through DatabaseFiles).
//
// Desks: every program with the database open holds a shared lock of the
// database's schema for as long as its connection lives; a restore holds it
// exclusively, so no desk opens a half-restored database and the server can
// tell who is connected.
//
// The dump: one file with the rows of every table as the server's COPY text,
// read in one read-only REPEATABLE READ transaction (one snapshot), with the
// schema version, each table's columns and identity counters, and a SHA-256
// of the whole. A restore checks the file first and then rebuilds every
// table from it in one transaction: a failure anywhere leaves the database
// as it was.

#include "data/Engine.h"

#include <QString>
#include <QStringList>

typedef struct pg_conn PGconn;

namespace brelvo::data::detail {

// Raw connection and schema of a server connection; null / empty for SQLite.
PGconn *pgHandle(Conn *c);
QString pgSchema(Conn *c);
// application_name of this program's connections: "Brelvo <host>".
QString deskName();

// The server and the schema that hold the database of `location` (a server
// address, or a folder while the folder server is set); false for a plain
// SQLite folder.
bool serverOf(const QString &location, QString *uri, QString *schema);
// A connection to that server and schema (password as for a Database).
// Throws DbError.
std::unique_ptr<Conn> connectToServerOf(const QString &location);

// Takes the shared desk lock; throws DbError Busy (the restoration message)
// when a restore holds the database for about a second.
void attachDesk(Conn *c);
// Takes the desk lock exclusively; false when a desk stays connected for
// `waitMs`.
bool holdDesksOut(Conn *c, int waitMs);
// The other sessions holding the desk lock, in Portuguese:
// "Brelvo caixa (127.0.0.1, usuário ana, desde 09/12/2026 14:03)".
QStringList connectedDesks(Conn *c);

// File name of the dump of a server database ("brelvo.pgdump").
QString dumpFileName(const QString &uri);
bool isDumpFileName(const QString &fileName);

// Writes the dump of the connection's schema to `target` (replaced).
// Throws DbError.
void writeServerDump(Conn *c, const QString &target);
// Empty when `file` is a whole, undamaged dump; otherwise why not, in
// Portuguese.
QString checkServerDump(const QString &file);
// With the desks held out: rebuilds the connection's schema from `file`
// in one transaction. Throws DbError; on failure nothing changed.
void restoreServerDump(Conn *c, const QString &file);

} // namespace brelvo::data::detail

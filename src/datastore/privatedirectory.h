#pragma once
// Where the private directory of a workstation keeps its working tables.
//
// Reports join the private working tables (":TBX_PRIV:ANSW_ST") with the
// database's tables (":TSTOCK:Catalog.DB") in one statement, so both must be
// reachable from one connection. With a local database (gestiune.db) the
// private tables are a local file as well and the connections attach each
// other. When the database directory's tables live on a server
// (kServerFileName), the private tables go to a schema of that same server
// database, one per workstation and private directory, so that two
// workstations running the same report at once never meet in their tables.
// The private directory then holds a server file of its own, marked as ours
// (key kPrivateServerKey), naming that schema.

#include <QString>

namespace datastore {

// The key that marks a server file written by placePrivateDirectory; a server
// file without it was written by someone else and is never changed here.
inline constexpr const char* kPrivateServerKey = "private";

// The schema of the private tables of `privateDir` on this workstation:
// "priv_<host>_<8 hex digits>", lower case, a plain identifier of at most 63
// characters; the digits are a hash of the host name and the directory's
// absolute path.
QString privateSchemaName(const QString& privateDir, const QString& hostName);
QString privateSchemaName(const QString& privateDir); // this machine's host name

// Makes the private directory follow the database directory. Call it before
// the private connection is set to `privateDir` (Database::setDirectory picks
// the engine from what the directory holds).
//  - `databaseDir` on a server: writes the private directory's server file
//    (the same host, port, database and user, the schema privateSchemaName(),
//    marked as ours), or keeps it when it already says so, and makes the
//    schema on the server when it is missing;
//  - otherwise: removes a private server file written here earlier, so that
//    the working tables are local again.
// A server file in `privateDir` that was not written here is left as it is.
// Throws DbError when the file cannot be written or the server refuses.
void placePrivateDirectory(const QString& privateDir, const QString& databaseDir);

// Drops the schema of a private directory that is no longer used (a
// temporary one, as the command line makes for one run) with its tables, and
// removes the directory's server file; nothing when the directory holds no
// server file written by placePrivateDirectory. Throws DbError.
void dropPrivateSchema(const QString& privateDir);

// Whether `privateDir` holds a server file written by placePrivateDirectory.
bool hasPlacedServerFile(const QString& privateDir);

} // namespace datastore

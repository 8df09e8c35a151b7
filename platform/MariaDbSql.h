#pragma once

#include <QString>

// The program's SQLite statements for a MariaDB server. The server runs with ANSI quotes,
// "||" as concatenation and no backslash escapes, so most statements stand as they are;
// what differs is changed here:
//   rowid                  -> zk_rowid (every table carries it as an invisible key)
//   last_insert_rowid()    -> LAST_INSERT_ID()
//   CREATE TABLE / ALTER TABLE ... ADD COLUMN: the club's declared types (TEXT(50), LONG,
//   SINGLE, DOUBLE, YESNO, DATE, ...) as server types, the declared type kept as the
//   column's comment so that it can be read back.
namespace mariadbsql {

inline const QString kZeilenschluessel = QStringLiteral("zk_rowid");

QString uebersetzen(const QString& sqliteSql);

// The server type of a declared type ("TEXT(50)" -> "VARCHAR(50)", "YESNO" -> "SMALLINT").
QString servertyp(const QString& deklariert);

}  // namespace mariadbsql

#pragma once

#include <QString>

class QSqlDatabase;

// Windows: Qt has no MariaDB driver there, so the club's server is reached through QODBC and
// MariaDB's own ODBC driver (MariaDB Connector/ODBC, 64-bit), which a club installs once.
namespace serverodbc {

// The installed MariaDB ODBC driver's name as Windows lists it ("MariaDB ODBC 3.1 Driver"),
// "" when there is none.
QString treibername();

// The German message when it is missing.
QString fehlt();

// The ODBC connection string; values in braces, a '}' in them doubled as ODBC wants it.
// Found rows count as changed rows (OPTION=2), as the program's MariaDB connection has it.
QString verbindung(const QString& treiber, const QString& rechner, int port,
                   const QString& datenbank, const QString& benutzer, const QString& passwort,
                   int verbindenSekunden, int antwortSekunden);

// Sets up `db` (a QODBC connection) for the server.
void einrichten(QSqlDatabase& db, const QString& rechner, int port, const QString& datenbank,
                const QString& benutzer, const QString& passwort, int verbindenSekunden,
                int antwortSekunden);

}  // namespace serverodbc

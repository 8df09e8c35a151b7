#pragma once

#include <QString>
#include <QVariant>

class QSqlError;

// What Database.cpp and DatabaseServer.cpp (the MariaDB side) share; not for other code.
namespace datenbank {

// The engine's own words for a failure.
QString treibertext(const QSqlError& e);

// The connection to the server is gone: "server has gone away", "lost connection", killed,
// timed out, or the server could not be reached when the client tried again by itself.
bool verbindungVerloren(const QSqlError& e);

// A server's values as the file gives them: dates as ISO text.
QVariant wieDatei(const QVariant& v);

}  // namespace datenbank

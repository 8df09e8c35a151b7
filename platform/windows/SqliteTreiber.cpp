// Windows: the program brings its own SQLite driver (see cmake/Windows.cmake), registered
// under the name Qt's plugin would have.
#include <QSqlDatabase>

#include "qsql_sqlite_p.h"

namespace {

void sqliteTreiberAnmelden() {
    QSqlDatabase::registerSqlDriver(QStringLiteral("QSQLITE"),
                                    new QSqlDriverCreator<QSQLiteDriver>);
}

}  // namespace

Q_CONSTRUCTOR_FUNCTION(sqliteTreiberAnmelden)

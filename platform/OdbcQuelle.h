#pragma once

#include <QString>

#include "platform/Database.h"

class QSqlError;

// A foreign database reached through an ODBC data source, only read with SELECTs. The
// electronic range's result database is reached this way; user name and password belong
// to the data source's own configuration.
class OdbcQuelle {
  public:
    OdbcQuelle();
    ~OdbcQuelle();
    OdbcQuelle(const OdbcQuelle&) = delete;
    OdbcQuelle& operator=(const OdbcQuelle&) = delete;

    // `datenquelle` is the bare data source name ("ssmdb2"). False with the driver's reason.
    bool open(const QString& datenquelle, QString* fehler);
    void close();
    bool isOpen() const;
    // The last statement failed: the connection may be gone and is best opened anew.
    bool gestoert() const { return gestoert_; }

    // Runs a SELECT and reads all its rows. Throws DatabaseError with a German message.
    SqlRows select(const QString& sql);

  private:
    [[noreturn]] void lesefehler(const QSqlError& e);
    QString connectionName_;
    bool gestoert_ = false;
};

#pragma once

#include <QString>

#include "platform/Database.h"

class QSqlError;

// What answers the range import's SELECTs: the data source itself, or what was read from it
// before.
class Lesequelle {
  public:
    virtual ~Lesequelle() = default;
    // Runs a SELECT and reads all its rows. Throws DatabaseError with a German message.
    virtual SqlRows select(const QString& sql) = 0;
};

// A foreign database reached through an ODBC data source, only read with SELECTs. The
// electronic range's result database is reached this way; user name and password belong
// to the data source's own configuration.
// Every call waits at most about kAntwortfristSekunden for the source's server (logging
// in, reading, writing), where the driver lets itself be told so.
class OdbcQuelle : public Lesequelle {
  public:
    OdbcQuelle();
    ~OdbcQuelle() override;
    OdbcQuelle(const OdbcQuelle&) = delete;
    OdbcQuelle& operator=(const OdbcQuelle&) = delete;

    // `datenquelle` is the bare data source name ("ssmdb2"). False with the driver's reason.
    bool open(const QString& datenquelle, QString* fehler);
    // The last open failed because the data source or its driver is not set up on this PC,
    // not because its server did not answer.
    bool einrichtungFehlt() const { return einrichtungFehlt_; }
    void close();
    bool isOpen() const;
    // The last statement failed: the connection may be gone and is best opened anew.
    bool gestoert() const { return gestoert_; }

    SqlRows select(const QString& sql) override;

  private:
    [[noreturn]] void lesefehler(const QSqlError& e);
    QString connectionName_;
    bool gestoert_ = false;
    bool einrichtungFehlt_ = false;
};

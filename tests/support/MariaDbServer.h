#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A MariaDB server of the test's own: a fresh data folder, 127.0.0.1 on a free port, a
// database "meyton" and a user with a password that may read it, stopped by its PID when
// the object goes. The ODBC data source for it is written into the files that ODBCSYSINI
// and ODBCINI name.
class MariaDbServer {
  public:
    MariaDbServer();
    ~MariaDbServer();

    // False with the reason in fehler() (no server installed, it would not start, ...).
    bool starten();
    const QString& fehler() const { return fehler_; }
    int port() const { return port_; }

    // A club user "verein"@127.0.0.1 with every right, its password in ~/.my.cnf (where
    // every MariaDB client looks), and a new empty database for it: its address.
    QString vereinsdatenbank();

    // Runs statements with the mariadb client as root in database "meyton".
    bool sql(const QString& anweisungen, const QString& datenbank = QStringLiteral("meyton"));

    // A data source `name` for this server with the reading user's name and password.
    bool datenquelleEinrichten(const QString& name);
    // A data source configuration without any source.
    static bool datenquellenLeeren();

    void stoppen();
    // The server process stopped (SIGSTOP) and continued (SIGCONT): its connections stay
    // open but nothing answers, as when a cable is pulled or a switch dies.
    bool anhalten();
    bool fortsetzen();
    // Stopped and started again on the same port with the same data, as after a power cut
    // of the club's server.
    bool neuStarten();

  private:
    bool hochfahren();
    QString clientAufruf(const QStringList& args, const QString& eingabe, bool* ok);

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> server_;
    int port_ = 0;
    QString fehler_;
    QString serverProgramm_, clientProgramm_;
    int datenbanken_ = 0;
};

#include "tests/support/MariaDbServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

QString programm(const QString& name) {
    return QStandardPaths::findExecutable(
        name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
               QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/bin")});
}

int freierPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        return 0;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t laenge = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &laenge) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(s);
    return port;
}

QString treiber() {
    for (const QString& p : {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so"),
                             QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libmaodbc.so"),
                             QStringLiteral("/usr/lib/odbc/libmaodbc.so"),
                             QStringLiteral("/usr/lib64/libmaodbc.so")}) {
        if (QFileInfo::exists(p)) {
            return p;
        }
    }
    return {};
}

bool schreiben(const QString& pfad, const QString& text) {
    QDir().mkpath(QFileInfo(pfad).absolutePath());
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

QString odbcSysIni() {
    return qEnvironmentVariable("ODBCSYSINI");
}

QString odbcIni() {
    return qEnvironmentVariable("ODBCINI");
}

}  // namespace

MariaDbServer::MariaDbServer() : dir_(QStringLiteral("/tmp/zk-maria-XXXXXX")) {}

MariaDbServer::~MariaDbServer() {
    stoppen();
}

bool MariaDbServer::starten() {
    serverProgramm_ = programm(QStringLiteral("mariadbd"));
    clientProgramm_ = programm(QStringLiteral("mariadb"));
    const QString install = programm(QStringLiteral("mariadb-install-db"));
    if (serverProgramm_.isEmpty() || clientProgramm_.isEmpty() || install.isEmpty()) {
        fehler_ = QStringLiteral(
            "MariaDB ist nicht installiert (mariadbd, mariadb, mariadb-install-db fehlen); "
            "scripts/install-deps installiert die Pakete mariadb-server und mariadb-client.");
        return false;
    }
    if (treiber().isEmpty()) {
        fehler_ =
            QStringLiteral("Der MariaDB-ODBC-Treiber libmaodbc.so fehlt (Paket odbc-mariadb).");
        return false;
    }
    if (odbcSysIni().isEmpty() || odbcIni().isEmpty()) {
        fehler_ = QStringLiteral("ODBCSYSINI und ODBCINI müssen für den Test gesetzt sein.");
        return false;
    }
    if (!dir_.isValid()) {
        fehler_ = QStringLiteral("Kein temporärer Ordner.");
        return false;
    }
    const QString daten = dir_.filePath(QStringLiteral("data"));
    // Temporary tables in a folder of its own: servers of tests running side by side
    // would otherwise meet in /tmp.
    const QString temp = dir_.filePath(QStringLiteral("tmp"));
    QDir().mkpath(temp);
    QStringList root;
    if (::geteuid() == 0) {
        root << QStringLiteral("--user=root");
    }
    QProcess einrichten;
    einrichten.setProcessChannelMode(QProcess::MergedChannels);
    einrichten.start(
        install, QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + daten,
                             QStringLiteral("--tmpdir=") + temp,
                             QStringLiteral("--auth-root-authentication-method=normal"),
                             QStringLiteral("--skip-test-db")} +
                     root);
    if (!einrichten.waitForFinished(120000) || einrichten.exitCode() != 0) {
        fehler_ = QStringLiteral("mariadb-install-db ist gescheitert: ") +
                  QString::fromLocal8Bit(einrichten.readAll()).right(2000);
        return false;
    }
    port_ = freierPort();
    if (port_ == 0) {
        fehler_ = QStringLiteral("Kein freier Port auf 127.0.0.1.");
        return false;
    }
    return hochfahren() &&
           sql(QStringLiteral("CREATE DATABASE meyton CHARACTER SET utf8mb4;"
                              "CREATE USER 'stand'@'127.0.0.1' IDENTIFIED BY 'geheim';"
                              "GRANT SELECT ON meyton.* TO 'stand'@'127.0.0.1';"));
}

bool MariaDbServer::neuStarten() {
    stoppen();
    return hochfahren();
}

bool MariaDbServer::hochfahren() {
    const QString daten = dir_.filePath(QStringLiteral("data"));
    const QString temp = dir_.filePath(QStringLiteral("tmp"));
    QStringList root;
    if (::geteuid() == 0) {
        root << QStringLiteral("--user=root");
    }
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::MergedChannels);
    // A test that aborts takes its server with it.
    server_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server_->start(
        serverProgramm_,
        QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + daten,
                    QStringLiteral("--tmpdir=") + temp, QStringLiteral("--bind-address=127.0.0.1"),
                    QStringLiteral("--port=%1").arg(port_),
                    QStringLiteral("--socket=") + dir_.filePath(QStringLiteral("sock")),
                    QStringLiteral("--pid-file=") + dir_.filePath(QStringLiteral("pid")),
                    QStringLiteral("--skip-name-resolve"),
                    QStringLiteral("--character-set-server=utf8mb4"),
                    QStringLiteral("--innodb-buffer-pool-size=32M")} +
            root);
    if (!server_->waitForStarted(10000)) {
        fehler_ = QStringLiteral("mariadbd startet nicht: ") + server_->errorString();
        server_.reset();
        return false;
    }
    // The server says when it takes connections; wait for that line, not for a clock.
    QByteArray ausgabe;
    while (!ausgabe.contains("ready for connections")) {
        if (server_->state() != QProcess::Running || !server_->waitForReadyRead(60000)) {
            ausgabe += server_->readAll();
            fehler_ = QStringLiteral("mariadbd ist nicht bereit geworden: ") +
                      QString::fromLocal8Bit(ausgabe).right(2000);
            stoppen();
            return false;
        }
        ausgabe += server_->readAll();
    }
    return true;
}

QString MariaDbServer::clientAufruf(const QStringList& args, const QString& eingabe, bool* ok) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(clientProgramm_,
            QStringList{QStringLiteral("--no-defaults"), QStringLiteral("-uroot"),
                        QStringLiteral("--socket=") + dir_.filePath(QStringLiteral("sock")),
                        QStringLiteral("--default-character-set=utf8mb4")} +
                args);
    p.write(eingabe.toUtf8());
    p.closeWriteChannel();
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAll());
}

bool MariaDbServer::sql(const QString& anweisungen, const QString& datenbank) {
    if (!server_) {
        fehler_ = QStringLiteral("Der Server läuft nicht.");
        return false;
    }
    bool ok = false;
    const bool hatDatenbank = !anweisungen.startsWith(QStringLiteral("CREATE DATABASE meyton"));
    const QString aus =
        clientAufruf(hatDatenbank ? QStringList{datenbank} : QStringList{}, anweisungen, &ok);
    if (!ok) {
        fehler_ = QStringLiteral("SQL gescheitert: ") + aus.right(2000);
    }
    return ok;
}

QString MariaDbServer::vereinsdatenbank() {
    if (datenbanken_ == 0) {
        if (!sql(QStringLiteral("CREATE USER 'verein'@'127.0.0.1' IDENTIFIED BY 'vereinspw';"
                                "GRANT ALL ON *.* TO 'verein'@'127.0.0.1';")) ||
            !schreiben(QDir::home().filePath(QStringLiteral(".my.cnf")),
                       QStringLiteral("[client]\npassword=vereinspw\n"))) {
            return {};
        }
    }
    const QString name = QStringLiteral("verein_%1").arg(++datenbanken_);
    if (!sql(QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4;").arg(name))) {
        return {};
    }
    return QStringLiteral("mariadb://verein@127.0.0.1:%1/%2").arg(port_).arg(name);
}

bool MariaDbServer::datenquelleEinrichten(const QString& name) {
    const QString inst =
        QStringLiteral("[MariaDB]\nDescription=MariaDB Connector/ODBC\nDriver=%1\n").arg(treiber());
    const QString quelle = QStringLiteral(
                               "[%1]\nDriver=MariaDB\nServer=127.0.0.1\nPort=%2\nDatabase=meyton\n"
                               "User=stand\nPassword=geheim\n")
                               .arg(name)
                               .arg(port_);
    return schreiben(QDir(odbcSysIni()).filePath(QStringLiteral("odbcinst.ini")), inst) &&
           schreiben(QDir(odbcSysIni()).filePath(QStringLiteral("odbc.ini")), quelle) &&
           schreiben(odbcIni(), quelle);
}

bool MariaDbServer::datenquellenLeeren() {
    return schreiben(QDir(odbcSysIni()).filePath(QStringLiteral("odbc.ini")), QString()) &&
           schreiben(odbcIni(), QString());
}

void MariaDbServer::stoppen() {
    if (!server_) {
        return;
    }
    if (server_->state() != QProcess::NotRunning) {
        fortsetzen();          // a stopped server would not hear the request
        server_->terminate();  // SIGTERM to its PID: a clean shutdown
        if (!server_->waitForFinished(30000)) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }
    server_.reset();
}

bool MariaDbServer::anhalten() {
    if (!server_ || server_->processId() <= 0 ||
        ::kill(static_cast<pid_t>(server_->processId()), SIGSTOP) != 0) {
        return false;
    }
    // The signal arrives a moment later: stopped once the process shows state T.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(server_->processId()));
    for (int i = 0; i < 200; ++i) {
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray zeile = stat.readAll();
            stat.close();
            const qsizetype klammer = zeile.lastIndexOf(')');
            if (klammer >= 0 && zeile.mid(klammer + 2, 1) == "T") {
                return true;
            }
        }
        ::usleep(10000);
    }
    return false;
}

bool MariaDbServer::fortsetzen() {
    return server_ && server_->processId() > 0 &&
           ::kill(static_cast<pid_t>(server_->processId()), SIGCONT) == 0;
}

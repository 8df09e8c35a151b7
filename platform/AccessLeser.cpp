#include "platform/AccessLeser.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

const QStringList MdbToolsLeser::kProgramme = {
    QStringLiteral("mdb-ver"), QStringLiteral("mdb-tables"), QStringLiteral("mdb-schema"),
    QStringLiteral("mdb-export")};

namespace {

constexpr int kWarteMs = 10 * 60 * 1000;  // a large file's biggest table, on a slow disk

QString fehlendeProgramme() {
    QStringList fehlen;
    for (const QString& p : MdbToolsLeser::kProgramme) {
        if (QStandardPaths::findExecutable(p).isEmpty()) {
            fehlen << p;
        }
    }
    return fehlen.join(QStringLiteral(", "));
}

}  // namespace

MdbToolsLeser::MdbToolsLeser(QString datei) : datei_(std::move(datei)) {}

bool MdbToolsLeser::pruefen(QString* fehler) {
    if (const QString fehlen = fehlendeProgramme(); !fehlen.isEmpty()) {
        *fehler = QStringLiteral(
                      "Die Programme von mdbtools fehlen (%1). Bitte das Paket "
                      "\"mdbtools\" installieren.")
                      .arg(fehlen);
        return false;
    }
    const QFileInfo info(datei_);
    if (!info.exists()) {
        *fehler = QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(datei_);
        return false;
    }
    if (!info.isFile() || !info.isReadable()) {
        *fehler = QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(datei_);
        return false;
    }
    try {
        ausfuehren(QStringLiteral("mdb-ver"), {datei_});
    } catch (const AccessFehler&) {
        *fehler = QStringLiteral("Die Datei \"%1\" ist keine Access-Datenbank.").arg(datei_);
        return false;
    }
    return true;
}

QByteArray MdbToolsLeser::ausfuehren(const QString& programm, const QStringList& argumente) {
    QProcess p;
    // Numbers with a decimal point and texts in UTF-8, whatever the user's locale says.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(programm, argumente);
    if (!p.waitForStarted(30000)) {
        throw AccessFehler(QStringLiteral("\"%1\" kann nicht gestartet werden: %2")
                               .arg(programm, p.errorString()));
    }
    p.closeWriteChannel();
    QByteArray ausgabe;
    // Read while it runs: a big table would fill the pipe and stall the program.
    while (p.state() != QProcess::NotRunning) {
        if (!p.waitForReadyRead(kWarteMs) && p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(5000);
            throw AccessFehler(
                QStringLiteral("\"%1\" antwortet nicht; abgebrochen.").arg(programm));
        }
        ausgabe += p.readAllStandardOutput();
    }
    ausgabe += p.readAllStandardOutput();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QString grund = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        throw AccessFehler(QStringLiteral("\"%1\" ist gescheitert: %2").arg(programm, grund));
    }
    return ausgabe;
}

QStringList MdbToolsLeser::tabellen() {
    const QString text =
        QString::fromUtf8(ausfuehren(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), datei_}));
    QStringList namen;
    for (const QString& z : text.split(u'\n')) {
        if (!z.trimmed().isEmpty()) {
            namen << z.trimmed();
        }
    }
    return namen;
}

QString MdbToolsLeser::schema(const QString& tabelle) {
    return QString::fromUtf8(
        ausfuehren(QStringLiteral("mdb-schema"),
                   {QStringLiteral("-T"), tabelle, datei_, QStringLiteral("access")}));
}

QByteArray MdbToolsLeser::daten(const QString& tabelle) {
    const QString format = QStringLiteral("%Y-%m-%d %H:%M:%S");
    return ausfuehren(QStringLiteral("mdb-export"),
                      {QStringLiteral("-D"), format, QStringLiteral("-T"), format,
                       QStringLiteral("-b"), QStringLiteral("hex"), datei_, tabelle});
}

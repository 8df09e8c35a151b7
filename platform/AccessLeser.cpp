#include "platform/AccessLeser.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

const QStringList MdbToolsLeser::kProgramme = {
    QStringLiteral("mdb-ver"), QStringLiteral("mdb-tables"), QStringLiteral("mdb-schema"),
    QStringLiteral("mdb-export")};

namespace {

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

// A damaged file can make the programs print without end (the same lines again and again,
// or warnings on every row): each run is held to a time and to ten times the file's size.
QByteArray MdbToolsLeser::ausfuehren(const QString& programm, const QStringList& argumente) {
    const qint64 groesse = std::max<qint64>(QFileInfo(datei_).size(), 0);
    const qint64 grenze = std::max<qint64>(10 * groesse, qint64(1) << 20);
    const qint64 zeitMs = kZeitMs + groesse / 1000;  // and a second per megabyte
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
    qint64 meldungen = 0;  // what it wrote to its error channel; only the amount is kept
    QElapsedTimer uhr;
    uhr.start();
    // Read while it runs: a big table would fill the pipe and stall the program.
    for (;;) {
        const bool fertig = p.waitForFinished(100) || p.state() == QProcess::NotRunning;
        ausgabe += p.readAllStandardOutput();
        meldungen += p.readAllStandardError().size();
        if (fertig) {
            break;
        }
        if (ausgabe.size() + meldungen > grenze || uhr.elapsed() > zeitMs) {
            p.kill();
            p.waitForFinished(5000);
            throw AccessFehler(
                QStringLiteral("Die Datei \"%1\" ist beschädigt oder kann nicht gelesen werden: "
                               "%2 kommt an kein Ende und wurde abgebrochen. Es wurde nichts "
                               "übernommen; die Datei bleibt, wie sie ist.")
                    .arg(datei_, programm));
        }
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        throw AccessFehler(
            QStringLiteral("Die Datei \"%1\" ist beschädigt oder keine lesbare Access-Datei "
                           "(%2 ist gescheitert). Es wurde nichts übernommen; die Datei bleibt, "
                           "wie sie ist.")
                .arg(datei_, programm));
    }
    return ausgabe;
}

QStringList tabellenAusListe(const QByteArray& ausgabe) {
    QStringList namen;
    for (const QString& z : QString::fromUtf8(ausgabe).split(u'\n')) {
        if (!z.trimmed().isEmpty()) {
            namen << z.trimmed();
        }
    }
    return namen;
}

QStringList MdbToolsLeser::tabellen() {
    return tabellenAusListe(
        ausfuehren(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), datei_}));
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

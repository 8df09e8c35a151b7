#include "platform/AccessLeser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <algorithm>

const QStringList MdbToolsLeser::kProgramme = {
    QStringLiteral("mdb-ver"), QStringLiteral("mdb-tables"), QStringLiteral("mdb-schema"),
    QStringLiteral("mdb-export"), QStringLiteral("mdb-count")};

namespace {

#ifdef Q_OS_WIN
// On Windows the programs come with Zielkunst and lie beside it.
QString programmordner() {
    return QCoreApplication::applicationDirPath();
}
#endif

QStringList fehlendeProgramme() {
    QStringList fehlen;
    for (const QString& p : MdbToolsLeser::kProgramme) {
        if (MdbToolsLeser::programm(p).isEmpty()) {
#ifdef Q_OS_WIN
            fehlen << p + QStringLiteral(".exe");
#else
            fehlen << p;
#endif
        }
    }
    return fehlen;
}

}  // namespace

QString MdbToolsLeser::programm(const QString& name) {
#ifdef Q_OS_WIN
    if (QString p = QStandardPaths::findExecutable(name, {programmordner()}); !p.isEmpty()) {
        return p;
    }
#endif
    return QStandardPaths::findExecutable(name);
}

namespace {

QString nichtsUebernommen() {
    return QStringLiteral(" Es wurde nichts übernommen; die Datei bleibt, wie sie ist.");
}

// The first lines mdbtools wrote to its error channel, as one line.
QString mdbMeldung(const QString& text) {
    QStringList zeilen = text.split(u'\n', Qt::SkipEmptyParts);
    if (text.size() >= 600 && !zeilen.isEmpty()) {
        zeilen.removeLast();  // cut off in the middle
    }
    const QString t = zeilen.mid(0, 3).join(QStringLiteral("; ")).trimmed();
    return t.isEmpty() ? QString() : QStringLiteral("\nMeldung von mdbtools: ") + t;
}

}  // namespace

#ifdef Q_OS_WIN
namespace {

// Windows hands a program's arguments to mdbtools in the 8-bit code page of the system
// (Windows-1252 on a German PC): a name with any other character arrives broken.
bool achtBitSicher(const QString& text) {
    return QString::fromLocal8Bit(text.toLocal8Bit()) == text;
}

// The file's short (8.3) name, which is plain ASCII; empty when the volume keeps none.
QString kurzname(const QString& pfad) {
    const std::wstring lang = QDir::toNativeSeparators(pfad).toStdWString();
    std::wstring kurz(MAX_PATH, L'\0');
    const DWORD n = GetShortPathNameW(lang.c_str(), kurz.data(), DWORD(kurz.size()));
    if (n == 0 || n >= kurz.size()) {
        return {};
    }
    kurz.resize(n);
    return QFileInfo(QString::fromStdWString(kurz)).fileName();
}

}  // namespace
#endif

// mdbtools is started in the file's folder and given only the file's name (after "./", so
// that a name starting with "-" is no option): the folder may hold any character, a user's
// name for one.
MdbToolsLeser::MdbToolsLeser(QString datei)
    : datei_(std::move(datei)), ordner_(QFileInfo(datei_).absolutePath()) {
    QString name = QFileInfo(datei_).fileName();
#ifdef Q_OS_WIN
    if (!achtBitSicher(name)) {
        const QString kurz = kurzname(datei_);
        name = !kurz.isEmpty() && achtBitSicher(kurz) ? kurz : QString();
    }
#endif
    if (!name.isEmpty()) {
        argument_ = QStringLiteral("./") + name;
    }
}

bool MdbToolsLeser::pruefen(QString* fehler) {
    if (const QStringList fehlen = fehlendeProgramme(); !fehlen.isEmpty()) {
#ifdef Q_OS_WIN
        *fehler = QStringLiteral(
                      "Die Programme zum Lesen alter Access-Dateien fehlen (%1); sie gehören "
                      "zu Zielkunst und liegen sonst neben zielkunst.exe in \"%2\". Bitte "
                      "Zielkunst neu installieren.")
                      .arg(fehlen.join(QStringLiteral(", ")),
                           QDir::toNativeSeparators(programmordner())) +
                  nichtsUebernommen();
#else
        *fehler = QStringLiteral(
                      "Die Programme von mdbtools fehlen (%1). Bitte das Paket "
                      "\"mdbtools\" installieren.")
                      .arg(fehlen.join(QStringLiteral(", ")));
#endif
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
    if (argument_.isEmpty()) {
        *fehler = QStringLiteral("Der Name der Datei \"%1\" enthält Zeichen, die die Programme "
                                 "von mdbtools unter Windows nicht lesen können. Bitte die Datei "
                                 "umbenennen (nur Buchstaben von A bis Z, Umlaute, Ziffern).")
                      .arg(QDir::toNativeSeparators(datei_)) +
                  nichtsUebernommen();
        return false;
    }
    QString version;
    try {
        version = QString::fromUtf8(ausfuehren(QStringLiteral("mdb-ver"), {argument_})).trimmed();
    } catch (const AccessFehler&) {
        *fehler = QStringLiteral("Die Datei \"%1\" ist keine Access-Datenbank.").arg(datei_);
        return false;
    }
    // An Access file is whole pages (2 KiB for Jet 3, 4 KiB after): anything else was cut
    // off on the way (a copy broken off, a stick pulled).
    const qint64 seite = version == QLatin1String("JET3") ? 2048 : 4096;
    if (info.size() % seite != 0) {
        *fehler = QStringLiteral("Die Datei \"%1\" ist beschädigt: ihre Länge (%2 Bytes) ist "
                                 "kein Vielfaches ihrer Seitengröße (%3 Bytes), sie wurde "
                                 "vermutlich abgeschnitten.")
                      .arg(datei_)
                      .arg(info.size())
                      .arg(seite) +
                  nichtsUebernommen();
        return false;
    }
    return true;
}

// A damaged file can make the programs print without end (the same lines again and again,
// or warnings on every row): each run is held to a time and to a size, counted as the
// bytes arrive. Its error channel goes to a file, so that a flood there costs no memory.
QByteArray MdbToolsLeser::ausfuehren(const QString& programm, const QStringList& argumente,
                                     const QString& tabelle) {
    const qint64 groesse = std::max<qint64>(QFileInfo(datei_).size(), 0);
    const qint64 grenze = std::clamp<qint64>(10 * groesse, qint64(1) << 20, kHoechstensBytes);
    const qint64 zeitMs = kZeitMs + groesse / 1000;  // and a second per megabyte
    const QString was = tabelle.isEmpty()
                            ? QStringLiteral("ihr Verzeichnis der Tabellen kann nicht gelesen "
                                             "werden")
                            : QStringLiteral("die Tabelle %1 kann nicht ganz gelesen werden")
                                  .arg(tabelle);
    QTemporaryFile meldungen(QDir::tempPath() + QStringLiteral("/zielkunst-mdbtools-XXXXXX"));
    if (!meldungen.open()) {
        throw AccessFehler(
            QStringLiteral("Für die Meldungen von mdbtools kann keine Datei angelegt werden (%1).")
                .arg(QDir::tempPath()));
    }
    QProcess p;
    // Numbers with a decimal point and texts in UTF-8, whatever the user's locale says.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setStandardErrorFile(meldungen.fileName());
    p.setWorkingDirectory(ordner_);
    const QString pfad = MdbToolsLeser::programm(programm);
    p.start(pfad.isEmpty() ? programm : pfad, argumente);
    if (!p.waitForStarted(30000)) {
        throw AccessFehler(QStringLiteral("\"%1\" kann nicht gestartet werden: %2")
                               .arg(programm, p.errorString()));
    }
    p.closeWriteChannel();
    const auto abbrechen = [&p] {
        p.kill();
        p.waitForFinished(5000);
    };
    const auto gemeldet = [&] { return QFileInfo(meldungen.fileName()).size() > 0; };
    const auto beschaedigt = [&] {
        meldungen.seek(0);
        return AccessFehler(QStringLiteral("Die Datei \"%1\" ist beschädigt: %2.").arg(datei_, was) +
                            nichtsUebernommen() +
                            mdbMeldung(QString::fromUtf8(meldungen.read(600))));
    };
    QByteArray ausgabe;
    QElapsedTimer uhr;
    uhr.start();
    // Read while it runs (a big table would fill the pipe and stall the program), a pipe's
    // worth at a time, and look at the limits after each.
    while (p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(50);
        ausgabe += p.readAllStandardOutput();
        if (gemeldet()) {
            abbrechen();
            throw beschaedigt();
        }
        if (ausgabe.size() > grenze || uhr.elapsed() > zeitMs) {
            abbrechen();
            throw AccessFehler(
                QStringLiteral("Die Datei \"%1\" ist beschädigt oder kann nicht gelesen werden: "
                               "%2 kommt an kein Ende und wurde abgebrochen.")
                    .arg(datei_, programm) +
                nichtsUebernommen());
        }
    }
    ausgabe += p.readAllStandardOutput();
    if (gemeldet()) {
        throw beschaedigt();
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        throw AccessFehler(
            QStringLiteral("Die Datei \"%1\" ist beschädigt oder keine lesbare Access-Datei "
                           "(%2 ist gescheitert).")
                .arg(datei_, programm) +
            nichtsUebernommen());
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
        ausfuehren(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), argument_}));
}

QString MdbToolsLeser::schema(const QString& tabelle) {
    return QString::fromUtf8(
        ausfuehren(QStringLiteral("mdb-schema"),
                   {QStringLiteral("-T"), tabelle, argument_, QStringLiteral("access")}, tabelle));
}

QByteArray MdbToolsLeser::daten(const QString& tabelle) {
    const QString format = QStringLiteral("%Y-%m-%d %H:%M:%S");
    return ausfuehren(QStringLiteral("mdb-export"),
                      {QStringLiteral("-D"), format, QStringLiteral("-T"), format,
                       QStringLiteral("-b"), QStringLiteral("hex"), argument_, tabelle},
                      tabelle);
}

qint64 MdbToolsLeser::zeilenzahl(const QString& tabelle) {
    const QStringList zeilen =
        QString::fromUtf8(ausfuehren(QStringLiteral("mdb-count"), {argument_, tabelle}, tabelle))
            .split(u'\n', Qt::SkipEmptyParts);
    bool ok = false;
    const qint64 n = zeilen.isEmpty() ? -1 : zeilen.last().trimmed().toLongLong(&ok);
    if (!ok || n < 0 || zeilen.size() != 1) {
        throw AccessFehler(QStringLiteral("Die Datei \"%1\" ist beschädigt: die Zahl der Zeilen "
                                          "der Tabelle %2 kann nicht gelesen werden.")
                               .arg(datei_, tabelle) +
                           nichtsUebernommen());
    }
    return n;
}

#include "platform/Dateien.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace dateien {

bool existiert(const QString& pfad) {
    return !pfad.isEmpty() && QFileInfo(pfad).isFile();
}

QString nameWennVorhanden(const QString& pfad) {
    return existiert(pfad) ? QFileInfo(pfad).fileName() : QString();
}

qint64 groesse(const QString& pfad) {
    return existiert(pfad) ? QFileInfo(pfad).size() : -1;
}

bool dieselbeDatei(const QString& a, const QString& b) {
    const QString ka = QFileInfo(a).canonicalFilePath();
    return !ka.isEmpty() && ka == QFileInfo(b).canonicalFilePath();
}

QString kennung(const QString& pfad) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (pfad.isEmpty() || ::stat(QFile::encodeName(pfad).constData(), &st) != 0) {
        return {};
    }
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
#else
    const QFileInfo info(pfad);
    if (!info.isFile()) {
        return {};
    }
    return QString::number(info.birthTime().toMSecsSinceEpoch());
#endif
}

bool kopieren(const QString& von, const QString& nach, QString* fehler) {
    auto fail = [&](const QString& grund) {
        if (fehler) {
            *fehler = grund;
        }
        return false;
    };
    QFile quelle(von);
    if (!quelle.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                        .arg(von, quelle.errorString()));
    }
    QSaveFile ziel(nach);
    if (!ziel.open(QIODevice::WriteOnly)) {
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden: %2")
                        .arg(nach, ziel.errorString()));
    }
    constexpr qint64 kBlock = 1 << 20;
    while (!quelle.atEnd()) {
        const QByteArray block = quelle.read(kBlock);
        if (block.isEmpty() && quelle.error() != QFile::NoError) {
            ziel.cancelWriting();
            return fail(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                            .arg(von, quelle.errorString()));
        }
        if (ziel.write(block) != block.size()) {
            ziel.cancelWriting();
            return fail(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                            .arg(nach, ziel.errorString()));
        }
    }
    if (!ziel.commit()) {
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                        .arg(nach, ziel.errorString()));
    }
    return true;
}

bool umbenennen(const QString& von, const QString& nach) {
    return !QFileInfo::exists(nach) && QFile::rename(von, nach);
}

void entfernen(const QString& pfad) {
    QFile::remove(pfad);
}

bool ordnerFuer(const QString& pfad) {
    return QDir().mkpath(QFileInfo(pfad).absolutePath());
}

}  // namespace dateien

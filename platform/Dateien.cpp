#include "platform/Dateien.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
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
#elif defined(Q_OS_WIN)
    // The volume and the file's index, as device and inode on Unix. Not the creation time:
    // Windows hands that on to a file put under the name of one just replaced.
    if (pfad.isEmpty()) {
        return {};
    }
    const std::wstring name = QDir::toNativeSeparators(pfad).toStdWString();
    const HANDLE h = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!ok) {
        return {};
    }
    return QStringLiteral("%1:%2")
        .arg(info.dwVolumeSerialNumber)
        .arg((static_cast<quint64>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
#else
    const QFileInfo info(pfad);
    return info.isFile() ? QString::number(info.birthTime().toMSecsSinceEpoch()) : QString();
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

bool ersetzen(const QString& von, const QString& nach) {
#ifdef Q_OS_WIN
    // The C library's rename neither replaces a file on Windows nor takes names outside the
    // 8-bit code page (a user folder "Jürgen" would do).
    const QString v = QDir::toNativeSeparators(von), n = QDir::toNativeSeparators(nach);
    return MoveFileExW(reinterpret_cast<LPCWSTR>(v.utf16()), reinterpret_cast<LPCWSTR>(n.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(QFile::encodeName(von).constData(), QFile::encodeName(nach).constData()) ==
           0;
#endif
}

void entfernen(const QString& pfad) {
    QFile::remove(pfad);
}

bool ordnerFuer(const QString& pfad) {
    return QDir().mkpath(QFileInfo(pfad).absolutePath());
}

}  // namespace dateien

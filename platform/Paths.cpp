#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace paths {

QString documentsDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) {
        dir = QDir::homePath();
    }
    return QDir::toNativeSeparators(dir);
}

QString settingsFile() {
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
        QStringLiteral("/wettk.ini"));
}

namespace {
QString inDocuments(const QString& name) {
    return QDir::toNativeSeparators(documentsDir() + QLatin1Char('/') + name);
}
}  // namespace

QString defaultClubDatabase() {
    return inDocuments(QStringLiteral("Training.db"));
}

QString defaultCompetitionDatabase() {
    return inDocuments(QStringLiteral("wettk.db"));
}

QString defaultExportFile() {
    return inDocuments(QStringLiteral("ausgabe.csv"));
}

QString resolve(const QString& stored) {
    static const QString oldFolder = QStringLiteral("c:\\eigene dateien\\");
    QString path = stored.trimmed();
    if (path.startsWith(oldFolder, Qt::CaseInsensitive)) {
        QString rest = path.mid(oldFolder.size());
        if (rest.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive)) {
            rest = rest.left(rest.size() - 4) + QStringLiteral(".db");
        }
        rest.replace(u'\\', u'/');
        return inDocuments(rest);
    }
    return path;
}

QString accessDatei(const QString& stored) {
    static const QString oldFolder = QStringLiteral("c:\\eigene dateien\\");
    const QString path = stored.trimmed();
    if (!path.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive)) {
        return {};
    }
    if (path.startsWith(oldFolder, Qt::CaseInsensitive)) {
        return inDocuments(path.mid(oldFolder.size()).replace(u'\\', u'/'));
    }
    return path;
}

}  // namespace paths

#include "core/Ueber.h"

#include "core/Version.h"
#include "platform/Paths.h"

QString programmVersion() {
    return QStringLiteral(ZK_VERSION);
}

QString ueberText(const QString& einstellungen, const QString& datenbank) {
    return QStringLiteral(
               "Zielkunst %1\n"
               "Der Schießabend eines Schützenvereins.\n\n"
               "Einstellungen: %2\n"
               "Vereinsdatenbank: %3\n"
               "Dokumente (Ausdrucke, Export, Protokolle): %4")
        .arg(programmVersion(), einstellungen,
             datenbank.isEmpty() ? QStringLiteral("(keine geöffnet)") : datenbank,
             paths::documentsDir());
}

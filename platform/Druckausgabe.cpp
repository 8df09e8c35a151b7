#include "platform/Druckausgabe.h"

#include <QDateTime>
#include <QDir>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/QtDrucker.h"

std::unique_ptr<Drucker> standardDrucker(Dialogs& dialogs, const Clock& uhr, QString* pdf,
                                         QString* fehler) {
    const QString name = QtDrucker::standardDrucker();
    const bool aufDrucker =
        !name.isEmpty() &&
        dialogs.askYesNo(QStringLiteral("Auf dem Drucker \"%1\" drucken?\n"
                                        "(Nein: als PDF-Datei in den Dokumenten speichern)")
                             .arg(name));
    if (!aufDrucker) {
        QDir().mkpath(paths::documentsDir());
        *pdf = QDir(paths::documentsDir())
                   .filePath(QStringLiteral("Ausdruck %1.pdf")
                                 .arg(uhr.now().toString(QStringLiteral("yyyy-MM-dd HHmmss"))));
    }
    auto d = std::make_unique<QtDrucker>(*pdf);
    if (!d->beginnen(fehler)) {
        return nullptr;
    }
    return d;
}

void ausdrucken(Dialogs& dialogs, const Clock& uhr, const DruckerWahl& wahl,
                const std::function<void(Drucker&)>& layout) {
    QString pdf;
    QString fehler;
    std::unique_ptr<Drucker> drucker =
        wahl ? wahl(&pdf, &fehler) : standardDrucker(dialogs, uhr, &pdf, &fehler);
    if (!drucker) {
        dialogs.message(QStringLiteral("Es wurde nichts gedruckt.\n") + fehler);
        return;
    }
    layout(*drucker);
    if (!drucker->beenden(&fehler)) {
        dialogs.message(fehler);
        return;
    }
    if (!pdf.isEmpty()) {
        dialogs.message(QStringLiteral("Der Ausdruck wurde als PDF-Datei gespeichert:\n") + pdf);
    }
}

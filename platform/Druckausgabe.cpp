#include "platform/Druckausgabe.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

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
        // Every printout a file of its own, also two in one second: the name is taken by
        // making the file, so that no other print (nor another program) can have it.
        const QString stamm =
            QStringLiteral("Ausdruck ") + uhr.now().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
        for (int n = 1; n < 1000; ++n) {
            const QString name = n == 1 ? stamm : QStringLiteral("%1 (%2)").arg(stamm).arg(n);
            QFile f(QDir(paths::documentsDir()).filePath(name + QStringLiteral(".pdf")));
            if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                *pdf = QDir::toNativeSeparators(f.fileName());  // as the user's system writes it
                break;
            }
        }
        if (pdf->isEmpty()) {
            *fehler = QStringLiteral("Im Dokumente-Ordner kann keine PDF-Datei angelegt werden.");
            return nullptr;
        }
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

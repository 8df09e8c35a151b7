#include "platform/Textdatei.h"

#include <QSaveFile>

bool dateiErsetzen(const QString& pfad, const QByteArray& inhalt, QString* fehler) {
    QSaveFile datei(pfad);
    auto scheitern = [&](const QString& warum) {
        if (fehler) {
            *fehler = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                          .arg(pfad, warum);
        }
        datei.cancelWriting();
        return false;
    };
    if (!datei.open(QIODevice::WriteOnly)) {
        return scheitern(datei.errorString());
    }
    if (datei.write(inhalt) != inhalt.size()) {
        return scheitern(datei.errorString());
    }
    if (!datei.commit()) {
        return scheitern(datei.errorString());
    }
    return true;
}

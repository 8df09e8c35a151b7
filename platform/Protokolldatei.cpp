#include "platform/Protokolldatei.h"

#include <QFile>

Protokolldatei::Protokolldatei() = default;

Protokolldatei::~Protokolldatei() {
    schliessen();
}

bool Protokolldatei::oeffnen(const QString& pfad, QString* fehler) {
    schliessen();
    pfad_ = pfad;
    auto datei = std::make_unique<QFile>(pfad);
    if (!datei->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (fehler) {
            *fehler = QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden: %2")
                          .arg(pfad, datei->errorString());
        }
        return false;
    }
    datei_ = std::move(datei);
    return true;
}

void Protokolldatei::schreiben(const QString& text) {
    if (!datei_) {
        return;
    }
    datei_->write(text.toUtf8());
    datei_->flush();
}

void Protokolldatei::schliessen() {
    if (datei_) {
        datei_->close();
        datei_.reset();
    }
}

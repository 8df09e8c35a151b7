#include "platform/Dateiwechsel.h"

#include "platform/Database.h"
#include "platform/Dateien.h"

Dateiwechsel::Dateiwechsel(std::function<QString()> pfad, int taktMs, QObject* parent)
    : QObject(parent), pfad_(std::move(pfad)) {
    connect(&takt_, &QTimer::timeout, this, &Dateiwechsel::pruefen);
    takt_.start(taktMs);
    pruefen();
}

void Dateiwechsel::pruefen() {
    const QString pfad = pfad_ ? pfad_() : QString();
    const QString kennung =
        pfad.isEmpty() || Database::istServer(pfad) ? QString() : dateien::kennung(pfad);
    if (pfad != zuletztPfad_) {
        zuletztPfad_ = pfad;
        kennung_ = kennung;
        return;
    }
    // A moment without the file (it is being replaced) is no change yet.
    if (kennung.isEmpty() || kennung == kennung_) {
        return;
    }
    const bool warDa = !kennung_.isEmpty();
    kennung_ = kennung;
    if (warDa) {
        emit ersetzt();
    }
}

#include "machine/Rm3Dialog.h"

#include "core/Abendzustand.h"

Rm3Dialog::Rm3Dialog(Lesekontext& k) : k_(k) {
    ruhe_.setSingleShot(true);
    ruhe_.setInterval(300);
    QObject::connect(&ruhe_, &QTimer::timeout, [this] {
        leser_.flush(k_.zustand(), [this](Maschinenereignis e) { k_.ereignis(e); });
        k_.korrektur();
    });
}

void Rm3Dialog::starten() {
    leser_.zuruecksetzen();
    Abendzustand& z = k_.zustand();
    k_.zuRM(z.ProgramCode);
    z.TargetType = z.ProgramCode.startsWith(u'2') ? QStringLiteral("LP") : QStringLiteral("LG");
    k_.pollen(0);
}

void Rm3Dialog::empfangen(const QByteArray& bytes) {
    if (!k_.liest()) {
        return;  // nothing is expected between readings
    }
    k_.debug(bytes);
    leser_.empfangen(bytes, k_.zustand(), [this](Maschinenereignis e) { k_.ereignis(e); });
    if (!k_.liest()) {
        return;  // the text ended the reading
    }
    k_.korrektur();
    if (leser_.hatRest()) {
        ruhe_.start();
    }
}

void Rm3Dialog::stillegen() {
    ruhe_.stop();
    leser_.flush(k_.zustand(), [this](Maschinenereignis e) { k_.ereignis(e); });
}

void Rm3Dialog::beenden(bool) {
    ruhe_.stop();
}

void Rm3Dialog::fernsteuern() {
    k_.zuRM(QStringLiteral("V"));
}

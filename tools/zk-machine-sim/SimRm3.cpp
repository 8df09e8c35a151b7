// The DISAG RM III: a program line starts a reading; it sends each card as records, stays in
// its edit mode after a card it could not score until the program sends "Edit".
#include <QTimer>

#include <algorithm>

#include "Simulator.h"
#include "SimZahlen.h"
#include "machine/Steuerzeichen.h"

using namespace steuer;

void Simulator::rm3Zeile(const QByteArray& zeile) {
    if (zeile.size() >= 9 && std::all_of(zeile.begin(), zeile.begin() + 9,
                                         [](char c) { return c >= '0' && c <= '9'; })) {
        melde("PROGRAMM", zeile);
        naechsteKarte_ = 0;
        slot_ = 1;
        if (fehler_.muell) {
            schreiben(QByteArray("xx\x7f\xfe!", 5) + CR);
        }
        QTimer::singleShot(100, this, &Simulator::rm3Karte);
    } else if (zeile == "Edit" && wartetAufEdit_) {
        wartetAufEdit_ = false;
        QTimer::singleShot(200, this, &Simulator::rm3Karte);
    }
}

QByteArray Simulator::rm3Satz(int slot, const SimSchuss& s) const {
    const QByteArray ring = s.ring == QLatin1String("?") ? QByteArray("?.?") : s.ring.toLatin1();
    QByteArray satz = QByteArray::number(slot) + ';' + ring + ';' +
                      QByteArray::number(s.teiler, 'f', 1) + ';' + mitKomma(s.x, 2) + ';' +
                      mitKomma(s.y, 2) + ';';
    if (s.korrektur) {
        satz += 'M';
    }
    return satz + CR;
}

// The machine sends a whole card; when it had a shot it could not score it stays in its
// edit mode until the program has sent the correction report.
void Simulator::rm3Karte() {
    if (naechsteKarte_ >= karten_.size()) {
        schreibeTeile(QByteArray("ENDE") + CR);
        return;
    }
    const SimKarte& karte = karten_[naechsteKarte_++];
    bool korrektur = false;
    for (const SimSchuss& s : karte) {
        schreibeTeile(rm3Satz(slot_++, s));
        korrektur = korrektur || s.korrektur || s.ring == QLatin1String("?");
    }
    if (fehler_.falscherSlot && naechsteKarte_ == 1) {
        schreibeTeile(rm3Satz(75, SimSchuss{QStringLiteral("9"), 5.0, 0, 0, false}));
    }
    if (korrektur) {
        schreibeTeile(QByteArray("SCHEIBE") + CR, [this] { wartetAufEdit_ = true; });
    } else {
        schreibeTeile(QByteArray("SCHEIBE") + CR,
                      [this] { QTimer::singleShot(200, this, &Simulator::rm3Karte); });
    }
}

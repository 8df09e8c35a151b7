// The RM III in its WIN mode: a handshake (ENQ, STX, serial number, control string), then
// every line with a check character, each waiting for its ACK.
#include <QTimer>

#include <cmath>

#include "Simulator.h"
#include "SimZahlen.h"
#include "machine/Steuerzeichen.h"

using namespace steuer;

namespace {
char pruefzeichen(const QByteArray& text) {
    unsigned char x = 0;
    for (char c : text) {
        x ^= static_cast<unsigned char>(c);
    }
    return static_cast<char>(x < 32 ? x + 32 : x);
}
}  // namespace

void Simulator::winSteuerzeichen(char c) {
    if (c == ENQ) {
        if (winSchritt_ == 0 || winSchritt_ == 1) {
            if (fehler_.nak && !nakGesendet_) {
                nakGesendet_ = true;
                schreiben(QByteArray(1, NAK));
                return;
            }
            schreiben(QByteArray(1, STX));
            winSchritt_ = 1;
        } else if (winSchritt_ == 2) {
            schreiben(QByteArray(1, STX));  // ACK ENQ after the serial number
            winSchritt_ = 3;
        }
    } else if (c == ACK) {
        winAck();
    }
}

void Simulator::winZeile(const QByteArray& zeile) {
    if (zeile.size() < 1) {
        return;
    }
    const QByteArray text = zeile.left(zeile.size() - 1);
    if (text == "SNR=" && winSchritt_ == 1) {
        const QByteArray snr = "SNR=4711";
        schreiben(snr + pruefzeichen(snr) + CR);
        if (fehler_.wiederholen) {
            schreiben(snr + pruefzeichen(snr) + CR);
        }
        winSchritt_ = 2;
        return;
    }
    if (winSchritt_ == 3) {
        melde(pruefzeichen(text) == zeile.back() ? "STEUER" : "STEUER-FALSCH", text);
        winSchritt_ = 0;
        winSteuer(text);
    }
}

QByteArray Simulator::winSatz(int slot, const SimSchuss& s) const {
    const QByteArray ring = s.ring == QLatin1String("?") ? QByteArray("?.?") : s.ring.toLatin1();
    double winkel = std::atan2(s.x, -s.y) * 180.0 / M_PI;
    if (winkel < 0) {
        winkel += 360;
    }
    const QByteArray text = "SCH=" + QByteArray::number(slot) + ';' + ring + ';' +
                            mitKomma(s.teiler, 1) + ';' + mitKomma(winkel, 1) + ';' +
                            (s.korrektur ? "U" : "") + ';';
    return text + pruefzeichen(text) + CR;
}

// A control string starts a reading; any other command ("ABR") ends the one running.
void Simulator::winSteuer(const QByteArray& text) {
    winDaten_ = false;
    winAusgang_.clear();
    winOffen_ = false;
    winWiederholung_.stop();
    if (!text.startsWith("SCH=")) {
        return;
    }
    naechsteKarte_ = 0;
    slot_ = 1;
    winDaten_ = true;
    if (fehler_.muell) {
        winAusgang_.push_back(QByteArray("\x01\x7fzzz", 5) + CR);
    }
    QTimer::singleShot(100, this, &Simulator::winKarte);
}

// An ACK acknowledges the line that is out; an ACK with no line out is ignored. With the
// fault the first ACK of every line comes too late, so the line goes out again.
void Simulator::winAck() {
    if (!winOffen_) {
        return;
    }
    if (fehler_.wiederholen && !winAckVerspaetet_) {
        winAckVerspaetet_ = true;
        return;
    }
    winWiederholung_.stop();
    winOffen_ = false;
    winAusgang_.pop_front();
    QTimer::singleShot(20, this, &Simulator::winNaechsteZeile);
}

void Simulator::winKarte() {
    if (!winDaten_) {
        return;
    }
    if (naechsteKarte_ >= karten_.size()) {
        const QByteArray ende = "WSE";
        winAusgang_.push_back(ende + pruefzeichen(ende) + CR);
        winDaten_ = false;
        winNaechsteZeile();
        return;
    }
    const SimKarte& karte = karten_[naechsteKarte_++];
    for (const SimSchuss& s : karte) {
        winAusgang_.push_back(winSatz(slot_++, s));
    }
    if (fehler_.falscherSlot && naechsteKarte_ == 1) {
        winAusgang_.push_back(winSatz(75, SimSchuss{QStringLiteral("9"), 5.0, 0, 0, false}));
    }
    const QByteArray wsc = "WSC=1";
    const QByteArray staf = "STAF";
    winAusgang_.push_back(wsc + pruefzeichen(wsc) + CR);
    winAusgang_.push_back(staf + pruefzeichen(staf) + CR);
    winNaechsteZeile();
}

// A card's lines go out one at a time; each waits for its ACK.
void Simulator::winNaechsteZeile() {
    if (winOffen_) {
        return;
    }
    if (winAusgang_.empty()) {
        if (winDaten_) {
            QTimer::singleShot(200, this, &Simulator::winKarte);
        }
        return;
    }
    winOffen_ = true;
    winAckVerspaetet_ = false;
    winZeileSenden();
}

// The line that is out goes out (again); 200 ms after its last byte without an ACK it is
// sent once more.
void Simulator::winZeileSenden() {
    if (!winOffen_ || winAusgang_.empty()) {
        return;
    }
    const QByteArray zeile = winAusgang_.front();
    schreibeTeile(zeile, [this, zeile] {
        if (winOffen_ && !winAusgang_.empty() && winAusgang_.front() == zeile) {
            winWiederholung_.start();
        }
    });
}

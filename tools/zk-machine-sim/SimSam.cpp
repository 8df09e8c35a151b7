// The SAM: on each ENQ one strip of ten slots framed by STX, ETB, a check byte and "$",
// kept until it is acknowledged.
#include <QTimer>

#include <cmath>

#include "Simulator.h"
#include "SimZahlen.h"
#include "machine/Steuerzeichen.h"

using namespace steuer;

void Simulator::samSteuerzeichen(char c) {
    if (c == ENQ) {
        samEnq();
    } else if (c == ACK && !fehler_.ackTaub) {
        samOffen_.clear();  // the next strip may come
    } else if (c == NAK) {
        samNak();
    } else if (static_cast<unsigned char>(c) == 178) {
        melde("FERNSTEUERN", {});
    }
}

QByteArray Simulator::samStreifen(const SimKarte& karte) {
    QByteArray block = QByteArray("SAM") + CR + QByteArray::number(naechsteKarte_) + CR + "LG" +
                       CR + "-" + CR + "-" + CR + "-" + CR;
    std::vector<SimSchuss> schuesse(karte.begin(), karte.end());
    if (fehler_.falscherSlot) {
        while (schuesse.size() < 65) {
            schuesse.push_back(SimSchuss{QStringLiteral("8"), 40.0, 1, 1, false});
        }
    }
    for (const SimSchuss& s : schuesse) {
        block += s.ring.toLatin1().rightJustified(2, '0') + CR;
        block += mitKomma(s.teiler, 1) + CR;
        block += QByteArray::number(std::lround(-s.y * 240)) + CR;
        block += QByteArray::number(std::lround(-s.x * 240)) + CR;
    }
    if (fehler_.ohneRahmen) {
        return block;
    }
    // A SAM always sends ten slots; those not shot are empty.
    for (auto n = schuesse.size(); n < 10; ++n) {
        block += QByteArray("??.?") + CR + "????.?" + CR + "-0001" + CR + "-0001" + CR;
    }
    if (fehler_.ohneEtb || fehler_.ohneEtbWartet) {
        return STX + block;
    }
    // The check byte is the XOR of every byte from STX to ETB, both included.
    unsigned char x = 0;
    for (char c : STX + block + ETB) {
        x ^= static_cast<unsigned char>(c);
    }
    return STX + block + ETB + static_cast<char>(x) + '$';
}

// The block with its check byte spoilt.
static QByteArray mitFalscherPruefung(QByteArray rahmen) {
    rahmen[rahmen.size() - 2] = static_cast<char>(rahmen[rahmen.size() - 2] ^ 0x5a);
    return rahmen;
}

bool Simulator::samFalschDiesmal() const {
    if (fehler_.pruefImmerFalsch || (fehler_.pruefFalsch && samSendungen_ == 1)) {
        return true;
    }
    return fehler_.dreimalFalsch > 0 &&
           samStreifenNr_ == static_cast<std::size_t>(fehler_.dreimalFalsch) && samSendungen_ <= 3;
}

// The open strip as it goes out this time, whole.
QByteArray Simulator::samSendung() const {
    if (fehler_.ohneEtbWartet) {
        return samOffen_;  // built without ETB
    }
    if (fehler_.erstesOhneEtb && samSendungen_ == 1) {
        return samOffen_.left(samOffen_.size() - 3);  // STX and the lines only
    }
    return samFalschDiesmal() ? mitFalscherPruefung(samOffen_) : samOffen_;
}

// With the cut the line goes away in the middle of strip 2's first send; the machine keeps
// the strip and comes back (on a new pty, or the same COM port).
void Simulator::samSenden(const QByteArray& bytes) {
    if (fehler_.schnitt > 0 && !geschnitten_ && samStreifenNr_ == 2) {
        geschnitten_ = true;
        schreibeTeile(bytes.left(fehler_.schnitt), [this] {
            QTimer::singleShot(0, this, &Simulator::leitungZiehen);
            QTimer::singleShot(1000, this, &Simulator::wiederAnstecken);
        });
        return;
    }
    schreibeTeile(bytes);
}

void Simulator::wiederAnstecken() {
    const QString pfad = oeffnen();
    melde(leitung_->kennung(), pfad.toLocal8Bit());
}

void Simulator::samEnq() {
    if (!samOffen_.isEmpty()) {
        // Not acknowledged yet: the same block again, whole.
        ++samSendungen_;
        samSenden(samSendung());
        return;
    }
    if (naechsteKarte_ >= karten_.size() || (samUhr_.isValid() && samUhr_.elapsed() < 1500)) {
        if (!fehler_.ohneRahmen && !fehler_.ohneEtb) {
            schreiben(QByteArray(1, NAK));  // no card in the machine
        }
        return;
    }
    samUhr_.start();
    if (fehler_.muell && naechsteKarte_ == 0 && !nakGesendet_) {
        nakGesendet_ = true;
        schreiben(QByteArray("#\x7f~ kaputt") + CR);  // too short to be a block
        return;
    }
    const QByteArray block = samStreifen(karten_[naechsteKarte_++]);
    if (fehler_.ohneRahmen || fehler_.ohneEtb) {
        schreibeTeile(block);  // nothing to acknowledge
        return;
    }
    samOffen_ = block;
    samSendungen_ = 1;
    samStreifenNr_ = naechsteKarte_;
    samSenden(samSendung());
}

// After a NAK the block goes out again from its first data byte, without the STX.
void Simulator::samNak() {
    if (samOffen_.isEmpty()) {
        return;
    }
    ++samSendungen_;
    samSenden(samSendung().mid(1));
}

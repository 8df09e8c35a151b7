#include "Simulator.h"

#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "machine/Steuerzeichen.h"

namespace {
using namespace steuer;

char pruefzeichen(const QByteArray& text) {
    unsigned char x = 0;
    for (char c : text) {
        x ^= static_cast<unsigned char>(c);
    }
    return static_cast<char>(x < 32 ? x + 32 : x);
}

QByteArray mitKomma(double v, int stellen) {
    return QByteArray::number(v, 'f', stellen).replace('.', ',');
}

QByteArray sichtbar(const QByteArray& bytes) {
    QByteArray out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            out += '<' + QByteArray::number(u, 16).rightJustified(2, '0') + '>';
        } else {
            out += c;
        }
    }
    return out;
}
}  // namespace

Simulator::Simulator(Art art, std::vector<SimKarte> karten, Fehler fehler)
    : art_(art),
      karten_(std::move(karten)),
      fehler_(fehler),
      ausgang_(fehler.geteilt, fehler.seed) {
    winWiederholung_.setInterval(200);
    winWiederholung_.setSingleShot(true);
    connect(&winWiederholung_, &QTimer::timeout, this, &Simulator::winZeileSenden);
    connect(&ausgang_, &Ausgang::geschrieben, this, &Simulator::geschrieben);
}

Simulator::~Simulator() {
    notifier_.reset();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

QString Simulator::oeffnen() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return {};
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        return {};
    }
    const QString pfad = QString::fromLocal8Bit(name);
    // Keep the slave open ourselves, raw, so that the line stays up while the program
    // opens and closes it.
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ >= 0) {
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ausgang_.setFd(master_);
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &Simulator::lesbar);
    return pfad;
}

void Simulator::melde(const QByteArray& was, const QByteArray& text) {
    std::printf("%s %s\n", was.constData(), sichtbar(text).constData());
    std::fflush(stdout);
}

void Simulator::schreiben(const QByteArray& bytes) {
    ausgang_.schreiben(bytes, false);
}

// A serial line delivers arbitrary pieces: with the fault switched on every record goes out
// in pieces of 1 to 8 bytes.
void Simulator::schreibeTeile(const QByteArray& bytes, std::function<void()> danach) {
    ausgang_.schreiben(bytes, true, std::move(danach));
}

void Simulator::geschrieben(const QByteArray& text) {
    melde("TX", text);
    zeilenGesendet_ += static_cast<int>(text.count(CR));
    if (fehler_.abbruchNach > 0 && zeilenGesendet_ >= fehler_.abbruchNach) {
        QTimer::singleShot(0, this, &Simulator::leitungZiehen);
    }
}

// The adapter is pulled: both ends of the pty close and the program's side reads errors.
void Simulator::leitungZiehen() {
    if (master_ < 0) {
        return;
    }
    ::tcdrain(master_);
    ::usleep(100000);  // let the program read what was sent before the line goes
    notifier_.reset();
    ausgang_.verwerfen();
    ausgang_.setFd(-1);
    winWiederholung_.stop();
    ::close(master_);
    master_ = -1;
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    melde("GETRENNT", {});
}

void Simulator::lesbar() {
    char puffer[512];
    for (;;) {
        const auto n = ::read(master_, puffer, sizeof puffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            empfangen(puffer[i]);
        }
    }
}

void Simulator::empfangen(char c) {
    if (c == CR) {
        const QByteArray zeile = zeile_;
        zeile_.clear();
        melde("RX", zeile);
        zeileEmpfangen(zeile);
        return;
    }
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 178) {
        melde("RX", QByteArray(1, c));
        steuerzeichen(c);
        return;
    }
    zeile_ += c;
}

void Simulator::steuerzeichen(char c) {
    if (art_ == Art::Sam) {
        if (c == ENQ) {
            samEnq();
        } else if (c == ACK && !fehler_.ackTaub) {
            samOffen_.clear();  // the next strip may come
        } else if (c == NAK) {
            samNak();
        } else if (static_cast<unsigned char>(c) == 178) {
            melde("FERNSTEUERN", {});
        }
        return;
    }
    if (art_ != Art::Rm3Win) {
        return;
    }
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

void Simulator::zeileEmpfangen(const QByteArray& zeile) {
    if (art_ == Art::Rm3) {
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
        return;
    }
    if (art_ == Art::Rm3Win) {
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

// ---- RM III WIN -----------------------------------------------------------------------

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

// ---- SAM ------------------------------------------------------------------------------

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
// the strip and comes back on a new pty.
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
    melde("PTY", pfad.toLocal8Bit());
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

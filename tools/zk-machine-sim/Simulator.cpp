#include "Simulator.h"

#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>

namespace {
constexpr char ENQ = 0x05;
constexpr char STX = 0x02;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char CR = 0x0D;

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
    : art_(art), karten_(std::move(karten)), fehler_(fehler) {}

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
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &Simulator::lesbar);
    return pfad;
}

void Simulator::melde(const QByteArray& was, const QByteArray& text) {
    std::printf("%s %s\n", was.constData(), sichtbar(text).constData());
    std::fflush(stdout);
}

void Simulator::schreiben(const QByteArray& bytes) {
    qsizetype geschrieben = 0;
    while (geschrieben < bytes.size()) {
        const auto n = ::write(master_, bytes.constData() + geschrieben,
                               static_cast<size_t>(bytes.size() - geschrieben));
        if (n <= 0) {
            break;
        }
        geschrieben += n;
    }
    melde("TX", bytes);
}

// A serial line delivers arbitrary pieces: with the fault switched on every record goes
// out in two writes with a pause between them.
void Simulator::schreibeTeile(const QByteArray& bytes) {
    if (!fehler_.geteilt || bytes.size() < 4) {
        schreiben(bytes);
        return;
    }
    const qsizetype mitte = bytes.size() / 2;
    schreiben(bytes.left(mitte));
    ::tcdrain(master_);
    ::usleep(120000);
    schreiben(bytes.mid(mitte));
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
            samBlock();
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
    } else if (c == ACK && winDaten_) {
        if (--offeneAcks_ <= 0) {
            offeneAcks_ = 0;
            QTimer::singleShot(50, this, &Simulator::winKarte);
        }
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
            QTimer::singleShot(100, this, &Simulator::rm3Weiter);
        }
        return;
    }
    if (art_ == Art::Rm3Win) {
        if (zeile.size() < 1) {
            return;
        }
        const QByteArray text = zeile.left(zeile.size() - 1);
        const bool pruefungOk = pruefzeichen(text) == zeile.back();
        if (text == "SNR=" && winSchritt_ == 1) {
            const QByteArray snr = "SNR=4711";
            schreiben(snr + pruefzeichen(snr) + CR);
            winSchritt_ = 2;
            return;
        }
        if (winSchritt_ == 3) {
            melde(pruefungOk ? "STEUER" : "STEUER-FALSCH", text);
            winSchritt_ = 0;
            if (text.startsWith("SCH=")) {
                naechsteKarte_ = 0;
                slot_ = 1;
                winDaten_ = true;
                if (fehler_.muell) {
                    schreiben(QByteArray("\x01\x7fzzz", 5) + CR);
                    ++offeneAcks_;
                }
                QTimer::singleShot(100, this, &Simulator::winKarte);
            }
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

void Simulator::rm3Karte() {
    if (naechsteKarte_ >= karten_.size()) {
        schreiben(QByteArray("ENDE") + CR);
        return;
    }
    const SimKarte& karte = karten_[naechsteKarte_++];
    for (const SimSchuss& s : karte) {
        rm3Ausgang_.push_back({rm3Satz(slot_++, s), s.korrektur});
    }
    if (fehler_.falscherSlot && naechsteKarte_ == 1) {
        rm3Ausgang_.push_back(
            {rm3Satz(75, SimSchuss{QStringLiteral("9"), 5.0, 0, 0, false}), false});
    }
    rm3Ausgang_.push_back({QByteArray("SCHEIBE") + CR, false});
    rm3Weiter();
}

// The machine stops at a shot it could not score and waits in its edit mode until the
// program has sent the correction report.
void Simulator::rm3Weiter() {
    while (!rm3Ausgang_.empty()) {
        const auto [bytes, korrektur] = rm3Ausgang_.front();
        rm3Ausgang_.pop_front();
        schreibeTeile(bytes);
        if (korrektur) {
            wartetAufEdit_ = true;
            return;
        }
    }
    QTimer::singleShot(200, this, &Simulator::rm3Karte);
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

void Simulator::winKarte() {
    if (!winDaten_ || offeneAcks_ > 0) {
        return;
    }
    if (naechsteKarte_ >= karten_.size()) {
        const QByteArray ende = "WSE";
        schreiben(ende + pruefzeichen(ende) + CR);
        winDaten_ = false;
        return;
    }
    const SimKarte& karte = karten_[naechsteKarte_++];
    QByteArray alles;
    for (const SimSchuss& s : karte) {
        alles += winSatz(slot_++, s);
        ++offeneAcks_;
    }
    if (fehler_.falscherSlot && naechsteKarte_ == 1) {
        alles += winSatz(75, SimSchuss{QStringLiteral("9"), 5.0, 0, 0, false});
        ++offeneAcks_;
    }
    const QByteArray wsc = "WSC=1";
    const QByteArray staf = "STAF";
    alles += wsc + pruefzeichen(wsc) + CR;
    alles += staf + pruefzeichen(staf) + CR;
    offeneAcks_ += 2;
    // All lines of a card at once: the program takes one per poll and acknowledges each.
    schreibeTeile(alles);
}

void Simulator::samBlock() {
    if (naechsteKarte_ >= karten_.size() || (samUhr_.isValid() && samUhr_.elapsed() < 1500)) {
        return;  // no card in the machine yet
    }
    samUhr_.start();
    if (fehler_.muell && naechsteKarte_ == 0 && !nakGesendet_) {
        nakGesendet_ = true;
        schreiben(QByteArray("#\x7f~ kaputt") + CR);  // too short to be a block
        return;
    }
    const SimKarte& karte = karten_[naechsteKarte_++];
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
    schreibeTeile(block);
}

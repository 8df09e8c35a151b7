#include "Simulator.h"

// What every machine shares: the pty, reading bytes into lines and control characters, and
// the line going away. Each machine's dialogue is in a file of its own.

#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <cstdio>

#include "machine/Steuerzeichen.h"

namespace {
using namespace steuer;

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
    switch (art_) {
        case Art::Rm3:
            return;  // the RM III knows no control characters from the program
        case Art::Rm3Win:
            winSteuerzeichen(c);
            return;
        case Art::Sam:
            samSteuerzeichen(c);
            return;
    }
}

void Simulator::zeileEmpfangen(const QByteArray& zeile) {
    switch (art_) {
        case Art::Rm3:
            rm3Zeile(zeile);
            return;
        case Art::Rm3Win:
            winZeile(zeile);
            return;
        case Art::Sam:
            return;  // a SAM is driven by control characters only
    }
}

#include "PtyLeitung.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyLeitung::~PtyLeitung() {
    schliessen();
}

QString PtyLeitung::oeffnen() {
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
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PtyLeitung::lesbar);
    return pfad;
}

QString PtyLeitung::fehler() const {
    return QStringLiteral("Pseudo-Terminal kann nicht geöffnet werden");
}

void PtyLeitung::schreiben(const QByteArray& bytes) {
    qsizetype geschrieben = 0;
    while (master_ >= 0 && geschrieben < bytes.size()) {
        const auto n = ::write(master_, bytes.constData() + geschrieben,
                               static_cast<size_t>(bytes.size() - geschrieben));
        if (n <= 0) {
            break;
        }
        geschrieben += n;
    }
}

// Both ends of the pty close and the program's side reads errors.
void PtyLeitung::ziehen() {
    if (master_ < 0) {
        return;
    }
    ::tcdrain(master_);
    ::usleep(100000);  // let the program read what was sent before the line goes
    schliessen();
}

void PtyLeitung::schliessen() {
    notifier_.reset();
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

void PtyLeitung::lesbar() {
    char puffer[512];
    for (;;) {
        const auto n = ::read(master_, puffer, sizeof puffer);
        if (n <= 0) {
            break;
        }
        emit empfangen(QByteArray(puffer, static_cast<qsizetype>(n)));
    }
}

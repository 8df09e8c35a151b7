#include "platform/Signalende.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifndef Q_OS_WIN
namespace {

int gPaar[2] = {-1, -1};  // [0] is written by the handler, [1] read by the event loop
constexpr int kSignale[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void signalGekommen(int) {
    const char b = 1;
    // Nothing to do if it fails: a byte is already waiting.
    [[maybe_unused]] const ssize_t n = ::write(gPaar[0], &b, 1);
}

}  // namespace
#endif

Signalende::Signalende(std::function<void()> beenden, QObject* parent)
    : QObject(parent), beenden_(std::move(beenden)) {
#ifndef Q_OS_WIN
    if (gPaar[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPaar) != 0) {
        return;  // one at a time; without a pair the signals keep their usual effect
    }
    melder_ = new QSocketNotifier(gPaar[1], QSocketNotifier::Read, this);
    connect(melder_, &QSocketNotifier::activated, this, [this] {
        char puffer[16];
        while (::read(gPaar[1], puffer, sizeof puffer) > 0) {
        }
        if (!ausgeloest_) {
            ausgeloest_ = true;
            beenden_();
        }
    });
    struct sigaction sa {};
    sa.sa_handler = signalGekommen;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int s : kSignale) {
        ::sigaction(s, &sa, nullptr);
    }
#endif
}

Signalende::~Signalende() {
#ifndef Q_OS_WIN
    if (melder_ == nullptr) {
        return;
    }
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (const int s : kSignale) {
        ::sigaction(s, &sa, nullptr);
    }
    delete melder_;
    ::close(gPaar[0]);
    ::close(gPaar[1]);
    gPaar[0] = gPaar[1] = -1;
#endif
}

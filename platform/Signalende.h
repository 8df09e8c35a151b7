#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Ends the program as if its window had been closed when the system asks it to end
// (SIGTERM at shutdown or logout, SIGHUP when its terminal goes, SIGINT from Ctrl+C): the
// event loop returns and the end-of-program backup runs, instead of dying on the spot.
// A signal handler may do next to nothing, so it only writes a byte to a socket pair that
// the event loop watches. Does nothing on Windows, which ends programs by other means.
class Signalende : public QObject {
    Q_OBJECT
  public:
    explicit Signalende(std::function<void()> beenden, QObject* parent = nullptr);
    ~Signalende() override;
    Signalende(const Signalende&) = delete;
    Signalende& operator=(const Signalende&) = delete;

    // Whether a signal ended the program.
    bool ausgeloest() const { return ausgeloest_; }

  private:
    std::function<void()> beenden_;
    QSocketNotifier* melder_ = nullptr;
    bool ausgeloest_ = false;
};

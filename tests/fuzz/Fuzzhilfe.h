#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: one QCoreApplication for timers and objects, a reader for
// the fuzzer's bytes, and the oracle's verdict.
namespace fuzz {

inline void anwendung() {
    static int argc = 1;
    static char name[] = "zk-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false");
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
}

// A folder of the process for files the targets write, in memory where the system has
// /dev/shm: every write of a settings file or database is synced, which a disk makes slow.
inline QString arbeitsordner() {
    static QTemporaryDir d(QFileInfo::exists(QStringLiteral("/dev/shm"))
                               ? QStringLiteral("/dev/shm/zk-fuzz-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/zk-fuzz-XXXXXX"));
    return d.path();
}

// An oracle failure is a crash for libFuzzer: it keeps the input and stops.
[[noreturn]] inline void verletzt(const char* was, const QString& einzelheiten = {}) {
    std::fprintf(stderr, "ORAKEL: %s %s\n", was, qPrintable(einzelheiten));
    std::fflush(stderr);
    std::abort();
}

// The fuzzer's bytes, taken from the front.
class Bytes {
  public:
    Bytes(const std::uint8_t* daten, std::size_t groesse) : d_(daten), n_(groesse) {}
    bool leer() const { return i_ >= n_; }
    std::size_t rest() const { return n_ - i_; }
    std::uint8_t byte() { return leer() ? 0 : d_[i_++]; }
    QByteArray stueck(std::size_t laenge) {
        const std::size_t l = laenge < rest() ? laenge : rest();
        QByteArray b(reinterpret_cast<const char*>(d_ + i_), static_cast<qsizetype>(l));
        i_ += l;
        return b;
    }
    // Up to the next separator byte (dropped), or the rest.
    QByteArray bisTrenner(char trenner) {
        std::size_t e = i_;
        while (e < n_ && d_[e] != static_cast<std::uint8_t>(trenner)) {
            ++e;
        }
        QByteArray b(reinterpret_cast<const char*>(d_ + i_), static_cast<qsizetype>(e - i_));
        i_ = e < n_ ? e + 1 : e;
        return b;
    }
    QByteArray alles() { return stueck(rest()); }

  private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t i_ = 0;
};

}  // namespace fuzz

// The start of every target that sets up nothing but the application; one that does more
// defines ZK_FUZZ_EIGENER_START before including this file, and its own start.
#ifndef ZK_FUZZ_EIGENER_START
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::anwendung();
    return 0;
}
#endif

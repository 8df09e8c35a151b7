#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "platform/OdbcQuelle.h"

// What was read from the range before the import: the answers to the selection and to the
// series statements of its results. A statement it does not hold fails with the reason the
// reading stopped.
class Vorgelesen : public Lesequelle {
  public:
    SqlRows select(const QString& sql) override;
    void merken(const QString& sql, SqlRows rows) { antworten_.insert(sql, std::move(rows)); }
    void fehlerMerken(const QString& fehler) { fehler_ = fehler; }
    const QString& fehler() const { return fehler_; }
    bool hat(const QString& sql) const { return antworten_.contains(sql); }

  private:
    QHash<QString, SqlRows> antworten_;
    QString fehler_;
};

// The selection's rows and the series of its results, read from `stand`; the series of
// kSerienBlock results at a time, in one statement. Asks `gewollt` before each statement to
// the range and gives nullptr once it says no. A statement that fails ends the reading: what
// was read stays, with the reason.
inline constexpr std::size_t kSerienBlock = 100;
std::shared_ptr<Vorgelesen> vorlesen(Lesequelle& stand, const QString& auswahlSql,
                                     const std::function<bool()>& gewollt);

// Reads the selection and the series of every result on a thread of its own, on a
// connection of its own, so that the window answers (and "Abbrechen" works) while the range
// does not. The answer is handed to `fertig` on the thread that started the reading, unless
// it was called off before.
class Standleser {
  public:
    struct Ergebnis {
        std::shared_ptr<Vorgelesen> daten;  // null when the data source could not be opened
        QString verbindungsfehler;          // the driver's reason then
        bool einrichtungFehlt = false;      // the data source is not set up on this PC
    };
    using Fertig = std::function<void(Ergebnis)>;

    Standleser() = default;
    // Waits for a reading still running (each of its calls is bounded in time).
    ~Standleser();
    Standleser(const Standleser&) = delete;
    Standleser& operator=(const Standleser&) = delete;

    // `kontext` receives the answer; nothing arrives after it is gone or abbrechen() was called.
    void starten(const QString& datenquelle, const QString& auswahlSql, QObject* kontext,
                 Fertig fertig);
    // The answer of the running reading is dropped; the thread ends when its call returns.
    void abbrechen();
    bool laeuft() const;

  private:
    struct Auftrag;
    std::shared_ptr<Auftrag> auftrag_;
    std::vector<class QThread*> threads_;
};

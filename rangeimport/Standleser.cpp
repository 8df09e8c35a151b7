#include "rangeimport/Standleser.h"

#include "rangeimport/Ergebniszeile.h"

#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <cmath>

SqlRows Vorgelesen::select(const QString& sql) {
    const auto it = antworten_.constFind(sql);
    if (it == antworten_.constEnd()) {
        throw DatabaseError(fehler_.isEmpty()
                                ? QStringLiteral("Die Meyton-Anlage wurde nicht danach gefragt.")
                                : fehler_);
    }
    return *it;
}

// Shared by the window and the reading thread: the thread hands its answer over only while
// the window still wants it.
struct Standleser::Auftrag {
    QMutex mutex;
    bool gewollt = true;
    QPointer<QObject> kontext;
    Fertig fertig;
};

Standleser::~Standleser() {
    abbrechen();
    for (QThread* t : threads_) {
        // Each driver call is bounded; a thread still held past that is left to end alone.
        if (t->wait(3000 * kAntwortfristSekunden)) {
            delete t;
        }
    }
}

void Standleser::starten(const QString& datenquelle, const QString& auswahlSql, QObject* kontext,
                         Fertig fertig) {
    abbrechen();
    auto auftrag = std::make_shared<Auftrag>();
    auftrag->kontext = kontext;
    auftrag->fertig = std::move(fertig);
    auftrag_ = auftrag;
    QThread* t = QThread::create([auftrag, datenquelle, auswahlSql] {
        Ergebnis e;
        {
            OdbcQuelle stand;
            if (!stand.open(datenquelle, &e.verbindungsfehler)) {
                e.einrichtungFehlt = stand.einrichtungFehlt();
            } else {
                e.daten = std::make_shared<Vorgelesen>();
                try {
                    const SqlRows scheiben = stand.select(auswahlSql);
                    e.daten->merken(auswahlSql, scheiben);
                    const int spalte = scheiben.column(QStringLiteral("ScheibenID"));
                    for (const QVariantList& zeile : scheiben.rows) {
                        {
                            const QMutexLocker lock(&auftrag->mutex);
                            if (!auftrag->gewollt) {
                                return;
                            }
                        }
                        bool ok = false;
                        const double id = spalte >= 0 ? zeile.value(spalte).toDouble(&ok) : 0;
                        if (!ok || !std::isfinite(id)) {
                            continue;
                        }
                        const QString sql = serienAbfrage(id);
                        if (!e.daten->hat(sql)) {
                            e.daten->merken(sql, stand.select(sql));
                        }
                    }
                } catch (const DatabaseError& fehler) {
                    e.daten->fehlerMerken(fehler.message());
                }
            }
        }
        const QMutexLocker lock(&auftrag->mutex);
        if (auftrag->gewollt && auftrag->kontext) {
            QMetaObject::invokeMethod(
                auftrag->kontext.data(),
                [auftrag, e] {
                    Fertig f;
                    {
                        const QMutexLocker l(&auftrag->mutex);
                        if (!auftrag->gewollt) {
                            return;
                        }
                        auftrag->gewollt = false;
                        f = std::move(auftrag->fertig);
                    }
                    f(e);
                },
                Qt::QueuedConnection);
        }
    });
    threads_.push_back(t);
    t->start();
    // Threads that ended are let go; a reading called off may still run.
    std::erase_if(threads_, [t](QThread* x) {
        if (x != t && x->isFinished()) {
            delete x;
            return true;
        }
        return false;
    });
}

void Standleser::abbrechen() {
    if (auftrag_) {
        const QMutexLocker lock(&auftrag_->mutex);
        auftrag_->gewollt = false;
    }
    auftrag_.reset();
}

bool Standleser::laeuft() const {
    if (!auftrag_) {
        return false;
    }
    const QMutexLocker lock(&auftrag_->mutex);
    return auftrag_->gewollt;
}

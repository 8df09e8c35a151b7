#include "rangeimport/Standleser.h"

#include "rangeimport/Ergebniszeile.h"

#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <cmath>
#include <map>
#include <set>

SqlRows Vorgelesen::select(const QString& sql) {
    const auto it = antworten_.constFind(sql);
    if (it == antworten_.constEnd()) {
        throw DatabaseError(fehler_.isEmpty()
                                ? QStringLiteral("Die Meyton-Anlage wurde nicht danach gefragt.")
                                : fehler_);
    }
    return *it;
}

namespace {

// The series of a block of results in one statement; each result's rows become the answer
// to its own series statement, so that the import asks as if it had asked one by one.
void serienLesen(Lesequelle& stand, const std::vector<double>& ids, Vorgelesen& daten) {
    QStringList liste;
    for (const double id : ids) {
        liste << QString::number(static_cast<qlonglong>(id));
    }
    const SqlRows alle = stand.select(
        QStringLiteral("SELECT * from Serien where ScheibenID IN (%1)").arg(liste.join(u',')));
    std::map<qlonglong, SqlRows> jeScheibe;
    for (const double id : ids) {
        jeScheibe[static_cast<qlonglong>(id)].columns = alle.columns;
    }
    const int spalte = alle.column(QStringLiteral("ScheibenID"));
    for (const QVariantList& zeile : alle.rows) {
        double id = 0;
        if (spalte < 0 || !scheibenId(zeile.value(spalte), &id)) {
            continue;
        }
        const auto it = jeScheibe.find(static_cast<qlonglong>(id));
        if (it != jeScheibe.end()) {
            it->second.rows.push_back(zeile);
        }
    }
    for (auto& [id, rows] : jeScheibe) {
        daten.merken(serienAbfrage(static_cast<double>(id)), std::move(rows));
    }
}

}  // namespace

std::shared_ptr<Vorgelesen> vorlesen(Lesequelle& stand, const QString& auswahlSql,
                                     const std::function<bool()>& gewollt) {
    auto daten = std::make_shared<Vorgelesen>();
    try {
        const SqlRows scheiben = stand.select(auswahlSql);
        daten->merken(auswahlSql, scheiben);
        const int spalte = scheiben.column(QStringLiteral("ScheibenID"));
        std::vector<double> block;
        std::set<qlonglong> gesehen;
        for (std::size_t z = 0; z <= scheiben.size(); ++z) {
            double id = 0;
            if (z < scheiben.size() && spalte >= 0 &&
                scheibenId(scheiben.rows[z].value(spalte), &id) &&
                gesehen.insert(static_cast<qlonglong>(id)).second) {
                block.push_back(id);
            }
            if (block.size() == kSerienBlock || (z == scheiben.size() && !block.empty())) {
                if (!gewollt()) {
                    return nullptr;
                }
                serienLesen(stand, block, *daten);
                block.clear();
            }
        }
    } catch (const DatabaseError& fehler) {
        daten->fehlerMerken(fehler.message());
    }
    return daten;
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
                e.daten = vorlesen(stand, auswahlSql, [&auftrag] {
                    const QMutexLocker lock(&auftrag->mutex);
                    return auftrag->gewollt;
                });
                if (!e.daten) {
                    return;
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

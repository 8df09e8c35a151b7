// What mdbtools prints for an old Access file (the table list, each table's schema and its
// exported rows), taken over into a new club file. The texts are separated by 0x1E; a list
// that starts with "!" stands for a program that failed.
//
// Oracle: a takeover that fails says why in German and leaves no file behind; one that
// succeeds has every listed table, each with the rows its report names.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "maintenance/Accessuebernahme.h"
#include "platform/AccessLeser.h"
#include "tests/fuzz/Fuzzhilfe.h"

namespace {

class Leser : public AccessLeser {
  public:
    explicit Leser(QList<QByteArray> teile) : teile_(std::move(teile)) {}
    QStringList tabellen() override {
        if (teile_.value(0).startsWith('!')) {
            throw AccessFehler(QStringLiteral("mdb-tables ist gescheitert."));
        }
        namen_ = tabellenAusListe(teile_.value(0));
        return namen_;
    }
    QString schema(const QString& tabelle) override {
        return QString::fromUtf8(teile_.value(1 + 2 * namen_.indexOf(tabelle)));
    }
    QByteArray daten(const QString& tabelle) override {
        const QByteArray d = teile_.value(2 + 2 * namen_.indexOf(tabelle));
        if (d.startsWith('!')) {
            throw AccessFehler(QStringLiteral("mdb-export ist gescheitert."));
        }
        return d;
    }

  private:
    QList<QByteArray> teile_;
    QStringList namen_;
};

QString bezeichner(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The rows of a table in the new file, -1 when it has no such table.
qint64 zeilenIn(sqlite3* db, const QString& tabelle) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = ("SELECT count(*) FROM " + bezeichner(tabelle)).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(st);
        return -1;
    }
    qint64 n = -1;
    if (sqlite3_step(st) == SQLITE_ROW) {
        n = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const QByteArray alles(reinterpret_cast<const char*>(daten), static_cast<qsizetype>(groesse));
    Leser leser(alles.split('\x1e'));
    const QString neu = fuzz::arbeitsordner() + QStringLiteral("/neu.db");
    QFile::remove(neu);
    Uebernahmebericht bericht;
    QString fehler;
    const bool ok = Accessuebernahme(leser).uebernehmen(neu, &bericht, &fehler);
    const bool restDa = QFile::exists(neu + QStringLiteral(".neu"));
    if (!ok) {
        if (fehler.isEmpty() || QFile::exists(neu) || restDa) {
            fuzz::verletzt("gescheiterte Übernahme ohne Grund oder mit Datei", fehler);
        }
        return 0;
    }
    if (!fehler.isEmpty() || restDa) {
        fuzz::verletzt("gelungene Übernahme mit Fehler oder Arbeitsdatei", fehler);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(neu).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        fuzz::verletzt("neue Datei nicht lesbar");
    }
    const QStringList namen = tabellenAusListe(alles.split('\x1e').value(0));
    for (int i = 0; i < namen.size(); ++i) {
        const qint64 n = zeilenIn(db, namen[i]);
        if (n < 0) {
            sqlite3_close(db);
            fuzz::verletzt("Tabelle fehlt in der neuen Datei", namen[i]);
        }
        // A table listed twice holds what its last listing gave; the club's Sonder table
        // gets its one row when the old file had none.
        bool spaeter = false;
        for (int j = i + 1; j < namen.size(); ++j) {
            spaeter = spaeter || namen[j].compare(namen[i], Qt::CaseInsensitive) == 0;
        }
        const QString zeile = bericht.tabellen.value(i);
        const qint64 gemeldet =
            zeile.section(QStringLiteral(": "), -1).section(u' ', 0, 0).toLongLong();
        const bool sonder = bericht.vereinsdatenbank &&
                            namen[i].compare(QLatin1String("Sonder"), Qt::CaseInsensitive) == 0;
        if (!spaeter && !sonder && n != gemeldet) {
            sqlite3_close(db);
            fuzz::verletzt("Zeilen der Tabelle anders als gemeldet",
                           namen[i] + QStringLiteral(": ") + QString::number(n) +
                               QStringLiteral(" statt ") + zeile);
        }
    }
    sqlite3_close(db);
    QFile::remove(neu);
    return 0;
}

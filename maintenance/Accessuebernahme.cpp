#include "maintenance/Accessuebernahme.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "core/Ini.h"
#include "core/Schema.h"
#include "core/Sonder.h"
#include "maintenance/Sicherungen.h"
#include "maintenance/VorAenderung.h"
#include "platform/AccessLeser.h"
#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Paths.h"

namespace {

QString name(const QString& bezeichner) {
    return u'"' + QString(bezeichner).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool istVereinsdatei(const QStringList& tabellen) {
    for (const QString& t : tabellen) {
        if (t.compare(QLatin1String("Mitglieder"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("Ergebnis"), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// The club's evenings and birthdays are days: a time of day in the old file would keep an
// evening from being found by its date.
bool nurTag(const QString& tabelle, const QString& feld) {
    auto ist = [](const QString& a, const char* b) {
        return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
    };
    return (ist(feld, "Datum") && (ist(tabelle, "Ergebnis") || ist(tabelle, "Einzelergebnisse"))) ||
           (ist(feld, "Geburtstag") && ist(tabelle, "Mitglieder"));
}

// One table into the open file: created unless the club schema has it, missing fields
// added, every row written with the types the file declares. The number of rows; what
// mdbtools could not give is added to *nichtLesbar.
qint64 tabelleSchreiben(Database& db, const QString& tabelle, const QString& schemaText,
                        const QByteArray& csv, QStringList* nichtLesbar) {
    const std::vector<mdbtext::Spalte> access = mdbtext::spalten(schemaText);
    QStringList kopf;
    const std::vector<QVariantList> zeilen = mdbtext::zeilen(csv, &kopf);
    // A damaged file gives fields without a name, or fields its table does not have.
    for (const QString& k : kopf) {
        const bool bekannt = std::any_of(access.begin(), access.end(), [&](const auto& s) {
            return s.name.compare(k, Qt::CaseInsensitive) == 0;
        });
        if (k.trimmed().isEmpty() || !bekannt) {
            throw AccessFehler(
                QStringLiteral("Die Tabelle %1 der Datei ist beschädigt: mdbtools liefert Felder, "
                               "die sie nicht hat. Es wurde nichts übernommen; die Datei bleibt, "
                               "wie sie ist.")
                    .arg(tabelle));
        }
    }

    // Currency and Numeric stay numbers only where a double keeps every digit.
    auto deklariert = [&](const mdbtext::Spalte& s) {
        QString typ = mdbtext::deklarierterTyp(s.typ);
        const QString t = s.typ.trimmed().toLower();
        if (t.startsWith(QLatin1String("currency")) || t.startsWith(QLatin1String("numeric"))) {
            const qsizetype i = kopf.indexOf(s.name);
            for (const QVariantList& z : zeilen) {
                if (i >= 0 && i < z.size() && z[i].isValid() &&
                    !mdbtext::passtInDouble(z[i].toString())) {
                    typ = QStringLiteral("TEXT");
                    break;
                }
            }
        }
        return typ;
    };
    if (!db.hasTable(tabelle)) {
        QStringList felder;
        for (const auto& s : access) {
            felder << name(s.name) + u' ' + deklariert(s);
        }
        if (felder.isEmpty()) {
            throw DatabaseError(QStringLiteral("Die Tabelle %1 hat keine Felder.").arg(tabelle));
        }
        db.run(QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(name(tabelle), felder.join(QStringLiteral(", "))));
    } else {
        // The club file's own rows (the one Sonder row) give way to the old file's.
        db.run(QStringLiteral("DELETE FROM %1").arg(name(tabelle)));
    }
    std::vector<ColumnInfo> ziel = db.columns(tabelle);
    QStringList erweitert;
    for (const auto& s : access) {
        const bool da = std::any_of(ziel.begin(), ziel.end(), [&](const ColumnInfo& c) {
            return c.name.compare(s.name, Qt::CaseInsensitive) == 0;
        });
        if (!da) {
            db.run(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                       .arg(name(tabelle), name(s.name), deklariert(s)));
        }
        if (s.typ.contains(QLatin1String("extended"), Qt::CaseInsensitive)) {
            erweitert << s.name;
        }
    }
    ziel = db.columns(tabelle);
    if (kopf.isEmpty()) {
        return 0;
    }

    QStringList typen;
    QStringList platz;
    QStringList felder;
    for (const QString& k : kopf) {
        QString typ = QStringLiteral("TEXT");
        for (const ColumnInfo& c : ziel) {
            if (c.name.compare(k, Qt::CaseInsensitive) == 0) {
                typ = c.declaredType;
            }
        }
        typen << typ;
        felder << name(k);
        platz << QStringLiteral("?");
    }
    const QString einfuegen = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(name(tabelle), felder.join(QStringLiteral(", ")),
                                       platz.join(QStringLiteral(", ")));
    int alteDaten = 0;
    QStringList alteFelder;
    for (const QVariantList& z : zeilen) {
        QVariantList werte;
        werte.reserve(kopf.size());
        for (qsizetype i = 0; i < kopf.size(); ++i) {
            const QVariant roh = i < z.size() ? z[i] : QVariant();
            QVariant w = mdbtext::wert(roh, typen[i], nurTag(tabelle, kopf[i]));
            // A date mdbtools cannot give (before 1900) comes as a text that is no date.
            if (typen[i].startsWith(QLatin1String("DATE"), Qt::CaseInsensitive) && roh.isValid() &&
                w.toString() == roh.toString() &&
                !QDateTime::fromString(roh.toString().trimmed(),
                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                     .isValid()) {
                ++alteDaten;
                if (!alteFelder.contains(kopf[i])) {
                    alteFelder << kopf[i];
                }
            }
            werte << w;
        }
        db.run(einfuegen, werte);
    }
    if (alteDaten > 0) {
        *nichtLesbar << QStringLiteral(
                            "%1: %2 Datumswerte (Feld %3) kann mdbtools nicht lesen, meist Tage "
                            "vor 1900; übernommen wurde sein Text, z. B. \"1900-01-00 00:00:00\".")
                            .arg(tabelle)
                            .arg(alteDaten)
                            .arg(alteFelder.join(QStringLiteral(", ")));
    }
    for (const QString& f : erweitert) {
        *nichtLesbar << QStringLiteral(
                            "%1: Das Feld %2 (Datum/Zeit erweitert) kann mdbtools nicht lesen; es "
                            "bleibt leer.")
                            .arg(tabelle, f);
    }
    return static_cast<qint64>(zeilen.size());
}

}  // namespace

QString Uebernahmebericht::text(const QString& alt, const QString& neu) const {
    return QStringLiteral("\"%1\" wurde nach \"%2\" übernommen: %3 %4, %5 %6.\n")
               .arg(alt, neu)
               .arg(tabellen.size())
               .arg(tabellen.size() == 1 ? QStringLiteral("Tabelle") : QStringLiteral("Tabellen"))
               .arg(zeilen)
               .arg(zeilen == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen")) +
           tabellen.join(u'\n') +
           (nichtLesbar.isEmpty()
                ? QString()
                : QStringLiteral("\n\nNicht lesbar:\n") + nichtLesbar.join(u'\n'));
}

Accessuebernahme::Accessuebernahme(AccessLeser& leser, Fortschritt fortschritt)
    : leser_(leser), fortschritt_(std::move(fortschritt)) {}

bool Accessuebernahme::uebernehmen(const QString& neu, Uebernahmebericht* bericht,
                                   QString* fehler) {
    if (dateien::existiert(neu)) {
        *fehler = QStringLiteral("Die Datei \"%1\" gibt es schon; sie wird nicht überschrieben.")
                      .arg(neu);
        return false;
    }
    // Written beside the target and named only when complete.
    const QString arbeit = neu + QStringLiteral(".neu");
    dateien::entfernen(arbeit);
    dateien::entfernen(arbeit + QStringLiteral("-journal"));
    QDir().mkpath(QFileInfo(neu).absolutePath());
    *bericht = {};
    fehler->clear();
    try {
        const QStringList tabellen = leser_.tabellen();
        if (tabellen.isEmpty()) {
            *fehler = QStringLiteral(
                "In der Datei ist keine Tabelle zu lesen; sie ist vermutlich beschädigt. Es "
                "wurde nichts übernommen.");
            return false;
        }
        bericht->vereinsdatenbank = istVereinsdatei(tabellen);
        Database db;
        if (!db.open(arbeit, fehler, true)) {
            fehler->replace(arbeit, neu);
            return false;
        }
        if (bericht->vereinsdatenbank) {
            schema::erstelleTabellen(db);
        }
        {
            Transaction t(db);
            for (int i = 0; i < tabellen.size(); ++i) {
                if (fortschritt_) {
                    fortschritt_(i, static_cast<int>(tabellen.size()), tabellen[i]);
                }
                const QString schemaText = leser_.schema(tabellen[i]);
                const QByteArray csv = leser_.daten(tabellen[i]);
                const qint64 soll = leser_.zeilenzahl(tabellen[i]);
                const qint64 n =
                    tabelleSchreiben(db, tabellen[i], schemaText, csv, &bericht->nichtLesbar);
                // A file cut off or with a lost page gives fewer rows than it declares.
                if (soll >= 0 && n != soll) {
                    throw AccessFehler(
                        QStringLiteral("Die Access-Datei ist beschädigt: die Tabelle %1 hat %2 "
                                       "Zeilen, lesbar sind %3. Es wurde nichts übernommen; die "
                                       "Datei bleibt, wie sie ist.")
                            .arg(tabellen[i])
                            .arg(soll)
                            .arg(n));
                }
                bericht->tabellen << QStringLiteral("%1: %2 %3")
                                         .arg(tabellen[i])
                                         .arg(n)
                                         .arg(n == 1 ? QStringLiteral("Zeile")
                                                     : QStringLiteral("Zeilen"));
                bericht->zeilen += n;
            }
            if (bericht->vereinsdatenbank) {
                // The schema is now this version's, whatever the old file said.
                sonder::versionSetzen(db);
            }
            t.commit();
        }
        if (fortschritt_) {
            fortschritt_(static_cast<int>(tabellen.size()), static_cast<int>(tabellen.size()), {});
        }
        db.close();
    } catch (const AccessFehler& e) {
        *fehler = e.text();
    } catch (const DatabaseError& e) {
        *fehler = e.message();
    }
    if (!fehler->isEmpty()) {
        fehler->replace(arbeit, neu);
        dateien::entfernen(arbeit);
        dateien::entfernen(arbeit + QStringLiteral("-journal"));
        return false;
    }
    if (!dateien::umbenennen(arbeit, neu)) {
        dateien::entfernen(arbeit);
        *fehler = QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden.").arg(neu);
        return false;
    }
    return true;
}

bool vereinsdateiLeer(const QString& datei) {
    Database db;
    QString fehler;
    if (!db.open(datei, &fehler, false, Database::Zugriff::NurLesen)) {
        return false;
    }
    try {
        return db.run(QStringLiteral("SELECT count(*) FROM Mitglieder")).rows[0][0].toInt() == 0 &&
               db.run(QStringLiteral("SELECT count(*) FROM Ergebnis")).rows[0][0].toInt() == 0;
    } catch (const DatabaseError&) {
        return false;
    }
}

QString uebernahmeZiel(const QString& mdb) {
    const QFileInfo info(mdb);
    return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".db");
}

bool accessDateiUebernehmen(const QString& alt, const QString& neu, const QDateTime& jetzt,
                            const Accessuebernahme::Fortschritt& fortschritt, QString* text,
                            const QString& sicherungsordner) {
    MdbToolsLeser leser(alt);
    QString fehler;
    voraenderung::ankuendigen(QStringLiteral("Übernahme einer Access-Datei"));
    if (!leser.pruefen(&fehler)) {
        *text = fehler;
        return false;
    }
    if (dateien::existiert(neu)) {
        *text = QStringLiteral("Die Datei \"%1\" gibt es schon; sie wird nicht überschrieben.")
                    .arg(neu);
        return false;
    }
    // The safety copy goes to the backups folder: the old file may lie on a stick or share
    // that cannot be written, and nothing is written beside it.
    sicherungen::Regel regel;
    if (sicherungsordner.isEmpty()) {
        regel = sicherungen::regelLesen(Ini(paths::settingsFile()));
    } else {
        regel.ordner = sicherungsordner;
    }
    if (regel.eigenerOrdner && !QFileInfo(regel.ordner).isDir()) {
        *text = QStringLiteral(
                    "Vor der Übernahme muss eine Sicherung angelegt werden; der "
                    "Sicherungsordner \"%1\" ist nicht da (ein USB-Stick nicht eingesteckt?).")
                    .arg(regel.ordner);
        return false;
    }
    const QFileInfo info(alt);
    const QString stamm = QStringLiteral("Sicherung_%1 %2")
                              .arg(info.completeBaseName(),
                                   jetzt.toString(QStringLiteral("yyyy-MM-dd HHmmss")));
    // Never over an earlier copy of the same name (the same second, or on Windows a name
    // differing only in case): a failed takeover removes its own copy again.
    QString sicherung = QDir(regel.ordner).filePath(stamm + u'.' + info.suffix());
    for (int n = 2; dateien::existiert(sicherung); ++n) {
        sicherung = QDir(regel.ordner).filePath(
            QStringLiteral("%1 (%2).%3").arg(stamm).arg(n).arg(info.suffix()));
    }
    if (!QDir().mkpath(regel.ordner) || !dateien::kopieren(alt, sicherung, &fehler)) {
        *text = QStringLiteral(
                    "Vor der Übernahme muss eine Sicherung angelegt werden; das ging "
                    "nicht.\n") +
                (fehler.isEmpty()
                     ? QStringLiteral("Der Sicherungsordner \"%1\" kann nicht angelegt werden.")
                           .arg(regel.ordner)
                     : fehler);
        return false;
    }
    Uebernahmebericht bericht;
    if (!Accessuebernahme(leser, fortschritt).uebernehmen(neu, &bericht, &fehler)) {
        *text = QStringLiteral("\"%1\" wurde nicht übernommen.\n").arg(alt) + fehler;
        dateien::entfernen(sicherung);  // nothing was changed: the copy is not needed
        return false;
    }
    *text = bericht.text(alt, neu) + QStringLiteral("\nSicherung: ") + sicherung;
    return true;
}

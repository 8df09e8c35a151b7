#include "maintenance/Vereinsumzug.h"

#include "core/Schema.h"
#include "platform/Database.h"
#include "platform/Dateien.h"

namespace {

QString name(const QString& bezeichner) {
    return u'"' + QString(bezeichner).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

const QStringList& vereinstabellen() {
    static const QStringList t = {QStringLiteral("Mitglieder"),
                                  QStringLiteral("Ergebnis"),
                                  QStringLiteral("Einzelergebnisse"),
                                  QStringLiteral("Sonder"),
                                  QStringLiteral("Ringe"),
                                  QStringLiteral("Teiler"),
                                  QStringLiteral("Klassen"),
                                  QStringLiteral("Jahrestab")};
    return t;
}

qint64 tabelleKopieren(Database& von, Database& nach, const QString& tabelle) {
    QStringList felder;
    const std::vector<ColumnInfo> ziel = nach.columns(tabelle);
    for (const ColumnInfo& c : von.columns(tabelle)) {
        for (const ColumnInfo& z : ziel) {
            if (z.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                felder << name(c.name);
            }
        }
    }
    nach.run(QStringLiteral("DELETE FROM %1").arg(name(tabelle)));
    if (felder.isEmpty()) {
        return 0;
    }
    const QString liste = felder.join(QStringLiteral(", "));
    const SqlRows zeilen =
        von.run(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(liste, name(tabelle)));
    const QString einfuegen =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(name(tabelle), liste, QStringList(felder.size(), QStringLiteral("?")).join(u','));
    for (const QVariantList& z : zeilen.rows) {
        nach.run(einfuegen, z);
    }
    return static_cast<qint64>(zeilen.size());
}

}  // namespace

bool vereinUmziehen(const QString& von, const QString& nach, const Umzugsfortschritt& fortschritt,
                    Umzugsbericht* bericht, QString* fehler) {
    *bericht = {};
    Database quelle;
    if (!quelle.open(von, fehler)) {
        return false;
    }
    for (const QString& t : schema::pflichtTabellen()) {
        if (!quelle.hasTable(t)) {
            *fehler = QStringLiteral("\"%1\" ist keine Vereinsdatenbank (die Tabelle %2 fehlt).")
                          .arg(von, t);
            return false;
        }
    }
    // The target gets the club schema; an existing file or a database with tables is
    // never written over.
    if (!schema::neueVereinsdatenbank(nach, fehler)) {
        return false;
    }
    const bool datei = !Database::istServer(nach);
    Database ziel;
    if (!ziel.open(nach, fehler)) {
        return false;
    }
    QStringList tabellen;
    for (const QString& t : vereinstabellen()) {
        if (quelle.hasTable(t)) {
            tabellen << t;
        }
    }
    try {
        Transaction t(ziel);
        for (int i = 0; i < tabellen.size(); ++i) {
            if (fortschritt) {
                fortschritt(i, static_cast<int>(tabellen.size()), tabellen[i]);
            }
            const qint64 n = tabelleKopieren(quelle, ziel, tabellen[i]);
            bericht->tabellen << QStringLiteral("%1: %2 Zeilen").arg(tabellen[i]).arg(n);
            bericht->zeilen += n;
        }
        t.commit();
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        ziel.close();
        if (datei) {
            dateien::entfernen(nach);
        }
        return false;
    }
    if (fortschritt) {
        fortschritt(static_cast<int>(tabellen.size()), static_cast<int>(tabellen.size()), {});
    }
    return true;
}

#include "reports/Klassenname.h"

#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

QString NameMitKlasse(Database& db, const QString& name, bool mitKlasse) {
    if (!mitKlasse) {
        return name;
    }
    // The name is quoted, so that a name with quotes finds its member and changes nothing.
    const SqlRows mitglied = db.select(QStringLiteral("SELECT * FROM Mitglieder WHERE Name = ") +
                                       sqldialect::quoted(name));
    if (mitglied.empty()) {
        return name;
    }
    const SqlRows klasse =
        db.select(QStringLiteral("SELECT * FROM Klassen WHERE Klasse = ") +
                  formatNull(mitglied.value(0, QStringLiteral("Klasse")).toDouble()));
    if (klasse.empty()) {
        return name;
    }
    return name + u'(' + klasse.value(0, QStringLiteral("Bez")).toString() + u')';
}

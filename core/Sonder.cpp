#include "core/Sonder.h"

#include "platform/Database.h"

namespace sonder {

QString anlegen() {
    return QStringLiteral("INSERT INTO Sonder (AnwPunkte, PistolenTeiler, Version) "
                          "VALUES (0, 0, '%1')")
        .arg(kSchemaVersion);
}

void zeileSichern(Database& db) {
    if (db.run(QStringLiteral("SELECT count(*) FROM Sonder")).rows[0][0].toInt() == 0) {
        db.run(QStringLiteral("INSERT INTO Sonder (AnwPunkte, PistolenTeiler) VALUES (0, 0)"));
    }
}

void versionSetzen(Database& db) {
    zeileSichern(db);
    db.run(QStringLiteral("UPDATE Sonder SET Version = ?"), {kSchemaVersion});
}

Werte lesen(Database& db) {
    const SqlRows s = db.run(QStringLiteral("SELECT AnwPunkte, PistolenTeiler FROM Sonder"));
    if (s.empty()) {
        return {};
    }
    return {true, s.rows[0][0], s.rows[0][1]};
}

void schreiben(Database& db, const QString& feld, double wert) {
    if (feld != QLatin1String("AnwPunkte") && feld != QLatin1String("PistolenTeiler")) {
        throw DatabaseError(QStringLiteral("Sonder hat kein Feld %1.").arg(feld));
    }
    zeileSichern(db);
    db.run(QStringLiteral("UPDATE Sonder SET %1 = ?").arg(feld), {wert});
}

}  // namespace sonder

#include "reports/Feldeingabe.h"

#include <QDate>

#include "core/Zahlen.h"
#include "platform/SqlDialect.h"
#include "reports/Druckwerte.h"

namespace {

bool istZahlTyp(const QString& typ) {
    return typ == QLatin1String("INTEGER") || typ == QLatin1String("LONG") ||
           typ == QLatin1String("DOUBLE") || typ == QLatin1String("SINGLE");
}

}  // namespace

QVariant feldwertAusEingabe(const QVariant& eingabe, const QString& typ, QString* fehler) {
    if (eingabe.typeId() == QMetaType::Bool) {
        return eingabe.toBool() ? 1 : 0;
    }
    const QString text = eingabe.toString().trimmed();
    if (text.isEmpty()) {
        return QVariant();  // an empty field is empty, not 0
    }
    if (typ.startsWith(QLatin1String("DATE"))) {
        const QDate d = sqldialect::parseShortDate(text);
        if (!d.isValid()) {
            *fehler = QStringLiteral("\"%1\" ist kein gültiges Datum (TT.MM.JJJJ).").arg(text);
            return QVariant();
        }
        return sqldialect::isoDate(d);
    }
    if (typ.startsWith(QLatin1String("YESNO"))) {
        const QString w = text.toLower();
        if (w == QLatin1String("ja") || w == QLatin1String("j")) {
            return 1;
        }
        if (w == QLatin1String("nein") || w == QLatin1String("n")) {
            return 0;
        }
    }
    if (istZahlTyp(typ) || typ.startsWith(QLatin1String("YESNO"))) {
        QString t = text;
        t.replace(u',', u'.');
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok) {
            *fehler = QStringLiteral("\"%1\" ist keine Zahl.").arg(text);
            return QVariant();
        }
        if (typ == QLatin1String("INTEGER") || typ == QLatin1String("LONG")) {
            if (!(v >= -2147483648.0 && v <= 2147483647.0) ||
                v != static_cast<double>(static_cast<long long>(v))) {
                *fehler = QStringLiteral("\"%1\" ist keine ganze Zahl.").arg(text);
                return QVariant();
            }
            return static_cast<qlonglong>(v);
        }
        return v;
    }
    // A text field holds what its declared length says ("TEXT(50)"); more would print over
    // the next column and be cut by other programs.
    if (typ.startsWith(QLatin1String("TEXT("))) {
        const int laenge = typ.mid(5).chopped(1).toInt();
        if (laenge > 0 && text.size() > laenge) {
            *fehler = QStringLiteral("Der Text ist %1 Zeichen lang; das Feld fasst höchstens %2.")
                          .arg(text.size())
                          .arg(laenge);
            return QVariant();
        }
    }
    return text;
}

QString mitgliedsnummerFehlt() {
    return QStringLiteral(
        "Jedes Mitglied braucht eine Nummer (eine ganze Zahl); das Feld Nr darf nicht leer "
        "sein.");
}

QVariant feldAnzeige(const QVariant& wert, const QString& typ, const QString& spalte) {
    if (wert.isNull()) {
        return QString();
    }
    if (typ.startsWith(QLatin1String("YESNO"))) {
        return wert.toDouble() != 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
    }
    // A Teiler of 0 or 9999 is none: the ring was typed by hand.
    if (spalte.compare(QLatin1String("Teiler"), Qt::CaseInsensitive) == 0 &&
        (wert.toDouble() <= 0 || wert.toDouble() >= 9999)) {
        return QString();
    }
    if (typ.startsWith(QLatin1String("DATE"))) {
        return druck::kurzesDatum(wert.toString());
    }
    if (typ == QLatin1String("DOUBLE") || typ == QLatin1String("SINGLE")) {
        return zahlText(wert.toDouble(), 7);
    }
    return wert.toString();
}

#include "reports/Druckwerte.h"

#include <QDate>

#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/Drucker.h"

namespace druck {

double zahl(const SqlRows& z, std::size_t r, const char* feld) {
    return z.value(r, QString::fromLatin1(feld)).toDouble();
}

Wert raute(const char* feld) {
    return [feld](const SqlRows& z, std::size_t r) { return formatRaute(zahl(z, r, feld)); };
}

Wert klartext(const char* feld) {
    return [feld](const SqlRows& z, std::size_t r) { return zahlTextBlank(zahl(z, r, feld)); };
}

Wert text(const char* feld) {
    return [feld](const SqlRows& z, std::size_t r) {
        return z.value(r, QString::fromLatin1(feld)).toString();
    };
}

QString teiler(const SqlRows& z, std::size_t r) {
    const double t = zahl(z, r, "Teiler");
    return t <= 800 ? formatTeiler(t) : QStringLiteral("-");
}

QString kurzesDatum(const QString& iso) {
    const QDate d = QDate::fromString(iso.left(10), Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : iso;
}

QString datum(const SqlRows& z, std::size_t r) {
    return kurzesDatum(z.value(r, QStringLiteral("Datum")).toString());
}

double mm(double y) {
    return rundeGerade(y);
}

void titel(Drucker& d, double punkte, double x, double y, const QString& text) {
    d.schrift(punkte);
    const double breite = d.textBreite(text);
    if (x + breite > kRechterRand) {
        d.schrift(punkte * (kRechterRand - x) / breite);
    }
    d.text(x, y, text);
}

}  // namespace druck

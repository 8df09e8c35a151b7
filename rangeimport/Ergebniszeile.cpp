#include "rangeimport/Ergebniszeile.h"

#include <QStringList>

#include <cmath>

#include "core/Zahlen.h"

const QStringList kZeilenSpalten = {
    QStringLiteral("ScheibenID"),      QStringLiteral("Starterliste"),
    QStringLiteral("StarterlistenID"), QStringLiteral("StartNr"),
    QStringLiteral("Nachname"),        QStringLiteral("Vorname"),
    QStringLiteral("SportpassID"),     QStringLiteral("StandNr"),
    QStringLiteral("Disziplin"),       QStringLiteral("DisziplinlID"),
    QStringLiteral("Klasse"),          QStringLiteral("KlassenID"),
    QStringLiteral("Verein"),          QStringLiteral("VereinsID"),
    QStringLiteral("Mannschaft"),      QStringLiteral("MannschaftsID"),
    QStringLiteral("Rangliste"),       QStringLiteral("RanglistenID"),
    QStringLiteral("Trefferzahl"),     QStringLiteral("TotalRing"),
    QStringLiteral("TotalRing01"),     QStringLiteral("BesterTeiler01"),
    QStringLiteral("Zeitstempel"),
};

namespace {

bool istZahl(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Short:
        case QMetaType::UShort:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString feldText(const QVariant& wert) {
    if (wert.isNull() || !wert.isValid()) {
        return {};
    }
    if (istZahl(wert)) {
        const double v = wert.toDouble();
        return std::isfinite(v) ? zahlTextBlank(v) : QString();
    }
    if (wert.typeId() == QMetaType::QDateTime) {
        return wert.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    if (wert.typeId() == QMetaType::QDate) {
        return wert.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    }
    return wert.toString();
}

QDateTime zeitstempel(const QVariant& wert) {
    if (wert.isNull() || !wert.isValid()) {
        return {};
    }
    if (wert.typeId() == QMetaType::QDateTime) {
        return wert.toDateTime();
    }
    if (wert.typeId() == QMetaType::QDate) {
        return QDateTime(wert.toDate(), QTime(0, 0));
    }
    const QString text = wert.toString().trimmed();
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid()) {
        dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }
    if (!dt.isValid()) {
        dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    return dt;
}

QString ergebnisZeile(const SqlRows& rows, std::size_t zeile) {
    QStringList teile;
    teile.reserve(kZeilenSpalten.size());
    for (const QString& spalte : kZeilenSpalten) {
        teile << feldText(rows.value(zeile, spalte));
    }
    const QDateTime dt = zeitstempel(rows.value(zeile, QStringLiteral("Zeitstempel")));
    const QString tag = dt.isValid() ? dt.date().toString(QStringLiteral("dd.MM.yyyy")) : QString();
    return teile.join(u',') + QStringLiteral("(") + tag + QStringLiteral(")");
}

bool standZahl(const QVariant& v, double* out) {
    if (v.isNull() || !v.isValid()) {
        return false;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d)) {
        return false;
    }
    *out = d;
    return true;
}

bool scheibenId(const QVariant& v, double* out) {
    constexpr double kGrenze = 9007199254740992.0;  // 2^53: beyond it a double skips numbers
    double d = 0;
    if (!standZahl(v, &d) || d != std::floor(d) || std::fabs(d) > kGrenze) {
        return false;
    }
    *out = d;
    return true;
}

QString serienAbfrage(double id) {
    return QStringLiteral("SELECT * from Serien where ScheibenID = ") +
           QString::number(static_cast<qlonglong>(id));
}

Standserien standserien(const SqlRows& ser) {
    Standserien s;
    s.werte.fill(QVariant(QMetaType::fromType<int>()));
    for (std::size_t i = 0; i < ser.size(); ++i) {
        double n = 0;
        double ring = 0;
        if (!standZahl(ser.value(i, QStringLiteral("Serie")), &n) || n < 1 || n > 6 ||
            n != std::floor(n) || !standZahl(ser.value(i, QStringLiteral("Ring")), &ring)) {
            continue;
        }
        const auto k = static_cast<std::size_t>(n) - 1;
        s.summen[k] = zuInt16(ring);
        s.werte[k] = zuInt32(ring);
    }
    return s;
}

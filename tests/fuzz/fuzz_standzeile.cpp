// A range result row and its series rows, every column any value the range database may
// hold (NULL, text, whole or floating number including NaN and infinities, date-time),
// through the import's row conversion.
//
// Oracle: the series statement carries the ScheibenID as plain whole digits and nothing
// else, and names the very number the result has; a stored series value is the series sum
// the points are computed from; the row's text line ends in its day (or nothing) in
// parentheses.
#include <QRegularExpression>

#include "core/Einstellungen.h"
#include "core/Zahlen.h"
#include "platform/SqlDialect.h"
#include "rangeimport/Ergebniszeile.h"
#include "tests/fuzz/Fuzzhilfe.h"

#include <cstring>

namespace {

QVariant wertAus(fuzz::Bytes& in) {
    const std::uint8_t art = in.byte();
    switch (art % 7) {
        case 0:
            return art & 0x80 ? QVariant() : QVariant(QMetaType::fromType<double>());
        case 1:
        case 2:
            return QString::fromUtf8(in.bisTrenner('\x1f'));
        case 3: {
            qint64 n = 0;
            const QByteArray b = in.stueck(sizeof n);
            std::memcpy(&n, b.constData(), static_cast<std::size_t>(b.size()));
            return n;
        }
        case 4: {
            double d = 0;
            const QByteArray b = in.stueck(sizeof d);
            std::memcpy(&d, b.constData(), static_cast<std::size_t>(b.size()));
            return d;
        }
        case 5: {
            qint32 tag = 0;
            const QByteArray b = in.stueck(sizeof tag);
            std::memcpy(&tag, b.constData(), static_cast<std::size_t>(b.size()));
            return QDateTime(QDate::fromJulianDay(tag), QTime(0, 0).addSecs(in.byte() * 337));
        }
        default:
            return static_cast<int>(static_cast<std::int8_t>(in.byte()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    fuzz::Bytes in(daten, groesse);
    SqlRows scheibe;
    scheibe.columns = kZeilenSpalten;
    scheibe.columns << QStringLiteral("SportpassID");
    QVariantList zeile;
    for (qsizetype i = 0; i < scheibe.columns.size(); ++i) {
        zeile << wertAus(in);
    }
    scheibe.rows.push_back(zeile);

    const QString text = ergebnisZeile(scheibe, 0);
    static const QRegularExpression ende(QStringLiteral("\\((\\d\\d\\.\\d\\d\\.-?\\d{4,})?\\)$"));
    if (!ende.match(text).hasMatch()) {
        fuzz::verletzt("Textzeile ohne Tag in Klammern am Ende", text.right(40));
    }
    const QDateTime zeit = zeitstempel(scheibe.value(0, QStringLiteral("Zeitstempel")));
    if (zeit.isValid()) {
        const QDate tag = zeit.date();
        (void)sqldialect::isoDate(tag);
        (void)startup::saisonJahr(tag, static_cast<std::int8_t>(in.byte()) * 10);
    }

    double id = 0;
    if (scheibenId(scheibe.value(0, QStringLiteral("ScheibenID")), &id)) {
        const QString sql = serienAbfrage(id);
        static const QRegularExpression form(
            QStringLiteral("^SELECT \\* from Serien where ScheibenID = (-?\\d+)$"));
        const QRegularExpressionMatch m = form.match(sql);
        bool ok = false;
        if (!m.hasMatch() || static_cast<double>(m.captured(1).toLongLong(&ok)) != id || !ok) {
            fuzz::verletzt("Serienabfrage trägt nicht genau die ScheibenID", sql);
        }
    }
    double zahl = 0;
    for (const char* spalte : {"TotalRing", "BesterTeiler01"}) {
        if (standZahl(scheibe.value(0, QLatin1String(spalte)), &zahl)) {
            try {
                (void)zuInt32(zahl);
            } catch (const ZahlUeberlauf&) {
            }
        }
    }

    SqlRows serien;
    serien.columns = {QStringLiteral("ScheibenID"), QStringLiteral("Serie"),
                      QStringLiteral("Ring")};
    const int n = in.byte() % 10;
    for (int i = 0; i < n; ++i) {
        serien.rows.push_back({wertAus(in), wertAus(in), wertAus(in)});
    }
    try {
        const Standserien s = standserien(serien);
        for (std::size_t k = 0; k < 6; ++k) {
            const QVariant& w = s.werte[k];
            if (!w.isNull() && w.toInt() != s.summen[k]) {
                fuzz::verletzt("gespeicherte Serie und Summe verschieden",
                               QString::number(w.toInt()) + u'/' + QString::number(s.summen[k]));
            }
            if (w.isNull() && s.summen[k] != 0) {
                fuzz::verletzt("Summe einer fehlenden Serie");
            }
        }
    } catch (const ZahlUeberlauf&) {
    }
    return 0;
}

// The delimited export of listings whose names and texts may hold anything a club types:
// delimiters, quotes, line breaks, characters Windows-1252 lacks.
//
// Oracle: with a one-character delimiter that is no quote or line break in the file, it reads
// back as exactly one header and one line per row, each with every field, and each text
// field as it was (a character without a Windows-1252 code as "?").
#include "platform/Cp1252.h"
#include "platform/Database.h"
#include "reports/Export.h"
#include "tests/fuzz/Fuzzhilfe.h"

namespace {

// Splits the export as a spreadsheet would: fields in quotes may hold anything.
QList<QStringList> lesen(const QString& text, QChar trenner, bool* ok) {
    QList<QStringList> zeilen;
    QStringList zeile;
    QString feld;
    bool zitiert = false;
    bool warZitiert = false;
    *ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (zitiert) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    feld += u'"';
                    ++i;
                } else {
                    zitiert = false;
                }
            } else {
                feld += c;
            }
        } else if (c == u'"') {
            if (!feld.isEmpty() || warZitiert) {
                *ok = false;  // a quote inside an unquoted field
            }
            zitiert = true;
            warZitiert = true;
        } else if (c == trenner) {
            zeile << feld;
            feld.clear();
            warZitiert = false;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            if (!feld.isEmpty() || warZitiert) {
                *ok = false;  // every field ends with the delimiter
            }
            zeilen << zeile;
            zeile.clear();
            ++i;
        } else {
            if (warZitiert) {
                *ok = false;  // text after the closing quote
            }
            feld += c;
        }
    }
    if (zitiert || !feld.isEmpty() || !zeile.isEmpty()) {
        *ok = false;
    }
    return zeilen;
}

QString alsDatei(const QString& t) {
    return cp1252::decode(cp1252::encode(t));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    fuzz::Bytes in(daten, groesse);
    const std::uint8_t wahl = in.byte();
    static const QStringList kTrenner = {QStringLiteral(","), QStringLiteral(";"),
                                         QStringLiteral("\t"), QStringLiteral("|")};
    const QString trenner =
        wahl < 0xf0 ? kTrenner[wahl % kTrenner.size()] : QString::fromUtf8(in.bisTrenner('\x1f'));
    const int spalten = in.byte() % 6 + 1;
    SqlRows z;
    std::vector<Spaltentyp> typen;
    for (int c = 0; c < spalten; ++c) {
        z.columns << QString::fromUtf8(in.bisTrenner('\x1f'));
        typen.push_back(static_cast<Spaltentyp>(in.byte() % 7));
    }
    while (!in.leer() && z.rows.size() < 20) {
        QVariantList zeile;
        for (int c = 0; c < spalten; ++c) {
            const std::uint8_t art = in.byte();
            const QString text = QString::fromUtf8(in.bisTrenner('\x1f'));
            if (art % 4 == 0) {
                zeile << QVariant();
            } else if (art % 4 == 1) {
                zeile << text.toDouble();
            } else {
                zeile << text;
            }
        }
        z.rows.push_back(zeile);
    }
    QString ohneCode;
    const QByteArray datei = exportText(z, typen, trenner, &ohneCode);

    // The file holds the delimiter as Windows-1252 has it ("?" for one it lacks).
    const QString trennerInDatei = alsDatei(trenner);
    if (trennerInDatei.size() != 1 || trennerInDatei == QLatin1String("\"") ||
        trennerInDatei == QLatin1String("\r") || trennerInDatei == QLatin1String("\n")) {
        return 0;
    }
    bool ok = false;
    const QList<QStringList> gelesen = lesen(cp1252::decode(datei), trennerInDatei[0], &ok);
    if (!ok || gelesen.size() != static_cast<qsizetype>(z.rows.size()) + 1) {
        fuzz::verletzt("Export liest sich nicht als Kopf und eine Zeile je Zeile",
                       QString::fromLatin1(datei.left(200).toHex()));
    }
    for (qsizetype r = 0; r < gelesen.size(); ++r) {
        if (gelesen[r].size() != spalten) {
            fuzz::verletzt("Zeile mit anderer Feldzahl", QString::number(r));
        }
    }
    for (int c = 0; c < spalten; ++c) {
        if (gelesen[0][c] != alsDatei(z.columns[c])) {
            fuzz::verletzt("Spaltenname anders gelesen", z.columns[c]);
        }
        if (typen[static_cast<std::size_t>(c)] != Spaltentyp::Text) {
            continue;
        }
        for (std::size_t r = 0; r < z.rows.size(); ++r) {
            const QVariant& w = z.rows[r][c];
            const QString erwartet = w.isNull() ? QString() : alsDatei(w.toString());
            if (gelesen[static_cast<qsizetype>(r) + 1][c] != erwartet) {
                fuzz::verletzt("Textfeld anders gelesen", w.toString());
            }
        }
    }
    return 0;
}

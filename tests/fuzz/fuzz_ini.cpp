// wettk.ini as any file may hold it, read at start-up, then one value written and read back.
//
// Oracle: what start-up takes into the evening state is what the file says afterwards, the
// keys start-up does not write read as before, and a value written reads back as written
// (on one line, blanks and one pair of quotes at its ends aside, at most 254 characters)
// while every other key keeps its value.
#include <QFile>
#include <QTemporaryDir>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "platform/Cp1252.h"
#include "tests/fuzz/Fuzzhilfe.h"

namespace {

struct Schluessel {
    QString abschnitt;
    QString name;
};

const QList<Schluessel>& schluessel() {
    static const QList<Schluessel> s = {
        {ini::kWertmaschine, ini::kName},   {ini::kWertmaschine, ini::kComport},
        {ini::kWertmaschine, ini::kSpeed},  {ini::kWertung, ini::kPunktScheiben},
        {ini::kWertung, ini::kTeiler},      {ini::kWertung, ini::kMonat},
        {ini::kExport, ini::kFile},         {ini::kExport, ini::kDelimiter},
        {ini::slotSection(0), ini::kFarbe}, {ini::slotSection(1), ini::kFarbe},
        {ini::slotSection(2), ini::kFarbe}, {ini::slotSection(3), ini::kFarbe},
        {ini::slotSection(0), ini::kDatei}, {QStringLiteral("FUZZ"), QStringLiteral("WERT")},
    };
    return s;
}

QStringList alleWerte(const Ini& ini) {
    QStringList w;
    for (const Schluessel& s : schluessel()) {
        w << ini.IniLesen(s.abschnitt, s.name);
    }
    return w;
}

// What reading gives back for a written value.
QString gelesenAls(QString v) {
    v = cp1252::decode(cp1252::encode(v));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) {
        v = v.mid(1, v.size() - 2);
    }
    return v.left(ProfileFile::kMaxValueLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    fuzz::Bytes in(daten, groesse);
    const std::size_t wertLaenge = in.byte() % 64;
    const QByteArray datei = in.stueck(in.rest() > wertLaenge ? in.rest() - wertLaenge : 0);
    const QString wert = cp1252::decode(in.alles());

    const QString pfad = fuzz::arbeitsordner() + QStringLiteral("/wettk.ini");
    {
        QFile f(pfad);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(datei) != datei.size()) {
            fuzz::verletzt("Testdatei nicht schreibbar");
        }
    }
    Ini ini(pfad);
    const QStringList vorher = alleWerte(ini);
    Abendzustand z;
    startup::leseAlles(ini, z);
    const QStringList nachher = alleWerte(ini);

    if (z.MachineName != ini.IniLesen(ini::kWertmaschine, ini::kName)) {
        fuzz::verletzt("Maschine im Zustand und in der Datei verschieden", z.MachineName);
    }
    if (z.Exportdatei.left(ProfileFile::kMaxValueLength) !=
            ini.IniLesen(ini::kExport, ini::kFile) ||
        z.Exporttrenner != ini.IniLesen(ini::kExport, ini::kDelimiter)) {
        fuzz::verletzt("Export im Zustand und in der Datei verschieden");
    }
    for (int i : {1, 2, 3, 4, 5, 12, 13}) {
        if (vorher[i] != nachher[i]) {
            fuzz::verletzt("ein nicht geschriebener Schlüssel hat sich geändert",
                           schluessel()[i].name + QStringLiteral(": ") + vorher[i] +
                               QStringLiteral(" -> ") + nachher[i]);
        }
    }
    for (int i = 8; i < 12; ++i) {
        if (Zahlwert(vorher[i]) != 0 && vorher[i] != nachher[i]) {
            fuzz::verletzt("eine gesetzte Farbe wurde überschrieben", vorher[i]);
        }
    }

    ini.IniSchreiben(QStringLiteral("FUZZ"), QStringLiteral("WERT"), wert);
    const QStringList danach = alleWerte(ini);
    if (ini.problem().isEmpty() && danach.last() != gelesenAls(wert)) {
        fuzz::verletzt("geschriebener Wert liest sich anders",
                       wert + QStringLiteral(" -> ") + danach.last());
    }
    for (int i = 0; i + 1 < danach.size(); ++i) {
        if (danach[i] != nachher[i]) {
            fuzz::verletzt("Schreiben eines Werts änderte einen anderen",
                           schluessel()[i].name + QStringLiteral(": ") + nachher[i] +
                               QStringLiteral(" -> ") + danach[i]);
        }
    }
    return 0;
}

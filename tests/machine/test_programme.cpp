#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "machine/ProgrammWahl.h"
#include "machine/Programme.h"

namespace {
ProgrammWahl wahl(const char* typ, const char* typName, const char* len, const char* lenWert,
                  const char* ser, const char* serWert, const char* teil, const char* teilStueck) {
    return {typ, typName, len, lenWert, ser, serWert, teil, teilStueck, "2", "1", "1", {}};
}
}  // namespace

class TestProgramme : public QObject {
    Q_OBJECT
  private slots:
    void knoepfeUndListe() {
        Abendzustand z;
        programmUebernehmen(kProgrammKnoepfe[3], z);
        QCOMPARE(z.ProgramCode, QString("212410215"));
        QCOMPARE(z.ControlString, QString("SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;"));
        QCOMPARE(z.ShotLimit, std::int16_t(30));
        // Only the exact list text chooses a program.
        QCOMPARE(QString(listenProgramm("30x2 Schuss LP")->programCode), QString("236413215"));
        QVERIFY(!listenProgramm("5x2 Schuss").has_value());
        QVERIFY(!listenProgramm("").has_value());
    }

    void startprogrammMitPruefzeichen() {
        const QString s = "SCH=LG10;SZI=10;SGE=40;SSC=1;TEA=ZT;TEG=300;";
        QCOMPARE(startControlString(), s + ";" + Pruefzeichen(s));
        QCOMPARE(Pruefzeichen("SNR="), QChar(u'r'));
    }

    void zusammengesetzteProgramme() {
        const std::vector<std::pair<ProgrammWahl, QString>> faelle = {
            {wahl("1", "LG", "2", "5", "0", "1", "408", "TEA=ZT;TEG=300;"),
             "SCH=LGES;SZI=1;SGE=1;SSC=1;TEA=ZT;TEG=300;"},
            {wahl("1", "LG", "2", "5", "6", "60", "101", "TEA=KT;"),
             "SCH=LG5;SZI=10;SGE=60;SSC=1;TEA=KT;"},
            {wahl("2", "LP", "3", "10", "4", "40", "408", "TEA=ZT;TEG=300;"),
             "SCH=LP;SZI=10;SGE=40;SSC=10;TEA=ZT;TEG=300;"},
            {wahl("2", "LP", "3", "10", "0", "1", "411", "TEA=ZT;TEG=600;"),
             "SCH=LP;SZI=1;SGE=1;SSC=1;TEA=ZT;TEG=600;"},
            {wahl("5", "ZS", "1", "ES", "0", "1", "405", "TEA=ZT;TEG=150;"),
             "SCH=ZS;SZI=10;SGE=1;SSC=ES;TEA=ZT;TEG=150;"},
            {wahl("6", "KK;KAL=22", "3", "10", "2", "20", "411", "TEA=ZT;TEG=600;"),
             "SCH=KK;KAL=22;SZI=10;SGE=20;SSC=10;TEA=ZT;TEG=600;"},
        };
        for (const auto& [w, erwartet] : faelle) {
            QCOMPARE(w.controlString(), erwartet);
        }
    }

    void codeMitAufdruck() {
        ProgrammWahl w = wahl("1", "LG", "3", "10", "4", "40", "408", "TEA=ZT;TEG=300;");
        QCOMPARE(w.code(), QString("134408211"));
        w.setAufdruck("Vereinsabend");  // twelve characters: nine count
        QCOMPARE(w.code(), QString("134408211Vereinsab"));
    }
};

QTEST_GUILESS_MAIN(TestProgramme)
#include "test_programme.moc"

#include "machine/Programme.h"

#include "core/Abendzustand.h"
#include "core/Zahlen.h"

const std::array<Scheibenprogramm, 6> kProgrammKnoepfe = {{
    {"1x10 Schuß LG", "131407211", "SCH=LG10;SZI=10;SGE=10;SSC=1;TEA=ZT;TEG=300;", 1, "Option4"},
    {"2x10 Schuß LG", "132407211", "SCH=LG10;SZI=10;SGE=20;SSC=1;TEA=ZT;TEG=300;", 10, "Option5"},
    {"4x10 Schuß LG", "134407211", "SCH=LG10;SZI=10;SGE=40;SSC=1;TEA=ZT;TEG=300;", 20, "Option6"},
    {"4x5 Schuß LP", "212410215", "SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;", 30, "Option7"},
    {"8x5 Schuß LP", "214410215", "SCH=LP;SZI=10;SGE=40;SSC=5;TEA=ZT;TEG=800;", 40, "Option8"},
    {"20x2 Schuß LP", "214410212", "SCH=LP;SZI=10;SGE=40;SSC=2;TEA=ZT;TEG=800;", 60, "Option10"},
}};

const std::array<Scheibenprogramm, 9> kProgrammListe = {{
    {"1 Schuss LG", "110408212", "SCH=LGES;SZI=1;SGE=1;SSC=1;", 1, "Option_Combo"},
    {"1 Schuss LP", "210408212", "SCH=LP;SZI=1;SGE=1;SSC=1;TEA=ZT;TEG=800;", 10, "Option_Combo"},
    {"10x1 Schuss LP", "211408212", "SCH=LP;SZI=10;SGE=10;SSC=1;TEA=ZT;TEG=800;", 10,
     "Option_Combo"},
    {"5x2 Schuss LP", "231408212", "SCH=LP;SZI=10;SGE=10;SSC=2;TEA=ZT;TEG=800;", 10,
     "Option_Combo"},
    {"20x1 Schuss LP", "212408212", "SCH=LP;SZI=10;SGE=20;SSC=1;TEA=ZT;TEG=800;", 20,
     "Option_Combo"},
    {"10x2 Schuss LP", "232408212", "SCH=LP;SZI=10;SGE=20;SSC=2;TEA=ZT;TEG=800;", 20,
     "Option_Combo"},
    {"40x1 Schuss LP", "214408212", "SCH=LP;SZI=10;SGE=40;SSC=1;TEA=ZT;TEG=800;", 40,
     "Option_Combo"},
    {"30x2 Schuss LP", "236413215", "SCH=LP;SZI=10;SGE=60;SSC=2;TEA=ZT;TEG=800;", 60,
     "Option_Combo"},
    {"6x10 Schuss LG", "136408211", "SCH=LG10;SZI=10;SGE=60;SSC=1;TEA=ZT;TEG=300;", 60,
     "Option_Combo"},
}};

void programmUebernehmen(const Scheibenprogramm& p, Abendzustand& z) {
    z.ProgramCode = QString::fromLatin1(p.programCode);
    z.ControlString = QString::fromLatin1(p.controlString);
    z.ShotLimit = p.shotLimit;
}

std::optional<Scheibenprogramm> listenProgramm(const QString& text) {
    for (const auto& p : kProgrammListe) {
        if (text == QString::fromUtf8(p.bezeichnung)) {
            return p;
        }
    }
    return std::nullopt;
}

QString startControlString() {
    const QString s = QStringLiteral("SCH=LG10;SZI=10;SGE=40;SSC=1;TEA=ZT;TEG=300;");
    return s + QLatin1Char(';') + Pruefzeichen(s);
}

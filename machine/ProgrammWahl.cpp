#include "machine/ProgrammWahl.h"

QString ProgrammWahl::code() const {
    return typCode + laengeCode + serieCode + teilerCode + festeZiffer + druckCode + schussCode +
           aufdruck;
}

QString ProgrammWahl::controlString() const {
    const bool einzelschuss = serieWert == QLatin1String("1");
    if (typName == QLatin1String("LG")) {
        if (einzelschuss) {
            return QStringLiteral("SCH=LGES;SZI=1;SGE=1;SSC=1;") + teilerStueck;
        }
        return QStringLiteral("SCH=LG") + laengeWert + QStringLiteral(";SZI=10;SGE=") + serieWert +
               QStringLiteral(";SSC=1;") + teilerStueck;
    }
    if (typName == QLatin1String("LP") && einzelschuss) {
        return QStringLiteral("SCH=LP;SZI=1;SGE=1;SSC=1;") + teilerStueck;
    }
    return QStringLiteral("SCH=") + typName + QStringLiteral(";SZI=10;SGE=") + serieWert +
           QStringLiteral(";SSC=") + laengeWert + QLatin1Char(';') + teilerStueck;
}

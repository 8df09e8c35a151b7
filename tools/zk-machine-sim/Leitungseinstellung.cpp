#include "Leitungseinstellung.h"

#include <QRegularExpression>

QString Leitungseinstellung::text() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baud)
        .arg(QLatin1Char(paritaet))
        .arg(datenbits)
        .arg(stoppbits);
}

Leitungseinstellung leitungseinstellungFuer(Simulator::Art art) {
    switch (art) {
        case Simulator::Art::Rm3:
            return {2400, 'N', 8, 1};
        case Simulator::Art::Rm3Win:
            return {38400, 'N', 8, 1};
        case Simulator::Art::Sam:
            return {9600, 'N', 8, 1};
    }
    return {};
}

bool leitungseinstellungLesen(const QString& text, Leitungseinstellung* out) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{3,6})\\s*,\\s*([NEOneo])\\s*,\\s*([5-8])\\s*,\\s*([12])\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch()) {
        return false;
    }
    const int baud = m.captured(1).toInt();
    if (baud < 110 || baud > 115200) {
        return false;
    }
    out->baud = baud;
    out->paritaet = m.captured(2).toUpper().at(0).toLatin1();
    out->datenbits = m.captured(3).toInt();
    out->stoppbits = m.captured(4).toInt();
    return true;
}

#include "core/Zahlen.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Cp1252.h"

ZahlUeberlauf::ZahlUeberlauf(double value) : std::runtime_error("16-bit overflow"), value_(value) {}

QString ZahlUeberlauf::message() const {
    return QStringLiteral(
               "Der Wert %1 ist zu groß für dieses Feld (erlaubt sind -32768 bis 32767).\n"
               "Die Aktion wurde abgebrochen, es wurde nichts gespeichert.")
        .arg(zahlText(value_));
}

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c) {
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

}  // namespace

double Zahlwert(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r')) {
        ++i;
    }
    if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h')) {
        double value = 0;
        for (i += 2; i < n && hexDigit(text[i]) >= 0; ++i) {
            value = value * 16 + hexDigit(text[i]);
        }
        return std::isfinite(value) ? value : 0;  // the same rule as for decimals
    }
    QByteArray number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += static_cast<char>(text[i].unicode());
        ++i;
    }
    bool anyDigit = false;
    for (; i < n && isDigit(text[i]); ++i) {
        number += static_cast<char>(text[i].unicode());
        anyDigit = true;
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        for (++i; i < n && isDigit(text[i]); ++i) {
            number += static_cast<char>(text[i].unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    if (i + 1 < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (text[j] == u'+' || text[j] == u'-') {
            exponent += static_cast<char>(text[j].unicode());
            ++j;
        }
        bool expDigit = false;
        for (; j < n && isDigit(text[j]) && exponent.size() < 6; ++j) {
            exponent += static_cast<char>(text[j].unicode());
            expDigit = true;
        }
        if (expDigit) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.constData(), nullptr);
    return std::isfinite(value) ? value : 0;
}

float KommaZuPunkt(const QString& text) {
    QString t = text;
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 0) {
        t[comma] = u'.';
    }
    return static_cast<float>(Zahlwert(t));
}

float ZehntelWert(const QString& text) {
    double value = Zahlwert(text);
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0 && comma + 1 < text.size()) {
        value += Zahlwert(QString(text[comma + 1])) / 10.0;
    }
    return static_cast<float>(value);
}

QChar Pruefzeichen(const QString& text) {
    unsigned char x = 0;
    for (QChar c : text) {
        x ^= cp1252::byteOf(c);
    }
    if (x < 32) {
        x += 32;
    }
    return cp1252::charOf(x);
}

double rundeGerade(double value) {
    // nearbyint follows the default rounding mode, which is to nearest, ties to even.
    return std::nearbyint(value);
}

std::int16_t zuInt16(double value) {
    const double r = rundeGerade(value);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0) {
        throw ZahlUeberlauf(value);
    }
    return static_cast<std::int16_t>(r);
}

std::int32_t zuInt32(double value) {
    const double r = rundeGerade(value);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0) {
        throw ZahlUeberlauf(value);
    }
    return static_cast<std::int32_t>(r);
}

std::int16_t abgeschnittenInt16(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double whole = std::trunc(std::fmod(value, 65536.0));
    auto low = static_cast<std::uint16_t>(static_cast<std::int32_t>(whole) & 0xFFFF);
    return static_cast<std::int16_t>(low);
}

namespace {

// Rounds half away from zero at `decimals` places, judged on the value's 15-digit
// decimal form, so that 0.35 rounds to 0.4 as a user expects.
// to_chars with a precision writes what printf does with it ("%.15g", "%.1f"), and
// from_chars reads like strtod; both without printf's locale and argument handling.
QString roundedDecimal(double value, int decimals) {
    if (!std::isfinite(value)) {
        return QStringLiteral("0");
    }
    // A whole number far below 2^48 is its own 15-digit form, and the nudge below moves it
    // by less than a half: it is written as it is.
    if (value == std::trunc(value) && std::fabs(value) < 0x1p48 && decimals == 0) {
        return QString::number(static_cast<qint64>(value));
    }
    char buf[400];
    double decimalValue = 0;
    const auto g = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (g.ec != std::errc() || std::from_chars(buf, g.ptr, decimalValue).ec != std::errc()) {
        std::snprintf(buf, sizeof buf, "%.15g", value);
        decimalValue = std::strtod(buf, nullptr);
    }
    static constexpr double kSkala[] = {1, 10, 100, 1000, 10000};
    const double scale = decimals >= 0 && decimals < 5 ? kSkala[decimals] : std::pow(10.0, decimals);
    double scaled = decimalValue * scale;
    // scaled of a 15-digit value is within a few ulps of its exact decimal; nudge ties.
    scaled = std::round(scaled * (1 + 4 * std::numeric_limits<double>::epsilon()));
    double result = scaled / scale;
    if (result == 0) {
        result = 0;  // no "-0"
    }
    const auto f = std::to_chars(buf, buf + sizeof buf, result, std::chars_format::fixed, decimals);
    if (f.ec != std::errc()) {
        std::snprintf(buf, sizeof buf, "%.*f", decimals, result);
        return QString::fromLatin1(buf);
    }
    return QString::fromLatin1(buf, f.ptr - buf);
}

QString withComma(QString text) {
    text.replace(u'.', u',');
    return text;
}

QString shortest(double value, int significant) {
    if (!std::isfinite(value)) {
        return QStringLiteral("0");
    }
    if (significant <= 7) {
        value = static_cast<double>(static_cast<float>(value));
    }
    // A whole number of up to five digits is written as its digits (what the general form
    // makes of it too), without the digit generator.
    if (value == std::trunc(value) && std::fabs(value) < 100000 && significant >= 5) {
        return QString::number(static_cast<qint64>(value));
    }
    QString s = QString::number(value, 'g', significant);
    if (s == QLatin1String("-0")) {
        s = QStringLiteral("0");
    }
    return s;
}

}  // namespace

QString formatRaute(double value) {
    const QString s = roundedDecimal(value, 0);
    return s == QLatin1String("0") ? QString() : s;
}

QString formatNull(double value) {
    return roundedDecimal(value, 0);
}

QString formatNullKomma(double value) {
    return withComma(roundedDecimal(value, 1));
}

QString formatTeiler(double value) {
    QString s = roundedDecimal(value, 1);
    if (s.endsWith(QLatin1String(".0"))) {
        s.chop(2);
    }
    return withComma(s);
}

QString zahlText(double value, int signifikant) {
    return withComma(shortest(value, signifikant));
}

double siebenStellen(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double v = value == 0 ? 0.0 : static_cast<double>(value);
    char buf[64];
    // A value exactly half way between two seven-digit numbers is rounded away from zero by
    // the text form, to even by to_chars: such a value takes the text's way.
    const auto genau = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 16);
    if (genau.ec != std::errc()) {
        return zahlTextBlank(value, 7).toDouble();
    }
    const char* ziffern = buf[0] == '-' ? buf + 1 : buf;  // "d.dddddddddddddddde+xx"
    bool halb = ziffern[8] == '5';
    for (int i = 9; halb && i <= 17; ++i) {
        halb = ziffern[i] == '0';
    }
    double d = 0;
    const auto g = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    if (halb || g.ec != std::errc() || std::from_chars(buf, g.ptr, d).ec != std::errc()) {
        return zahlTextBlank(value, 7).toDouble();
    }
    return d;
}

QString zahlTextBlank(double value, int signifikant) {
    const QString s = shortest(value, signifikant);
    return s.startsWith(u'-') ? s : QLatin1Char(' ') + s;
}

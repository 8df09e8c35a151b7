#include "platform/Cp1252.h"

#include <array>

namespace cp1252 {
namespace {

// 0x80..0x9F; undefined codes keep their C1 control value, as Windows does.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QChar charOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return QChar(kHighTable[byte - 0x80]);
    }
    return QChar(static_cast<char16_t>(byte));
}

unsigned char byteOf(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return static_cast<unsigned char>(u);
    }
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == u) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return '?';
}

QString decode(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        out.append(charOf(static_cast<unsigned char>(b)));
    }
    return out;
}

QByteArray encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        out.append(static_cast<char>(byteOf(c)));
    }
    return out;
}

QString ohneCode(const QString& text) {
    QString fehlt;
    for (QChar c : text) {
        if (c != u'?' && byteOf(c) == '?' && !fehlt.contains(c)) {
            fehlt += c;
        }
    }
    return fehlt;
}

}  // namespace cp1252

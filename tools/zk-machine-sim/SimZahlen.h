#pragma once

#include <QByteArray>

// Numbers as the machines write them: a comma for the decimal point.
inline QByteArray mitKomma(double v, int stellen) {
    return QByteArray::number(v, 'f', stellen).replace('.', ',');
}

#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 ("ANSI" on a German Windows): the encoding of wettk.ini and of the bytes
// the machine protocols check-sum. Qt 6 has no codec for it, so the 32 codes that differ
// from Latin-1 are mapped here.
namespace cp1252 {

QString decode(const QByteArray& bytes);

// Characters without a Windows-1252 code become '?'.
QByteArray encode(const QString& text);

// The characters of a text that have no Windows-1252 code (each once), "" when all have.
QString ohneCode(const QString& text);

// The code of one character, or '?' when it has none.
unsigned char byteOf(QChar c);

QChar charOf(unsigned char byte);

}  // namespace cp1252

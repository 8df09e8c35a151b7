#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>

namespace nullwert {

// What Qt's SQL drivers bind as NULL: an empty variant, and a null text, byte array or date,
// an invalid time or date-time.
inline bool istNull(const QVariant& wert) {
    if (!wert.isValid() || wert.isNull()) {
        return true;
    }
    switch (wert.userType()) {
        case QMetaType::QString:
            return static_cast<const QString*>(wert.constData())->isNull();
        case QMetaType::QByteArray:
            return static_cast<const QByteArray*>(wert.constData())->isNull();
        case QMetaType::QDateTime:
            return !static_cast<const QDateTime*>(wert.constData())->isValid();
        case QMetaType::QDate:
            return static_cast<const QDate*>(wert.constData())->isNull();
        case QMetaType::QTime:
            return !static_cast<const QTime*>(wert.constData())->isValid();
        default:
            return false;
    }
}

}  // namespace nullwert

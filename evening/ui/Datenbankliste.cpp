#include "evening/ui/Datenbankliste.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include "core/DatenbankSlots.h"
#include "evening/Abendsteuerung.h"

Datenbankliste::Datenbankliste(Ini& ini, Abendsteuerung& steuerung, QWidget* parent)
    : QComboBox(parent), ini_(ini), steuerung_(steuerung) {
    setObjectName(QStringLiteral("DBCombo"));
    connect(this, &QComboBox::activated, this, &Datenbankliste::waehlen);
}

void Datenbankliste::fuellen() {
    const QSignalBlocker sperre(this);
    const int gewaehlt = currentIndex();
    const DatenbankSlots liste = leseSlots(ini_);
    if (count() != 4) {
        clear();
        for (const auto& slot : liste) {
            addItem(slot.name);
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            setItemText(i, liste[static_cast<std::size_t>(i)].name);
        }
    }
    setCurrentIndex(gewaehlt < 0 ? 0 : gewaehlt);
}

void Datenbankliste::waehlen(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    const QString name = itemText(index);
    // The day's slot is opened even without a name: that is DB1's fallback to "Training".
    if (name.isEmpty() && offenerSlot_ >= 0) {
        return;
    }
    if (oeffnen(name)) {
        fuellen();
        offenerSlot_ = index;
        const QSignalBlocker sperre(this);
        setCurrentIndex(name.isEmpty() ? 0 : index);
    } else {
        const QSignalBlocker sperre(this);
        setCurrentIndex(offenerSlot_ >= 0 ? offenerSlot_ : index);
    }
}

void Datenbankliste::wiederOeffnen() {
    oeffnen(currentText());
}

bool Datenbankliste::oeffnen(const QString& name) {
    std::optional<unsigned> farbe;
    if (!steuerung_.datenbankOeffnen(name, &farbe)) {
        return false;
    }
    if (farbe) {
        setStyleSheet(QStringLiteral("QComboBox { background-color: #%1; }")
                          .arg(*farbe, 6, 16, QLatin1Char('0')));
    }
    return true;
}

bool Datenbankliste::sperrt(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        case QEvent::KeyPress: {
            const int key = static_cast<const QKeyEvent*>(event)->key();
            return key != Qt::Key_Tab && key != Qt::Key_Backtab;
        }
        default:
            return false;
    }
}

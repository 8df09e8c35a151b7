#include "evening/ui/Schussgitter.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "platform/widgets/Bedienelemente.h"

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

Schussgitter::Schussgitter(QWidget* parent) : QGroupBox(QStringLiteral("Schüsse"), parent) {
    auto* g = new QGridLayout(this);
    g->setHorizontalSpacing(4);
    for (int i = 1; i <= 10; ++i) {
        auto* kopf = new QLabel(QString::number(i), this);
        kopf->setAlignment(Qt::AlignCenter);
        g->addWidget(kopf, 0, i);
    }
    g->addWidget(new QLabel(QStringLiteral("Serie"), this), 0, 11);
    g->addWidget(new QLabel(QStringLiteral("Teiler"), this), 0, 12);
    for (int s = 1; s <= 6; ++s) {
        g->addWidget(new QLabel(QStringLiteral("%1. Serie").arg(s), this), s, 0);
        for (int i = 1; i <= 10; ++i) {
            const int k = (s - 1) * 10 + i;
            auto* e = new QLineEdit(this);
            e->setObjectName(QStringLiteral("Schuss_%1").arg(k));
            e->setFixedWidth(34);
            e->setAlignment(Qt::AlignCenter);
            // One ring a field: a paste of anything else is refused.
            e->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("10|[0-9]|")), e));
            Schuss[idx(k)] = e;
            g->addWidget(e, s, i);
            e->installEventFilter(this);
            connect(e, &QLineEdit::textChanged, this,
                    [this, k](const QString& text) { emit ringGeaendert(k, text); });
            connect(e, &QLineEdit::textEdited, this, [this, k](const QString& text) {
                // A lone 1 waits for the 0 of a 10; every other ring moves on at once.
                if (!text.isEmpty() && text != QLatin1String("1") && k < 60) {
                    Schuss[idx(k + 1)]->setFocus();
                }
                emit ringGetippt(k);
            });
        }
        Scheibe[idx(s)] = ausgabefeld(this, QStringLiteral("Scheibe_%1").arg(s), 56);
        Teiler[idx(s)] = ausgabefeld(this, QStringLiteral("Teiler_%1").arg(s), 64);
        g->addWidget(Scheibe[idx(s)], s, 11);
        g->addWidget(Teiler[idx(s)], s, 12);
    }
}

bool Schussgitter::istMaschinenfeld(const QObject* feld) const {
    for (std::size_t i = 1; i < Schuss.size(); ++i) {
        if (feld == Schuss[i]) {
            return true;
        }
    }
    for (std::size_t i = 1; i < Teiler.size(); ++i) {
        if (feld == Teiler[i]) {
            return true;
        }
    }
    return false;
}

bool Schussgitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (int k = 1; k <= 60; ++k) {
            if (watched == Schuss[idx(k)]) {
                return schussTaste(k, static_cast<QKeyEvent*>(event));
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

bool Schussgitter::schussTaste(int k, QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace || !istZeichen(e)) {
        return false;
    }
    if (!istZiffer(e)) {
        return true;
    }
    QLineEdit* feld = Schuss[idx(k)];
    const QString text = feld->text();
    if (feld->hasSelectedText() || text.isEmpty()) {
        return false;
    }
    if (text == QLatin1String("1") && e->text() == QLatin1String("0") &&
        feld->cursorPosition() == 1) {
        return false;  // 10
    }
    if (text == QLatin1String("1") && k < 60) {
        // The 1 was a whole ring: the digit belongs to the next shot.
        QLineEdit* naechstes = Schuss[idx(k + 1)];
        naechstes->setFocus();
        naechstes->selectAll();
        naechstes->insert(e->text());
        return true;
    }
    feld->selectAll();  // a full field takes the new ring instead of the old
    return false;
}

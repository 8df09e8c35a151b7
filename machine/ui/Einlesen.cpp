#include "machine/ui/Einlesen.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "machine/ui/RMEinst.h"
#include "platform/widgets/Twips.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Nebenfenster.h"

Einlesen::Einlesen(SerialLine& line, Ini& ini, Abendzustand& zustand, Abendfenster& abend,
                   Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool), ini_(ini), zustand_(zustand), abend_(abend), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Einlesen"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Einlesen"));
    auto* v = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    QFont gross = status_->font();
    gross.setPointSize(gross.pointSize() + 4);
    gross.setBold(true);
    status_->setFont(gross);
    status_->setWordWrap(true);
    Korrektur_txt = new QLineEdit(this);
    Korrektur_txt->setObjectName(QStringLiteral("Korrektur_txt"));
    Korrektur_txt->installEventFilter(this);
    beenden_ = new QPushButton(QStringLiteral("Einlesen beenden"), this);
    beenden_->setObjectName(QStringLiteral("beenden"));
    SER1 = new QPushButton(QStringLiteral("SER"), this);
    SER1->setObjectName(QStringLiteral("SER1"));
    Debug_L = new QLabel(this);
    Debug_L->setObjectName(QStringLiteral("Debug_L"));
    Debug_L->setWordWrap(true);
    Debug_Text = new QPlainTextEdit(this);
    Debug_Text->setObjectName(QStringLiteral("Debug_Text"));
    Debug_Text->setReadOnly(true);
    Debug_Text->setMaximumBlockCount(5000);

    auto* zeile = new QHBoxLayout;
    zeile->addWidget(Korrektur_txt);
    zeile->addWidget(beenden_);
    zeile->addWidget(SER1);
    v->addWidget(status_);
    v->addLayout(zeile);
    v->addWidget(Debug_L);
    v->addWidget(Debug_Text, 1);
    resize(twipsZuPixel(this, 4230), twipsZuPixel(this, 1425));

    ablauf_ = std::make_unique<Einleseablauf>(line, ini, zustand, *this, abend);
    connect(beenden_, &QPushButton::clicked, this, [this] { ablauf_->beenden(); });
    connect(SER1, &QPushButton::clicked, this, [this] { ablauf_->sendeAck(); });
}

Einlesen::~Einlesen() = default;

// Closing the window (title bar, Esc) during a reading would leave it running unseen: the
// user is asked to end it, which stores what was read.
void Einlesen::closeEvent(QCloseEvent* event) {
    if (!ablauf_->liest()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (dialogs_.askYesNo(QStringLiteral("Die Lesung beenden? Die gelesenen Schüsse werden "
                                         "gespeichert."),
                          Dialogs::Vorgabe::Nein)) {
        ablauf_->beenden();
    }
}

void Einlesen::hideEvent(QHideEvent* event) {
    if (korrekturSchleife_) {
        korrekturSchleife_->exit(1);
    }
    QWidget::hideEvent(event);
}

// ---- Lesesteuerung ------------------------------------------------------------------

void Einlesen::laden() {
    portEinrichten();
    zustand_.clearSchussPuffer();
    korrekturWert_ = -1;
}

void Einlesen::portEinrichten() {
    if (ablauf_->liest()) {
        return;  // a reading keeps its line; the next one uses the new settings
    }
    QString fehler;
    if (!ablauf_->portEinrichten(&fehler)) {
        dialogs_.message(fehler + QStringLiteral("\nDie Ringe können von Hand eingegeben werden."));
    }
}

void Einlesen::lesenStarten() {
    platzieren();
    show();
    raise();
    zustand_.clearSchussPuffer();
    ablauf_->auswertung_starten();
}

void Einlesen::fernsteuern() {
    ablauf_->fernsteuern();
}

void Einlesen::normal() {
    ablauf_->normal();
}

void Einlesen::programmWaehlen() {
    if (!rmEinst_) {
        rmEinst_ = std::make_unique<RMEinst>(zustand_, abend_);
    }
    rmEinst_->show();
    rmEinst_->raise();
}

void Einlesen::showEvent(QShowEvent* event) {
    // The debug field lies below the normal window area; with the debug switch on the
    // window grows so that it shows.
    Debug_Text->setVisible(zustand_.DebugAnzeige);
    if (zustand_.DebugAnzeige) {
        resize(width(), twipsZuPixel(this, 7000));
    } else {
        adjustSize();
    }
    QWidget::showEvent(event);
}

// ---- EinleseAnzeige -----------------------------------------------------------------

// The window's place near the top left of the screen, but clear of the member's number and
// name in the main window: below them, or beside them where there is no room below.
void Einlesen::platzieren() {
    QPoint ziel(twipsZuPixel(this, 100), twipsZuPixel(this, 100));
    const QRect frei = abend_.freizuhalten().adjusted(-4, -4, 4, 4);
    const QRect flaeche = screen() ? screen()->availableGeometry() : QRect(0, 0, 1366, 768);
    if (!frei.isEmpty() && QRect(ziel, frameGeometry().size()).intersects(frei)) {
        ziel = QPoint(std::max(flaeche.left(), frei.left()), frei.bottom() + 8);
        if (ziel.y() + frameGeometry().height() > flaeche.bottom()) {
            ziel = QPoint(frei.right() + 8, std::max(flaeche.top(), frei.top()));
        }
    }
    move(ziel);
}

void Einlesen::status(const QString& text) {
    status_->setText(text);
    hoeheAnpassen();
}

// Every message shows whole: the label wraps, and the window grows until it fits, wider
// when the screen is too low for it.
void Einlesen::hoeheAnpassen() {
    QLayout* l = layout();
    if (!l || !l->hasHeightForWidth()) {
        return;
    }
    const QRect flaeche = screen() ? screen()->availableGeometry() : QRect(0, 0, 1366, 768);
    int breite = width();
    int hoehe = l->totalHeightForWidth(breite);
    while (hoehe > flaeche.height() - 60 && breite + 80 <= flaeche.width()) {
        breite += 80;
        hoehe = l->totalHeightForWidth(breite);
    }
    if (hoehe > height() || breite > width()) {
        resize(breite, std::max(hoehe, height()));
    }
}

QString Einlesen::status() const {
    return status_->text();
}

void Einlesen::debugAnhaengen(const QString& text) {
    Debug_Text->moveCursor(QTextCursor::End);
    Debug_Text->insertPlainText(QString(text).replace(u'\r', u'\n'));
}

void Einlesen::debugLabel(const QString& text) {
    Debug_L->setText(text);
}

int Einlesen::korrekturErfragen(int /*slot*/, int ring) {
    if (isHidden()) {
        show();
    }
    raise();
    activateWindow();  // the keyboard belongs to the hand entry now
    Korrektur_txt->setText(QString::number(ring));
    Korrektur_txt->selectAll();
    Korrektur_txt->setFocus();
    korrekturWert_ = -1;
    QEventLoop schleife;
    korrekturSchleife_ = &schleife;
    while (korrekturWert_ < 0) {
        if (schleife.exec() != 0) {
            break;  // the window was closed or the program ends: the ring stays as read
        }
    }
    korrekturSchleife_ = nullptr;
    Korrektur_txt->clear();
    return korrekturWert_ < 0 ? ring : korrekturWert_;
}

void Einlesen::verbergen() {
    hide();
}

int Einlesen::waehlen(const QString& text, const QStringList& antworten, int vorgabe) {
    return dialogs_.waehlen(text, antworten, vorgabe);
}

// Between readings the official may be typing the next number: the note shows without
// taking the keyboard.
void Einlesen::hinweis(const QString& text) {
    status(text);
    if (isHidden()) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

bool Einlesen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Korrektur_txt && event->type() == QEvent::KeyPress) {
        auto* taste = static_cast<QKeyEvent*>(event);
        const int key = taste->key();
        if (key == Qt::Key_Backspace || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            return false;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const double v = Zahlwert(Korrektur_txt->text());
            if (v > -1 && v < 11) {
                korrekturWert_ = static_cast<int>(v);
                if (korrekturSchleife_) {
                    korrekturSchleife_->quit();
                }
            }
            return true;
        }
        const QString t = taste->text();
        if (t.size() == 1 && t[0] >= u'0' && t[0] <= u'9') {
            return false;
        }
        return !t.isEmpty() || key == Qt::Key_Delete;
    }
    return QWidget::eventFilter(watched, event);
}

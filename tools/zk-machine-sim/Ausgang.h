#pragma once

#include <QByteArray>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <deque>
#include <functional>

class Leitung;

// The machine's side of the line as an adapter delivers it: texts go out in the order they
// were written. With pieces switched on every text is cut into pieces of 1 to 8 bytes with a
// pause of a few milliseconds between them, so the program reads them in as many parts.
class Ausgang : public QObject {
    Q_OBJECT
  public:
    Ausgang(bool stuecke, quint32 seed);

    void setLeitung(Leitung* leitung) { leitung_ = leitung; }  // nullptr: the line is gone
    // danach runs once the text's last byte is out.
    void schreiben(const QByteArray& text, bool inStuecken, std::function<void()> danach = {});
    void verwerfen();  // what is not out yet is dropped (the line goes away)

  signals:
    void geschrieben(const QByteArray& text);  // a whole text, once its last byte is out

  private:
    struct Stueck {
        QByteArray bytes;
        QByteArray ganz;  // set on a text's last piece
        std::function<void()> danach;
    };
    void pumpen();
    void direkt(const QByteArray& bytes);

    bool stuecke_;
    QRandomGenerator zufall_;
    Leitung* leitung_ = nullptr;
    std::deque<Stueck> warte_;
    QTimer pumpe_;
};

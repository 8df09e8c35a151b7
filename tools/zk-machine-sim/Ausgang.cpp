#include "Ausgang.h"

#include "Leitung.h"

Ausgang::Ausgang(bool stuecke, quint32 seed) : stuecke_(stuecke), zufall_(seed) {
    pumpe_.setSingleShot(true);
    connect(&pumpe_, &QTimer::timeout, this, &Ausgang::pumpen);
}

void Ausgang::direkt(const QByteArray& bytes) {
    if (leitung_ != nullptr) {
        leitung_->schreiben(bytes);
    }
}

void Ausgang::schreiben(const QByteArray& text, bool inStuecken, std::function<void()> danach) {
    if (text.isEmpty()) {
        return;
    }
    if (!(stuecke_ && inStuecken) && warte_.empty()) {
        direkt(text);
        emit geschrieben(text);
        if (danach) {
            danach();
        }
        return;
    }
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype n = stuecke_ && inStuecken ? zufall_.bounded(1, 9) : text.size();
        Stueck s{text.mid(pos, n), {}, {}};
        pos += n;
        if (pos >= text.size()) {
            s.ganz = text;
            s.danach = std::move(danach);
        }
        warte_.push_back(std::move(s));
    }
    if (!pumpe_.isActive()) {
        pumpe_.start(zufall_.bounded(1, 6));
    }
}

void Ausgang::pumpen() {
    if (warte_.empty()) {
        return;
    }
    Stueck s = std::move(warte_.front());
    warte_.pop_front();
    direkt(s.bytes);
    if (!s.ganz.isEmpty()) {
        emit geschrieben(s.ganz);
        if (s.danach) {
            s.danach();
        }
    }
    if (!warte_.empty() && !pumpe_.isActive()) {
        pumpe_.start(zufall_.bounded(1, 6));
    }
}

void Ausgang::verwerfen() {
    warte_.clear();
    pumpe_.stop();
}

// Draws the program's icon (the target of zielkunst.svg) as a PNG of the given size, for
// the icon theme of the package: zk-ikone GROESSE DATEI.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        return 2;
    }
    const int n = QString::fromLocal8Bit(argv[1]).toInt();
    if (n < 16 || n > 1024) {
        return 2;
    }
    QImage bild(n, n, QImage::Format_ARGB32);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(n / 256.0, n / 256.0);
    const QColor papier(0xf4, 0xf1, 0xe8), schwarz(0x20, 0x20, 0x20);
    auto kreis = [&](double r, const QColor& fuellung, const QColor& rand, double breite) {
        p.setBrush(fuellung.isValid() ? QBrush(fuellung) : Qt::NoBrush);
        p.setPen(rand.isValid() ? QPen(rand, breite) : Qt::NoPen);
        p.drawEllipse(QPointF(128, 128), r, r);
    };
    kreis(124, papier, schwarz, 4);
    kreis(100, QColor(), schwarz, 3);
    kreis(76, schwarz, QColor(), 0);
    kreis(54, QColor(), papier, 3);
    kreis(32, QColor(), papier, 3);
    kreis(10, papier, QColor(), 0);
    p.setBrush(QColor(0xd0, 0x10, 0x10));
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QPointF(150, 112), 12, 12);
    p.end();
    return bild.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}

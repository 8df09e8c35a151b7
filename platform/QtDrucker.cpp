#include "platform/QtDrucker.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinterInfo>

QtDrucker::QtDrucker(const QString& pdfDatei)
    : pdfDatei_(pdfDatei), printer_(QPrinter::HighResolution) {
    printer_.setPageSize(QPageSize(QPageSize::A4));
    printer_.setPageOrientation(QPageLayout::Portrait);
    printer_.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (!pdfDatei_.isEmpty()) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(pdfDatei_);
        printer_.setCreator(QStringLiteral("Zielkunst"));
    }
    font_.setPointSizeF(10);
}

QtDrucker::~QtDrucker() {
    if (painter_ && painter_->isActive()) {
        painter_->end();
    }
}

QString QtDrucker::standardDrucker() {
    return QPrinterInfo::defaultPrinter().printerName();
}

bool QtDrucker::beginnen(QString* fehler) {
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        if (fehler) {
            *fehler = pdfDatei_.isEmpty()
                          ? QStringLiteral("Der Drucker \"%1\" kann nicht drucken.")
                                .arg(printer_.printerName())
                          : QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.")
                                .arg(pdfDatei_);
        }
        painter_.reset();
        return false;
    }
    painter_->setFont(font_);
    return true;
}

double QtDrucker::px(double mm) const {
    return mm * printer_.resolution() / 25.4;
}

double QtDrucker::mm(double px) const {
    return px * 25.4 / printer_.resolution();
}

void QtDrucker::schrift(double punkte, bool fett) {
    font_.setPointSizeF(punkte);
    font_.setBold(fett);
    if (painter_) {
        painter_->setFont(font_);
    }
}

void QtDrucker::schriftart(const QString& name) {
    font_.setFamily(name);
    if (painter_) {
        painter_->setFont(font_);
    }
}

double QtDrucker::textHoehe(const QString& muster) {
    const QFontMetricsF fm(font_, &printer_);
    return muster.isEmpty() ? 0 : mm(fm.height());
}

double QtDrucker::textBreite(const QString& text) {
    const QFontMetricsF fm(font_, &printer_);
    return mm(fm.horizontalAdvance(text));
}

void QtDrucker::text(double x, double y, const QString& text) {
    if (!painter_) {
        return;
    }
    const QFontMetricsF fm(font_, &printer_);
    painter_->drawText(QPointF(px(x), px(y) + fm.ascent()), text);
}

void QtDrucker::linie(double x1, double y1, double x2, double y2) {
    if (painter_) {
        painter_->drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    }
}

void QtDrucker::rechteck(double x, double y, double breite, double hoehe) {
    if (painter_) {
        painter_->drawRect(QRectF(px(x), px(y), px(breite), px(hoehe)));
    }
}

void QtDrucker::kreis(double x, double y, double r, int fuellung, int rand) {
    if (!painter_) {
        return;
    }
    painter_->save();
    painter_->setPen(QColor::fromRgb(static_cast<QRgb>(rand)));
    painter_->setBrush(fuellung < 0 ? QBrush(Qt::NoBrush)
                                    : QBrush(QColor::fromRgb(static_cast<QRgb>(fuellung))));
    painter_->drawEllipse(QPointF(px(x), px(y)), px(r), px(r));
    painter_->restore();
}

void QtDrucker::textFarbe(int rgb) {
    if (painter_) {
        painter_->setPen(QColor::fromRgb(static_cast<QRgb>(rgb)));
    }
}

double QtDrucker::breite() const {
    return printer_.pageLayout().paintRect(QPageLayout::Millimeter).width();
}

double QtDrucker::hoehe() const {
    return printer_.pageLayout().paintRect(QPageLayout::Millimeter).height();
}

void QtDrucker::neueSeite() {
    printer_.newPage();
}

bool QtDrucker::beenden(QString* fehler) {
    if (!painter_) {
        return false;
    }
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok || (!pdfDatei_.isEmpty() && !QFileInfo::exists(pdfDatei_))) {
        if (fehler) {
            *fehler = QStringLiteral("Der Ausdruck konnte nicht abgeschlossen werden.");
        }
        return false;
    }
    return true;
}

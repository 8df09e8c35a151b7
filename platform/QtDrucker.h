#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <memory>

#include "platform/Drucker.h"

// The real printer over QPrinter: the system's default printer, or a PDF file.
class QtDrucker : public Drucker {
  public:
    // An empty path prints on the system's default printer.
    explicit QtDrucker(const QString& pdfDatei = {});
    ~QtDrucker() override;

    // False with the German reason when the job cannot start (no printer, file not writable).
    bool beginnen(QString* fehler);

    void schrift(double punkte, bool fett) override;
    void schriftart(const QString& name) override;
    double textHoehe(const QString& muster) override;
    double textBreite(const QString& text) override;
    void text(double x, double y, const QString& text) override;
    void linie(double x1, double y1, double x2, double y2) override;
    void rechteck(double x, double y, double breite, double hoehe) override;
    void neueSeite() override;
    void kreis(double x, double y, double r, int fuellung, int rand) override;
    void textFarbe(int rgb) override;
    double breite() const override;
    double hoehe() const override;
    bool beenden(QString* fehler) override;

    // The name of the system's default printer, "" when the system has none.
    static QString standardDrucker();

  private:
    double px(double mm) const;
    double mm(double px) const;

    QString pdfDatei_;
    QPrinter printer_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
};

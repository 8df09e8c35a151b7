#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"

class TestZahlen : public QObject {
    Q_OBJECT
  private slots:
    void zahlwertLiestDieFuehrendeZahl_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("wert");
        QTest::newRow("hex farbe") << "&H01D7FF_Gold" << 120831.0;
        QTest::newRow("hex klein") << "&hff" << 255.0;
        QTest::newRow("blank davor") << " 42abc" << 42.0;
        QTest::newRow("tab und zeilenumbruch") << "\t\n7" << 7.0;
        QTest::newRow("leer") << "" << 0.0;
        QTest::newRow("keine zahl") << "abc" << 0.0;
        QTest::newRow("negativ mit punkt") << "-3.5x" << -3.5;
        QTest::newRow("komma trennt nicht") << "1,5" << 1.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("exponent ohne ziffer") << "12e" << 12.0;
        QTest::newRow("nur nachkomma") << ".5" << 0.5;
        QTest::newRow("plus") << "+4" << 4.0;
        QTest::newRow("nur vorzeichen") << "-" << 0.0;
        QTest::newRow("riesiger exponent") << "1e99999" << 0.0;
        QTest::newRow("riesige hexzahl") << "&H" + QString(400, 'F') << 0.0;
    }
    void zahlwertLiestDieFuehrendeZahl() {
        QFETCH(QString, text);
        QFETCH(double, wert);
        QCOMPARE(Zahlwert(text), wert);
    }

    void kommaUndZehntel() {
        QCOMPARE(KommaZuPunkt("1,5,7"), 1.5f);
        QCOMPARE(KommaZuPunkt("12,37"), 12.37f);
        QCOMPARE(KommaZuPunkt(""), 0.0f);
        QCOMPARE(KommaZuPunkt(" 12.7"), 12.7f);
        QCOMPARE(ZehntelWert("12,3"), 12.3f);
        QCOMPARE(ZehntelWert("12,37"), 12.3f);
        QCOMPARE(ZehntelWert("7"), 7.0f);
        QCOMPARE(ZehntelWert("8.5"), 8.5f);
        QCOMPARE(ZehntelWert("-1,5"), -0.5f);
        QCOMPARE(ZehntelWert(""), 0.0f);
        QCOMPARE(ZehntelWert("35,"), 35.0f);
    }

    void pruefzeichen() {
        QCOMPARE(Pruefzeichen("abc"), QChar(u'`'));
        // 'a' xor 'b' = 3, raised by 32
        QCOMPARE(Pruefzeichen("ab"), QChar(u'#'));
        QCOMPARE(Pruefzeichen(""), QChar(u' '));
        // Windows-1252 byte of the euro sign is 0x80; 0x80 xor 'A' = 0xC1 = 'Á'
        QCOMPARE(Pruefzeichen(QString::fromUtf8("€A")), QChar(0xC1));
    }

    void sechzehnBitRundetGeradeUndMeldetUeberlauf() {
        QCOMPARE(zuInt16(2.5), std::int16_t(2));
        QCOMPARE(zuInt16(3.5), std::int16_t(4));
        QCOMPARE(zuInt16(-2.5), std::int16_t(-2));
        QCOMPARE(zuInt16(32767.4), std::int16_t(32767));
        QCOMPARE(zuInt16(-32768.5), std::int16_t(-32768));
        QVERIFY_THROWS_EXCEPTION(ZahlUeberlauf, zuInt16(32767.5));
        try {
            zuInt16(99999);
            QFAIL("kein Überlauf gemeldet");
        } catch (const ZahlUeberlauf& e) {
            QVERIFY(e.message().contains("99999"));
        }
        QCOMPARE(abgeschnittenInt16(70000), std::int16_t(4464));
        QCOMPARE(abgeschnittenInt16(-20.7), std::int16_t(-20));
    }

    void anzeigeformate() {
        QCOMPARE(formatRaute(0), QString());
        QCOMPARE(formatRaute(0.4), QString());
        QCOMPARE(formatRaute(196), QString("196"));
        QCOMPARE(formatRaute(2.5), QString("3"));
        QCOMPARE(formatRaute(-2.5), QString("-3"));
        QCOMPARE(formatTeiler(35.27), QString("35,3"));
        QCOMPARE(formatTeiler(800), QString("800"));
    }

    // The display formats over many values, whole and broken, small and large, against what
    // printf's "%.15g" and "%.*f" make of them (rounding half away from zero on the decimal).
    void anzeigeformateWiePrintf() {
        const auto erwartet = [](double v, int stellen) {
            char buf[512];
            std::snprintf(buf, sizeof buf, "%.15g", v);
            const double skala = std::pow(10.0, stellen);
            double r = std::round(std::strtod(buf, nullptr) * skala *
                                  (1 + 4 * std::numeric_limits<double>::epsilon())) /
                       skala;
            if (r == 0)
                r = 0;
            std::snprintf(buf, sizeof buf, "%.*f", stellen, r);
            return QString::fromLatin1(buf);
        };
        QRandomGenerator zufall(11);
        QList<double> werte{0.0, -0.0, 0.05, 0.15, 0.25, 2.5, -2.5, 1e15, 0x1p48, 0x1p48 - 1,
                            -0x1p47, 1e300, -1e-300, 5e-324, 123456789012.35, 9.5, 0.35,
                            12.25, 3, static_cast<double>(12.7f)};
        for (int i = 0; i < 20000; ++i) {
            const double groesse = std::pow(10.0, zufall.bounded(-3, 16));
            const double v = (zufall.generateDouble() - 0.5) * groesse;
            werte << v << std::trunc(v) << std::round(v * 10) / 10 << std::round(v * 100) / 100 + 0.05;
        }
        for (const double v : werte) {
            QCOMPARE(formatNull(v), erwartet(v, 0));
            QCOMPARE(formatNullKomma(v), erwartet(v, 1).replace(u'.', u','));
        }
    }

    // Whole numbers are written as the general form writes them, for every precision used.
    void ganzeZahlenWieDieAllgemeineForm() {
        for (int i = -120000; i <= 120000; ++i) {
            const double v = i;
            QCOMPARE(zahlText(v), QString::number(v, 'g', 15));
            QCOMPARE(zahlTextBlank(v, 7).trimmed(), QString::number(v, 'g', 7));
        }
        QCOMPARE(zahlText(-0.0), QString("0"));
        QCOMPARE(zahlText(100000), QString::number(100000.0, 'g', 15));
    }

    // Seven significant digits read back, for any single-precision value.
    void siebenStellenWieDerText() {
        QRandomGenerator zufall(5);
        QList<float> werte{0.0f, -0.0f, 12.7f, -0.05f, 1e-45f, 3.4e38f, 35.4f, 100.0f};
        for (int i = 0; i < 100000; ++i) {
            const quint32 bits = zufall.generate();
            float f;
            std::memcpy(&f, &bits, sizeof f);
            werte << f << static_cast<float>(zufall.bounded(-20000, 20000)) / 10.0f;
        }
        for (const float f : werte) {
            const double d = siebenStellen(f);
            const double text = zahlTextBlank(f, 7).toDouble();
            QVERIFY2(d == text && std::signbit(d) == std::signbit(text),
                     qPrintable(QString::number(f, 'g', 9)));
        }
    }

    void zahlTexte() {
        QCOMPARE(zahlText(12.5), QString("12,5"));
        QCOMPARE(zahlTextBlank(12.5), QString(" 12.5"));
        QCOMPARE(zahlTextBlank(-3), QString("-3"));
        QCOMPARE(zahlTextBlank(0), QString(" 0"));
        // A single-precision value shows its seven digits, not the double's noise.
        QCOMPARE(zahlTextBlank(static_cast<double>(12.7f), 7), QString(" 12.7"));
    }

    void schussPufferLeeren() {
        Abendzustand z;
        z.Shots[5] = ShotSlot{9, 12.5f, 1, 2, true, true};
        z.Best20 = 180;
        z.NextShotIndex = 17;
        z.SerienTeiler[2] = 12.5f;
        z.clearSchussPuffer();
        QCOMPARE(z.Shots[5].Teiler, 9999.0f);  // nothing counts for a Teiler any more
        QVERIFY(!z.Shots[5].ValidFlag && !z.Shots[5].CorrectionFlag && z.Shots[5].Ring == 0);
        QCOMPARE(z.Best20, std::int16_t(0));
        QCOMPARE(z.NextShotIndex, std::int16_t(1));
        QCOMPARE(z.SerienTeiler[2], 12.5f);  // not part of the buffer
        QVERIFY(z.shot(0) == nullptr && z.shot(61) == nullptr && z.shot(60) == &z.Shots[60]);
    }
};

QTEST_GUILESS_MAIN(TestZahlen)
#include "test_zahlen.moc"

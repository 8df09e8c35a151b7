// The iconv and strftime that mdbtools' programs are built with on Windows, checked where
// they run: what a Windows code page cannot hold stops the call where it stands, a full
// buffer or a cut-off character is reported, and a time mdbtools could not read is printed
// as Linux prints it.
#include <QtTest>

#include <cerrno>
#include <ctime>
#include <string>

extern "C" {
#include "packaging/windows/mdbtools/iconv.h"
size_t zk_strftime(char* s, size_t max, const char* format, const struct tm* t);
}

namespace {

struct Ergebnis {
    size_t rueck;
    int fehler;
    std::string aus;
    size_t rest;  // input bytes not taken
};

Ergebnis wandeln(const char* nach, const char* von, const std::string& ein, size_t platz = 64) {
    iconv_t cd = iconv_open(nach, von);
    if (cd == (iconv_t)-1) {
        return {size_t(-1), errno, {}, ein.size()};
    }
    std::string puffer(platz, '\0');
    char* in = const_cast<char*>(ein.data());
    size_t inRest = ein.size();
    char* out = puffer.data();
    size_t outRest = platz;
    errno = 0;
    const size_t r = iconv(cd, &in, &inRest, &out, &outRest);
    const int e = errno;
    iconv_close(cd);
    return {r, r == size_t(-1) ? e : 0, puffer.substr(0, platz - outRest), inRest};
}

}  // namespace

class TestMdbZeichen : public QObject {
    Q_OBJECT
  private slots:
    void iconvWieMdbtoolsEsBraucht() {
        // Jet 4 texts: UCS-2 to UTF-8, a surrogate pair as one character.
        const std::string ucs2("S\0\xFC\0\xDF\0 \0\x3D\xD8\x00\xDE", 12);
        Ergebnis e = wandeln("UTF-8", "UCS-2LE", ucs2);
        QCOMPARE(e.rueck, size_t(0));
        QCOMPARE(QString::fromStdString(e.aus), QString::fromUtf8("Süß 😀"));
        // ... and back, for the names mdbtools looks up.
        e = wandeln("UCS-2LE", "UTF-8", "Süß 😀");
        QCOMPARE(e.aus, ucs2);
        // Jet 3 texts in the file's code page, named as mdbtools names them.
        e = wandeln("UTF-8", "WINDOWS-1252", "Lule\xE5 \x80");
        QCOMPARE(QString::fromStdString(e.aus), QString::fromUtf8("Luleå €"));
        e = wandeln("UTF-8", "IBM850", "M\x81nchen");
        QCOMPARE(QString::fromStdString(e.aus), QString::fromUtf8("München"));
        // A character the code page lacks: stopped before it, nothing made up.
        e = wandeln("CP1252", "UTF-8", "ab\xC5\x81x");  // Ł
        QCOMPARE(e.rueck, size_t(-1));
        QCOMPARE(e.fehler, EILSEQ);
        QCOMPARE(e.aus, std::string("ab"));
        QCOMPARE(e.rest, size_t(3));
        // Broken input: a lone surrogate, a bad UTF-8 byte, half a character at the end.
        QCOMPARE(wandeln("UTF-8", "UCS-2LE", std::string("\x00\xDC", 2)).fehler, EILSEQ);
        QCOMPARE(wandeln("UCS-2LE", "UTF-8", "a\xFF").fehler, EILSEQ);
        e = wandeln("UTF-8", "UCS-2LE", std::string("a\0b", 3));
        QCOMPARE(e.fehler, EINVAL);
        QCOMPARE(e.aus, std::string("a"));
        QCOMPARE(e.rest, size_t(1));
        // The buffer full: what fits is written, the rest left for the next call.
        e = wandeln("UTF-8", "UCS-2LE", std::string("a\0\xE4\0", 4), 2);
        QCOMPARE(e.fehler, E2BIG);
        QCOMPARE(e.aus, std::string("a"));
        QCOMPARE(e.rest, size_t(2));
        // Unknown names are refused; a refused converter is answered, not followed.
        QCOMPARE(wandeln("UTF-8", "KLINGONISCH", "x").fehler, EINVAL);
        QCOMPARE(wandeln("UTF-8", "CP99999", "x").fehler, EINVAL);
        char* in = nullptr;
        size_t n = 0;
        QCOMPARE(iconv((iconv_t)-1, &in, &n, &in, &n), size_t(-1));
        QCOMPARE(errno, EBADF);
    }

    void zeitWieUnterLinux() {
        char text[64];
        const char* format = "%Y-%m-%d %H:%M:%S";
        struct tm nichts = {};  // what mdbtools leaves for a day it cannot read
        QCOMPARE(zk_strftime(text, sizeof text, format, &nichts), size_t(19));
        QCOMPARE(QString(text), QString("1900-01-00 00:00:00"));
        struct tm tag = {};
        tag.tm_year = 121, tag.tm_mon = 11, tag.tm_mday = 2, tag.tm_hour = 18, tag.tm_min = 5;
        QCOMPARE(zk_strftime(text, sizeof text, format, &tag), size_t(19));
        QCOMPARE(QString(text), QString("2021-12-02 18:05:00"));
        // Too small a buffer: 0, as strftime answers.
        QCOMPARE(zk_strftime(text, 10, format, &nichts), size_t(0));
    }
};

QTEST_MAIN(TestMdbZeichen)
#include "test_mdb_zeichen.moc"

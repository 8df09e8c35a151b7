/* iconv for mdbtools on Windows: one character at a time through UTF-16, so that a
 * character that cannot be converted stops the call with EILSEQ where it stands (mdbtools
 * then writes '?' and goes on), a full output buffer with E2BIG, a cut-off character at the
 * end of the input with EINVAL. UTF-8 and UTF-16 are converted here; any other code page by
 * Windows, strictly (no best-fit replacement). */
#include "iconv.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum { ZK_UTF8 = -1, ZK_UTF16LE = -2 };

struct zk_iconv {
    int von;
    int nach;
};

static int gleich(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = (char)(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = (char)(y - 'a' + 'A');
        if (x != y) return 0;
    }
    return *a == *b;
}

/* The code page an iconv name stands for; 0 when unknown. */
static int codepage(const char* name) {
    static const struct {
        const char* name;
        int cp;
    } namen[] = {
        {"UTF-8", ZK_UTF8},          {"UTF8", ZK_UTF8},           {"UCS-2LE", ZK_UTF16LE},
        {"UTF-16LE", ZK_UTF16LE},    {"SHIFT-JIS", 932},          {"BIG-5", 950},
        {"BIG5-HKSCS", 951},         {"KOI8-R", 20866},           {"KOI8-U", 21866},
        {"EUC-JP", 20932},           {"EUC-CN", 51936},           {"EUC-KR", 51949},
        {"ISO-8859-1", 28591},       {"ISO-8859-2", 28592},       {"ISO-8859-3", 28593},
        {"ISO-8859-4", 28594},       {"ISO-8859-5", 28595},       {"ISO-8859-6", 28596},
        {"ISO-8859-7", 28597},       {"ISO-8859-8", 28598},       {"ISO-8859-9", 28599},
        {"ISO-8859-13", 28603},      {"ISO-8859-15", 28605},
    };
    size_t i;
    for (i = 0; i < sizeof namen / sizeof namen[0]; ++i) {
        if (gleich(name, namen[i].name)) return namen[i].cp;
    }
    /* WINDOWS-1252, CP1252, IBM850 */
    {
        const char* zahl = NULL;
        char* ende = NULL;
        long n;
        if (_strnicmp(name, "WINDOWS-", 8) == 0) zahl = name + 8;
        else if (_strnicmp(name, "CP", 2) == 0) zahl = name + 2;
        else if (_strnicmp(name, "IBM", 3) == 0) zahl = name + 3;
        if (!zahl || *zahl < '0' || *zahl > '9') return 0;
        n = strtol(zahl, &ende, 10);
        if (*ende || n <= 0 || n > 65535 || !IsValidCodePage((UINT)n)) return 0;
        if (n == CP_UTF8) return ZK_UTF8;
        if (n == 1200) return ZK_UTF16LE;
        return (int)n;
    }
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    struct zk_iconv* cd;
    const int nach = tocode ? codepage(tocode) : 0;
    const int von = fromcode ? codepage(fromcode) : 0;
    if (!nach || !von) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    cd = (struct zk_iconv*)malloc(sizeof *cd);
    if (!cd) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    cd->von = von;
    cd->nach = nach;
    return cd;
}

int iconv_close(iconv_t cd) {
    if (cd == (iconv_t)-1 || !cd) {
        errno = EBADF;
        return -1;
    }
    free(cd);
    return 0;
}

/* One character of `in` as UTF-16 units in w (1 or 2); the bytes it took, 0 with errno. */
static size_t lesen(int cp, const unsigned char* in, size_t n, wchar_t w[2], int* einheiten) {
    if (cp == ZK_UTF16LE) {
        unsigned a, b;
        if (n < 2) return errno = EINVAL, 0;
        a = in[0] | (in[1] << 8);
        if (a >= 0xD800 && a <= 0xDBFF) {
            if (n < 4) return errno = EINVAL, 0;
            b = in[2] | (in[3] << 8);
            if (b < 0xDC00 || b > 0xDFFF) return errno = EILSEQ, 0;
            w[0] = (wchar_t)a, w[1] = (wchar_t)b, *einheiten = 2;
            return 4;
        }
        if (a >= 0xDC00 && a <= 0xDFFF) return errno = EILSEQ, 0;
        w[0] = (wchar_t)a, *einheiten = 1;
        return 2;
    }
    if (cp == ZK_UTF8) {
        unsigned long c;
        size_t laenge, i;
        const unsigned char b = in[0];
        if (b < 0x80) return w[0] = b, *einheiten = 1, 1;
        if (b >= 0xC2 && b <= 0xDF) laenge = 2, c = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF) laenge = 3, c = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4) laenge = 4, c = b & 0x07;
        else return errno = EILSEQ, 0;
        for (i = 1; i < laenge; ++i) {
            if (i >= n) return errno = EINVAL, 0;
            if ((in[i] & 0xC0) != 0x80) return errno = EILSEQ, 0;
            c = (c << 6) | (in[i] & 0x3F);
        }
        if ((laenge == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
            (laenge == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return errno = EILSEQ, 0;
        if (c >= 0x10000) {
            c -= 0x10000;
            w[0] = (wchar_t)(0xD800 + (c >> 10)), w[1] = (wchar_t)(0xDC00 + (c & 0x3FF));
            *einheiten = 2;
        } else {
            w[0] = (wchar_t)c, *einheiten = 1;
        }
        return laenge;
    }
    {
        const size_t laenge = IsDBCSLeadByteEx((UINT)cp, in[0]) ? 2 : 1;
        int k;
        if (laenge > n) return errno = EINVAL, 0;
        k = MultiByteToWideChar((UINT)cp, MB_ERR_INVALID_CHARS, (const char*)in, (int)laenge, w, 2);
        if (k <= 0) return errno = EILSEQ, 0;
        *einheiten = k;
        return laenge;
    }
}

/* The UTF-16 units w as bytes of `cp` in out (at most `platz`); their number, or -1 with
 * errno. */
static int schreiben(int cp, const wchar_t* w, int einheiten, unsigned char* out, size_t platz) {
    unsigned char puffer[8];
    int n = 0;
    if (cp == ZK_UTF16LE) {
        int i;
        for (i = 0; i < einheiten; ++i) {
            puffer[n++] = (unsigned char)(w[i] & 0xFF);
            puffer[n++] = (unsigned char)(w[i] >> 8);
        }
    } else if (cp == ZK_UTF8) {
        unsigned long c = w[0];
        if (einheiten == 2) c = 0x10000 + ((c - 0xD800) << 10) + (w[1] - 0xDC00);
        if (c < 0x80) {
            puffer[n++] = (unsigned char)c;
        } else if (c < 0x800) {
            puffer[n++] = (unsigned char)(0xC0 | (c >> 6));
            puffer[n++] = (unsigned char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            puffer[n++] = (unsigned char)(0xE0 | (c >> 12));
            puffer[n++] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
            puffer[n++] = (unsigned char)(0x80 | (c & 0x3F));
        } else {
            puffer[n++] = (unsigned char)(0xF0 | (c >> 18));
            puffer[n++] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
            puffer[n++] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
            puffer[n++] = (unsigned char)(0x80 | (c & 0x3F));
        }
    } else {
        BOOL ersetzt = FALSE;
        /* Some code pages refuse the flags and the default-character question. */
        const int streng = cp != 50220 && cp != 50221 && cp != 50222 && cp != 50225 &&
                           cp != 50227 && cp != 50229 && cp != 54936 && cp != 65000 &&
                           (cp < 57002 || cp > 57011);
        n = WideCharToMultiByte((UINT)cp, streng ? WC_NO_BEST_FIT_CHARS : 0, w, einheiten,
                                (char*)puffer, (int)sizeof puffer, NULL,
                                streng ? &ersetzt : NULL);
        if (n <= 0 || ersetzt) return errno = EILSEQ, -1;
    }
    if ((size_t)n > platz) return errno = E2BIG, -1;
    memcpy(out, puffer, (size_t)n);
    return n;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    if (cd == (iconv_t)-1 || !cd) {
        errno = EBADF;
        return (size_t)-1;
    }
    if (!inbuf || !*inbuf || !inbytesleft) return 0; /* no shift states to reset */
    if (!outbuf || !*outbuf || !outbytesleft) {
        errno = E2BIG;
        return (size_t)-1;
    }
    while (*inbytesleft > 0) {
        wchar_t w[2];
        int einheiten = 0, k;
        const size_t genommen =
            lesen(cd->von, (const unsigned char*)*inbuf, *inbytesleft, w, &einheiten);
        if (!genommen) return (size_t)-1;
        k = schreiben(cd->nach, w, einheiten, (unsigned char*)*outbuf, *outbytesleft);
        if (k < 0) return (size_t)-1;
        *inbuf += genommen;
        *inbytesleft -= genommen;
        *outbuf += k;
        *outbytesleft -= (size_t)k;
    }
    return 0;
}

/* strftime for mdbtools on Windows. mdbtools leaves a date it cannot read as an all-zero
 * time (day 0); glibc prints that as "1900-01-00 00:00:00", which the takeover knows and
 * names in its report, but Windows' strftime refuses a day 0 and prints nothing, which would
 * read as an empty field. Out-of-range times are therefore written here, field by field,
 * as glibc does; every other time goes to Windows' strftime. */
#include <stdio.h>
#include <string.h>
#include <time.h>

size_t zk_strftime(char* s, size_t max, const char* format, const struct tm* t);

static int gueltig(const struct tm* t) {
    return t->tm_mday >= 1 && t->tm_mday <= 31 && t->tm_mon >= 0 && t->tm_mon <= 11 &&
           t->tm_hour >= 0 && t->tm_hour <= 23 && t->tm_min >= 0 && t->tm_min <= 59 &&
           t->tm_sec >= 0 && t->tm_sec <= 60 && t->tm_year >= -1900 && t->tm_year <= 8099 &&
           t->tm_wday >= 0 && t->tm_wday <= 6 && t->tm_yday >= 0 && t->tm_yday <= 365;
}

size_t zk_strftime(char* s, size_t max, const char* format, const struct tm* t) {
    size_t n = 0;
    if (gueltig(t)) return strftime(s, max, format, t);
    if (max == 0) return 0;
    for (; *format; ++format) {
        char feld[32];
        int k;
        if (*format != '%' || !format[1]) {
            feld[0] = *format, k = 1;
        } else {
            switch (*++format) {
            case 'Y': k = snprintf(feld, sizeof feld, "%d", t->tm_year + 1900); break;
            case 'y': k = snprintf(feld, sizeof feld, "%02d", ((t->tm_year % 100) + 100) % 100); break;
            case 'm': k = snprintf(feld, sizeof feld, "%02d", t->tm_mon + 1); break;
            case 'd': k = snprintf(feld, sizeof feld, "%02d", t->tm_mday); break;
            case 'H': k = snprintf(feld, sizeof feld, "%02d", t->tm_hour); break;
            case 'M': k = snprintf(feld, sizeof feld, "%02d", t->tm_min); break;
            case 'S': k = snprintf(feld, sizeof feld, "%02d", t->tm_sec); break;
            case 'j': k = snprintf(feld, sizeof feld, "%03d", t->tm_yday + 1); break;
            case '%': feld[0] = '%', k = 1; break;
            default: /* a name or a locale's form of a time that is no time: left out */
                k = 0;
            }
        }
        if (k < 0 || (size_t)k >= sizeof feld || n + (size_t)k >= max) return 0;
        memcpy(s + n, feld, (size_t)k);
        n += (size_t)k;
    }
    s[n] = '\0';
    return n;
}

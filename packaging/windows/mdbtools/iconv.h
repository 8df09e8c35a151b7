/* The part of iconv that mdbtools uses, for the Windows build of its programs (MinGW has
 * no iconv). Conversions between UTF-8, UCS-2LE/UTF-16LE and the Windows code pages. */
#ifndef ZK_ICONV_H
#define ZK_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct zk_iconv* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif

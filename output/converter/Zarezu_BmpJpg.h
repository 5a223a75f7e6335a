/* Zarezu_BmpJpg: turns a Windows bitmap (BMP) file into a JPEG file. */
#ifndef ZAREZU_BMPJPG_H
#define ZAREZU_BMPJPG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Results of RsBmpToJpg. */
enum {
    ZAREZU_OK = 0,
    ZAREZU_BAD_ARGUMENT = -1, /* a path is missing or empty */
    ZAREZU_CANNOT_READ = -2, /* the source cannot be opened or read, or is not a regular file */
    ZAREZU_NOT_A_BMP = -3, /* the source is not a bitmap this library reads, or is cut short */
    ZAREZU_ENCODING_FAILED = -4,
    ZAREZU_CANNOT_WRITE = -5, /* the destination cannot be written completely */
    ZAREZU_OUT_OF_MEMORY = -6
};

/* Bits of the last argument. */
#define ZAREZU_OPTIMIZE_CODING 1 /* smaller file, same pixels; ignored past 32 million samples */

/* Reads the bitmap at `source` and writes it to `destination` as a baseline
 * JFIF file. `ratio` (1 to 100; clamped) sets the JPEG quality to
 * (ratio + 100) / 2: 100 for 100, 90 for 80, 75 for 50, 60 for 20, so that
 * even the smallest ratio offered keeps one-pixel bars readable. Bitmaps
 * whose pixels are all grey become a one-channel grayscale JPEG; others are
 * stored in colour at full resolution in every channel (no chroma
 * subsampling), so that thin lines stay crisp.
 *
 * Reads uncompressed bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel (with
 * BI_BITFIELDS masks for 16 and 32), bottom-up or top-down, with the 12-,
 * 40-, 52-, 56-, 108- and 124-byte headers; refuses anything else, or a file
 * cut short, without writing anything.
 *
 * The JPEG is written beside the destination as it is made (memory does not
 * grow with it) and takes its name only once whole: the destination is
 * complete when the function returns ZAREZU_OK, and as it was otherwise. A
 * destination the user may not write is refused, as the shell refuses it; a
 * file replaced keeps its permissions, owner and group. Paths are narrow
 * strings in the file system's encoding. */
int32_t RsBmpToJpg(const char* source, const char* destination, int32_t ratio, int32_t flags);

typedef int32_t (*RsBmpToJpgFunction)(const char* source, const char* destination, int32_t ratio, int32_t flags);

#ifdef __cplusplus
}
#endif

#endif

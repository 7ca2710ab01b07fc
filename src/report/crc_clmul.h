// CRC folding by carry-less multiplication: long buffers brought down to 16 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Distances, in bits, by which a 128-bit piece of the message is moved forward.
const int FOLD_128 = 0;
const int FOLD_256 = 1;
const int FOLD_384 = 2;
const int FOLD_512 = 3;
const int FOLD_1024 = 4;
const int FOLD_1536 = 5;
const int FOLD_2048 = 6;
const int FOLD_DISTANCES = 7;

// The smallest buffers the folds take: one load of every register.
const size_t PCLMUL_MINIMUM = 64;
const size_t VPCLMUL_MINIMUM = 256;

// Per distance d, the factors of the first and of the second 64-bit half of a piece:
// x^(d+63) mod P and x^(d-1) mod P. Both halves stand in the piece as bit-reflected words
// and a reflected carry-less product comes out one place too high, hence the 63 and the
// -1 where the halves are really x^(d+64) and x^d away.
struct CrcFoldConstants {
    uint64_t factors[FOLD_DISTANCES][2];
};

// The factors of a reflected polynomial of the given width (16 or 32 bits).
void crc_derive_fold_constants(CrcFoldConstants* constants, uint32_t polynomial, int width);

bool crc_pclmul_supported();
bool crc_vpclmul_supported();

// Folds the longest run of whole 16-byte pieces at the start of the buffer (length at
// least PCLMUL_MINIMUM or VPCLMUL_MINIMUM) together with the register before them.
// Returns the bytes consumed; the register after them is the CRC from register 0 of the
// 16 bytes left in folded. Only called when the processor supports the engine.
size_t crc_fold_pclmul(const CrcFoldConstants* constants, uint32_t crc, const unsigned char* bytes, size_t length,
                       unsigned char folded[16]);
size_t crc_fold_vpclmul(const CrcFoldConstants* constants, uint32_t crc, const unsigned char* bytes, size_t length,
                        unsigned char folded[16]);

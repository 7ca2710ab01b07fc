// CRC folding by carry-less multiplication (PCLMULQDQ, VPCLMULQDQ) on x86-64 processors.
//
// A reflected CRC's register after a message M is M(x) * x^w mod P. A 128-bit piece X
// of the message that has D more bits after it adds X(x) * x^D to M(x); moving it
// forward by d bits and adding it to the piece found there keeps the register as it
// was, once X(x) * x^d is replaced by a 128-bit remainder modulo P. Such a remainder is
// two carry-less products of X's 64-bit halves with fixed factors. Folding a buffer so
// leaves one piece whose CRC from register 0 is the register after the buffer.
#include "report/crc_clmul.h"

static const int FOLD_BITS[FOLD_DISTANCES] = {128, 256, 384, 512, 1024, 1536, 2048};

// The register's form of a remainder is bit-reflected in w bits (bit i is the factor of
// x^(w-1-i)), so multiplying by x is a shift right that brings the polynomial in for the
// x^w that comes out at the bottom; the same form moved to the top of a 64-bit word is
// the reflected 64-bit form.
void crc_derive_fold_constants(CrcFoldConstants* constants, uint32_t polynomial, int width)
{
    const int highest = FOLD_BITS[FOLD_DISTANCES - 1] + 63;
    uint32_t power = 1u << (width - 1);
    for (int exponent = 0; exponent <= highest; exponent++) {
        for (int distance = 0; distance < FOLD_DISTANCES; distance++) {
            if (exponent == FOLD_BITS[distance] + 63)
                constants->factors[distance][0] = static_cast<uint64_t>(power) << (64 - width);
            if (exponent == FOLD_BITS[distance] - 1)
                constants->factors[distance][1] = static_cast<uint64_t>(power) << (64 - width);
        }
        power = (power & 1) ? (power >> 1) ^ polynomial : power >> 1;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

bool crc_pclmul_supported()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul");
}

__attribute__((target("pclmul"))) static __m128i load_factors(const CrcFoldConstants* constants, int distance)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(constants->factors[distance]));
}

__attribute__((target("pclmul"))) static __m128i load_piece(const unsigned char* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The first half of a piece is its low quadword, as the bytes stand in memory.
__attribute__((target("pclmul"))) static __m128i fold(__m128i piece, __m128i factors)
{
    return _mm_xor_si128(_mm_clmulepi64_si128(piece, factors, 0x00), _mm_clmulepi64_si128(piece, factors, 0x11));
}

// Four pieces standing one after the other, moved onto the last: the first by three
// pieces' distance, the second by two, the third by one.
__attribute__((target("pclmul"))) static __m128i fold_four_into_one(const CrcFoldConstants* constants, __m128i p0,
                                                                    __m128i p1, __m128i p2, __m128i p3)
{
    __m128i piece = _mm_xor_si128(fold(p2, load_factors(constants, FOLD_128)), p3);
    piece = _mm_xor_si128(piece, fold(p1, load_factors(constants, FOLD_256)));
    return _mm_xor_si128(piece, fold(p0, load_factors(constants, FOLD_384)));
}

// The single piece left, followed by the buffer's remaining whole pieces one at a time:
// a chain of dependent products, so it is kept to the last few pieces of a buffer.
__attribute__((target("pclmul"))) static size_t fold_last_pieces(const CrcFoldConstants* constants, __m128i piece,
                                                                  const unsigned char* bytes, size_t length,
                                                                  size_t done, unsigned char folded[16])
{
    const __m128i by128 = load_factors(constants, FOLD_128);
    for (; length - done >= 16; done += 16)
        piece = _mm_xor_si128(fold(piece, by128), load_piece(bytes + done));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), piece);
    return done;
}

// Four pieces in flight, so that the products of one overlap those of the others.
__attribute__((target("pclmul"))) size_t crc_fold_pclmul(const CrcFoldConstants* constants, uint32_t crc,
                                                          const unsigned char* bytes, size_t length,
                                                          unsigned char folded[16])
{
    __m128i p0 = _mm_xor_si128(load_piece(bytes), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i p1 = load_piece(bytes + 16);
    __m128i p2 = load_piece(bytes + 32);
    __m128i p3 = load_piece(bytes + 48);
    size_t done = 64;
    const __m128i by512 = load_factors(constants, FOLD_512);
    for (; length - done >= 64; done += 64) {
        p0 = _mm_xor_si128(fold(p0, by512), load_piece(bytes + done));
        p1 = _mm_xor_si128(fold(p1, by512), load_piece(bytes + done + 16));
        p2 = _mm_xor_si128(fold(p2, by512), load_piece(bytes + done + 32));
        p3 = _mm_xor_si128(fold(p3, by512), load_piece(bytes + done + 48));
    }
    return fold_last_pieces(constants, fold_four_into_one(constants, p0, p1, p2, p3), bytes, length, done, folded);
}

#else

bool crc_pclmul_supported()
{
    return false;
}

size_t crc_fold_pclmul(const CrcFoldConstants*, uint32_t, const unsigned char*, size_t, unsigned char*)
{
    return 0;
}

#endif

// GCC for 64-bit Windows cannot align the stack for 64-byte registers (its bug 54412),
// so a spilled register would fault there; that build folds 16 bytes at a time only.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)

#define VPCLMUL_TARGET __attribute__((target("pclmul,avx512f,vpclmulqdq")))

bool crc_vpclmul_supported()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("avx512f") &&
           __builtin_cpu_supports("vpclmulqdq");
}

// The masked forms of broadcast and extract: GCC 12's plain ones start from an undefined
// register that -Wuninitialized reports.
VPCLMUL_TARGET static __m512i load_wide_factors(const CrcFoldConstants* constants, int distance)
{
    return _mm512_maskz_broadcast_i32x4(0xFFFF, load_factors(constants, distance));
}

VPCLMUL_TARGET static __m512i load_wide_piece(const unsigned char* bytes)
{
    return _mm512_loadu_si512(bytes);
}

// Four pieces side by side, each moved by the same distance; the sum of both products and
// the piece they land on is one three-way exclusive or (truth table 0x96).
VPCLMUL_TARGET static __m512i fold_wide_onto(__m512i pieces, __m512i factors, __m512i onto)
{
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(pieces, factors, 0x00),
                                     _mm512_clmulepi64_epi128(pieces, factors, 0x11), onto, 0x96);
}

// Sixteen pieces in flight; the register goes into the first piece's low word.
VPCLMUL_TARGET size_t crc_fold_vpclmul(const CrcFoldConstants* constants, uint32_t crc, const unsigned char* bytes,
                                       size_t length, unsigned char folded[16])
{
    const __m512i start = _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc)));
    __m512i p0 = _mm512_xor_si512(load_wide_piece(bytes), start);
    __m512i p1 = load_wide_piece(bytes + 64);
    __m512i p2 = load_wide_piece(bytes + 128);
    __m512i p3 = load_wide_piece(bytes + 192);
    size_t done = 256;
    const __m512i by2048 = load_wide_factors(constants, FOLD_2048);
    for (; length - done >= 256; done += 256) {
        p0 = fold_wide_onto(p0, by2048, load_wide_piece(bytes + done));
        p1 = fold_wide_onto(p1, by2048, load_wide_piece(bytes + done + 64));
        p2 = fold_wide_onto(p2, by2048, load_wide_piece(bytes + done + 128));
        p3 = fold_wide_onto(p3, by2048, load_wide_piece(bytes + done + 192));
    }
    __m512i wide = fold_wide_onto(p2, load_wide_factors(constants, FOLD_512), p3);
    wide = fold_wide_onto(p1, load_wide_factors(constants, FOLD_1024), wide);
    wide = fold_wide_onto(p0, load_wide_factors(constants, FOLD_1536), wide);
    const __m128i lane0 = _mm512_maskz_extracti32x4_epi32(0xF, wide, 0);
    const __m128i lane1 = _mm512_maskz_extracti32x4_epi32(0xF, wide, 1);
    const __m128i lane2 = _mm512_maskz_extracti32x4_epi32(0xF, wide, 2);
    const __m128i lane3 = _mm512_maskz_extracti32x4_epi32(0xF, wide, 3);
    return fold_last_pieces(constants, fold_four_into_one(constants, lane0, lane1, lane2, lane3), bytes, length, done,
                            folded);
}

#else

bool crc_vpclmul_supported()
{
    return false;
}

size_t crc_fold_vpclmul(const CrcFoldConstants*, uint32_t, const unsigned char*, size_t, unsigned char*)
{
    return 0;
}

#endif

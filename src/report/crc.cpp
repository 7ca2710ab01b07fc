// CRC16 and CRC32 engines: byte tables of the reflected polynomials, sliced for speed,
// and carry-less multiplication for long buffers where the processor has it.
#include "report/crc.h"

#include <bit>
#include <cstring>

#include "report/crc_clmul.h"

// Row 0 of an engine's tables is the byte table; row k holds the effect of a byte that
// is followed by k more bytes, so a block of BLOCK_SIZE bytes needs BLOCK_SIZE
// independent look-ups instead of a chain of them.
const int BLOCK_SIZE = 16;
const size_t WORD_SIZE = sizeof(uint32_t);

// The CRC16 entries are kept in 32-bit words so that one update serves both engines.
// Zero-filled tables are exactly the tables of polynomial 0, which is why the
// remembered polynomials may start at 0 before any build.
static uint32_t crc16_tables[BLOCK_SIZE][256];
static uint32_t crc32_tables[BLOCK_SIZE][256];
static uint32_t crc16_table_polynomial = 0;
static uint32_t crc32_table_polynomial = 0;
// Built with the tables, so that both engines always compute the same polynomial.
static CrcFoldConstants crc16_fold_constants;
static CrcFoldConstants crc32_fold_constants;
static int engine_in_use = -1;

static void build_byte_table(uint32_t* table, uint32_t polynomial)
{
    for (uint32_t index = 0; index < 256; index++) {
        uint32_t c = index;
        for (int step = 0; step < 8; step++)
            c = (c & 1) ? (c >> 1) ^ polynomial : c >> 1;
        table[index] = c;
    }
}

static void build_tables(uint32_t (*tables)[256], uint32_t polynomial)
{
    build_byte_table(tables[0], polynomial);
    for (int row = 1; row < BLOCK_SIZE; row++)
        for (int index = 0; index < 256; index++) {
            const uint32_t previous = tables[row - 1][index];
            tables[row][index] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
}

static uint32_t update_bytes(const uint32_t (*tables)[256], uint32_t crc, const unsigned char* bytes,
                             size_t length)
{
    for (size_t i = 0; i < length; i++)
        crc = (crc >> 8) ^ tables[0][(crc ^ bytes[i]) & 0xFF];
    return crc;
}

// Only called on little-endian hosts, where the first byte of a word is its low byte.
static uint32_t load_word(const unsigned char* bytes)
{
    uint32_t word;
    memcpy(&word, bytes, sizeof word);
    return word;
}

// The register is folded into the first four bytes of each block; every byte then
// indexes the row of the number of bytes that follow it in the block.
static uint32_t update_blocks(const uint32_t (*t)[256], uint32_t crc, const unsigned char* bytes, size_t count)
{
    for (; count > 0; count--, bytes += BLOCK_SIZE) {
        const uint32_t w0 = load_word(bytes) ^ crc;
        const uint32_t w1 = load_word(bytes + 4);
        const uint32_t w2 = load_word(bytes + 8);
        const uint32_t w3 = load_word(bytes + 12);
        // Only the first word waits for the register: the other twelve look-ups are
        // combined on their own so that they overlap the previous block.
        const uint32_t later = t[11][w1 & 0xFF] ^ t[10][(w1 >> 8) & 0xFF] ^ t[9][(w1 >> 16) & 0xFF] ^ t[8][w1 >> 24] ^
                               t[7][w2 & 0xFF] ^ t[6][(w2 >> 8) & 0xFF] ^ t[5][(w2 >> 16) & 0xFF] ^ t[4][w2 >> 24] ^
                               t[3][w3 & 0xFF] ^ t[2][(w3 >> 8) & 0xFF] ^ t[1][(w3 >> 16) & 0xFF] ^ t[0][w3 >> 24];
        crc = later ^ (t[15][w0 & 0xFF] ^ t[14][(w0 >> 8) & 0xFF]) ^ (t[13][(w0 >> 16) & 0xFF] ^ t[12][w0 >> 24]);
    }
    return crc;
}

// The same value as update_bytes over the whole buffer. The blocks read whole words, so
// they are used only on little-endian hosts and start on a word boundary.
static uint32_t update(const uint32_t (*tables)[256], uint32_t crc, const void* buffer, size_t length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
    if constexpr (std::endian::native != std::endian::little) {
        return update_bytes(tables, crc, bytes, length);
    } else {
        size_t head = (WORD_SIZE - reinterpret_cast<uintptr_t>(bytes) % WORD_SIZE) % WORD_SIZE;
        if (head > length)
            head = length;
        crc = update_bytes(tables, crc, bytes, head);
        const size_t blocks = (length - head) / BLOCK_SIZE;
        crc = update_blocks(tables, crc, bytes + head, blocks);
        const size_t done = head + blocks * BLOCK_SIZE;
        return update_bytes(tables, crc, bytes + done, length - done);
    }
}

// The folds leave 16 bytes whose CRC from register 0 is one block of the tables; the
// bytes after the last whole piece go through the tables too.
static uint32_t update_by(int engine, const uint32_t (*tables)[256], const CrcFoldConstants* constants, uint32_t crc,
                          const void* buffer, size_t length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
    unsigned char folded[16];
    size_t done = 0;
    if (engine == CRC_ENGINE_VPCLMUL && length >= VPCLMUL_MINIMUM)
        done = crc_fold_vpclmul(constants, crc, bytes, length, folded);
    else if (engine != CRC_ENGINE_TABLE && length >= PCLMUL_MINIMUM)
        done = crc_fold_pclmul(constants, crc, bytes, length, folded);
    if (done > 0)
        crc = update_blocks(tables, 0, folded, 1);
    return update(tables, crc, bytes + done, length - done);
}

int crc_best_engine()
{
    if (crc_vpclmul_supported())
        return CRC_ENGINE_VPCLMUL;
    if (crc_pclmul_supported())
        return CRC_ENGINE_PCLMUL;
    return CRC_ENGINE_TABLE;
}

static int chosen_engine()
{
    if (engine_in_use < 0)
        engine_in_use = crc_best_engine();
    return engine_in_use;
}

void crc16_build_table(uint16_t polynomial)
{
    if (polynomial == crc16_table_polynomial)
        return;
    build_tables(crc16_tables, polynomial);
    crc_derive_fold_constants(&crc16_fold_constants, polynomial, 16);
    crc16_table_polynomial = polynomial;
}

void crc32_build_table(uint32_t polynomial)
{
    if (polynomial == crc32_table_polynomial)
        return;
    build_tables(crc32_tables, polynomial);
    crc_derive_fold_constants(&crc32_fold_constants, polynomial, 32);
    crc32_table_polynomial = polynomial;
}

uint16_t crc16_update_by(int engine, uint16_t crc_register, const void* buffer, size_t length)
{
    return static_cast<uint16_t>(update_by(engine, crc16_tables, &crc16_fold_constants, crc_register, buffer, length));
}

uint32_t crc32_update_by(int engine, uint32_t crc_register, const void* buffer, size_t length)
{
    return update_by(engine, crc32_tables, &crc32_fold_constants, crc_register, buffer, length);
}

uint16_t crc16_update(uint16_t crc_register, const void* buffer, size_t length)
{
    return crc16_update_by(chosen_engine(), crc_register, buffer, length);
}

uint32_t crc32_update(uint32_t crc_register, const void* buffer, size_t length)
{
    return crc32_update_by(chosen_engine(), crc_register, buffer, length);
}

uint16_t crc16_arc(int flags, uint16_t* crc_register, const void* buffer, size_t length)
{
    if (flags & CRC_BUILD_TABLE)
        crc16_build_table(CRC16_POLYNOMIAL);
    if (flags & CRC_RESET)
        *crc_register = CRC16_RESET_VALUE;
    *crc_register = crc16_update(*crc_register, buffer, length);
    return *crc_register;
}

uint32_t crc32_compute(int flags, uint32_t* crc_register, const void* buffer, size_t length)
{
    if (flags & CRC_BUILD_TABLE)
        crc32_build_table(CRC32_POLYNOMIAL);
    if (flags & CRC_RESET)
        *crc_register = CRC32_RESET_VALUE;
    *crc_register = crc32_update(*crc_register, buffer, length);
    if (flags & CRC_FINAL)
        *crc_register = ~*crc_register;
    return *crc_register;
}

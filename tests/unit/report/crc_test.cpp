// The CRC engines against published check values and a byte-at-a-time reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "report/crc.h"

static const char CHECK_TEXT[] = "123456789";
static const int ALL_STEPS = CRC_BUILD_TABLE | CRC_RESET | CRC_FINAL;

// One bit per step, straight from the definition of a reflected CRC, with no tables.
static uint32_t reference_crc(uint32_t polynomial, uint32_t crc, const unsigned char* bytes, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc & 1) ? (crc >> 1) ^ polynomial : crc >> 1;
    }
    return crc;
}

static std::vector<unsigned char> random_bytes(std::mt19937& random, size_t length)
{
    std::vector<unsigned char> bytes(length);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(random());
    return bytes;
}

TEST(CrcCheckValues, standard_engines_give_the_published_check_values)
{
    uint16_t crc16 = 0x5555;
    EXPECT_EQ(crc16_arc(ALL_STEPS, &crc16, CHECK_TEXT, 9), 0xBB3D);
    EXPECT_EQ(crc16, 0xBB3D);
    uint32_t crc32 = 0x55555555;
    EXPECT_EQ(crc32_compute(ALL_STEPS, &crc32, CHECK_TEXT, 9), 0xCBF43926u);
    EXPECT_EQ(crc32, 0xCBF43926u);
    const char fox[] = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(crc32_compute(ALL_STEPS, &crc32, fox, strlen(fox)), 0x414FA339u);
}

// CRC-16/KERMIT and CRC-32C: a table kept from the last build must never survive a
// build with another polynomial.
TEST(CrcCheckValues, other_polynomials_build_their_own_tables_and_the_engines_restore_theirs)
{
    crc16_build_table(0x8408);
    EXPECT_EQ(crc16_update(0, CHECK_TEXT, 9), 0x2189);
    crc32_build_table(0x82F63B78);
    EXPECT_EQ(~crc32_update(0xFFFFFFFF, CHECK_TEXT, 9), 0xE3069283u);
    uint16_t crc16 = 0;
    EXPECT_EQ(crc16_arc(CRC_BUILD_TABLE | CRC_RESET, &crc16, CHECK_TEXT, 9), 0xBB3D);
    uint32_t crc32 = 0;
    EXPECT_EQ(crc32_compute(ALL_STEPS, &crc32, CHECK_TEXT, 9), 0xCBF43926u);
}

namespace {

struct PolynomialCase {
    int width;
    uint32_t polynomial;
};

void PrintTo(const PolynomialCase& c, std::ostream* out)
{
    *out << "CRC" << c.width << " polynomial 0x" << std::hex << c.polynomial << std::dec;
}

class CrcEngine : public testing::TestWithParam<std::tuple<int, PolynomialCase>> {};

}  // namespace

// The register after the bytes, fed to one engine in random pieces (empty ones too).
static uint32_t by_engine_in_pieces(std::mt19937& random, int engine, int width, uint32_t crc,
                                    const unsigned char* bytes, size_t length)
{
    size_t done = 0;
    do {
        const size_t piece = std::min<size_t>(random() % (length / 2 + 2), length - done);
        crc = width == 16 ? crc16_update_by(engine, static_cast<uint16_t>(crc), bytes + done, piece)
                          : crc32_update_by(engine, crc, bytes + done, piece);
        done += piece;
    } while (done < length);
    return crc;
}

// Every length up to past the widest fold's first block, lengths around the block sizes of
// every engine (16, 64, 256 bytes) and of the listing's reads, and random lengths; every
// start of the data within a 64-byte line, random start values and random splits.
TEST_P(CrcEngine, equals_the_bit_reference_for_every_length_alignment_start_value_and_split)
{
    const int engine = std::get<0>(GetParam());
    const PolynomialCase c = std::get<1>(GetParam());
    if (engine > crc_best_engine())
        GTEST_SKIP() << "this processor lacks the instructions of engine " << engine;
    if (c.width == 16)
        crc16_build_table(static_cast<uint16_t>(c.polynomial));
    else
        crc32_build_table(c.polynomial);
    std::mt19937 random(c.polynomial + engine);
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 300; length++)
        lengths.push_back(length);
    for (size_t block : {512, 1024, 2048, 4096, 65536})
        lengths.insert(lengths.end(), {block - 17, block - 16, block - 1, block, block + 1, block + 15, block + 16});
    for (int i = 0; i < 40; i++)
        lengths.push_back(random() % 10000);
    alignas(64) static unsigned char line[65536 + 16 + 64];
    for (size_t length : lengths) {
        const std::vector<unsigned char> data = random_bytes(random, length);
        const uint32_t start = static_cast<uint32_t>(random()) & (c.width == 16 ? 0xFFFFu : 0xFFFFFFFFu);
        const uint32_t expected = reference_crc(c.polynomial, start, data.data(), length);
        for (size_t offset = 0; offset < 64; offset++) {
            std::copy(data.begin(), data.end(), line + offset);
            const unsigned char* bytes = line + offset;
            const uint32_t whole = c.width == 16 ? crc16_update_by(engine, static_cast<uint16_t>(start), bytes, length)
                                                 : crc32_update_by(engine, start, bytes, length);
            ASSERT_EQ(whole, expected) << "length " << length << " offset " << offset << " start " << start;
            ASSERT_EQ(by_engine_in_pieces(random, engine, c.width, start, bytes, length), expected)
                << "in pieces: length " << length << " offset " << offset << " start " << start;
        }
    }
}

static std::string engine_case_name(const testing::TestParamInfo<CrcEngine::ParamType>& info)
{
    static const char* const engine_names[] = {"table", "pclmul", "vpclmul"};
    const PolynomialCase c = std::get<1>(info.param);
    char name[40];
    snprintf(name, sizeof name, "%s_crc%d_%x", engine_names[std::get<0>(info.param)], c.width, c.polynomial);
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    EnginesAndPolynomials, CrcEngine,
    testing::Combine(testing::Values(CRC_ENGINE_TABLE, CRC_ENGINE_PCLMUL, CRC_ENGINE_VPCLMUL),
                     testing::Values(PolynomialCase{16, 0xA001}, PolynomialCase{16, 0x8408}, PolynomialCase{16, 0},
                                     PolynomialCase{32, 0xEDB88320}, PolynomialCase{32, 0x82F63B78},
                                     PolynomialCase{32, 0})),
    engine_case_name);

// Feeds random pieces to one engine with the flags the listing passes: first_flags with
// the first piece, the final step with the last; returns the register.
static uint32_t in_pieces(std::mt19937& random, int width, const std::vector<unsigned char>& data, int first_flags,
                          uint32_t start)
{
    uint32_t crc32 = start;
    uint16_t crc16 = static_cast<uint16_t>(start);
    int flags = first_flags;
    size_t done = 0;
    do {
        const size_t piece = std::min<size_t>(random() % 300, data.size() - done);
        if (done + piece == data.size())
            flags |= CRC_FINAL;
        if (width == 16)
            crc16_arc(flags, &crc16, data.data() + done, piece);
        else
            crc32_compute(flags, &crc32, data.data() + done, piece);
        flags = 0;
        done += piece;
    } while (done < data.size());
    return width == 16 ? crc16 : crc32;
}

// Length 0 with reset and final gives 0 for both; the complement comes with the final step only.
TEST(CrcEngineCalls, pieces_give_the_value_of_one_call_over_the_whole_buffer)
{
    std::mt19937 random(4242);
    for (size_t length : {0, 1, 15, 16, 17, 300, 1000, 5000}) {
        const std::vector<unsigned char> data = random_bytes(random, length);
        const uint32_t expected32 = ~reference_crc(CRC32_POLYNOMIAL, 0xFFFFFFFF, data.data(), length);
        const uint32_t expected16 = reference_crc(CRC16_POLYNOMIAL, 0, data.data(), length);
        for (int cut = 0; cut < 20; cut++) {
            EXPECT_EQ(in_pieces(random, 32, data, CRC_BUILD_TABLE | CRC_RESET, 0x12345678), expected32) << length;
            EXPECT_EQ(in_pieces(random, 16, data, CRC_BUILD_TABLE | CRC_RESET, 0x1234), expected16) << length;
        }
    }
}

// A start value is the register before the first byte: no reset, and CRC16 has no final step.
TEST(CrcEngineCalls, start_values_replace_the_reset_and_are_fed_in_pieces_alike)
{
    std::mt19937 random(77);
    for (size_t length : {0, 2000}) {
        const std::vector<unsigned char> data = random_bytes(random, length);
        for (uint32_t start : {0u, 1u, 0x1234u, 0xFFFFu, 0xFFFFFFFFu, 0xDEADBEEFu}) {
            const uint32_t expected32 = ~reference_crc(CRC32_POLYNOMIAL, start, data.data(), length);
            EXPECT_EQ(in_pieces(random, 32, data, CRC_BUILD_TABLE, start), expected32) << start;
            const uint32_t expected16 = reference_crc(CRC16_POLYNOMIAL, start & 0xFFFF, data.data(), length);
            EXPECT_EQ(in_pieces(random, 16, data, CRC_BUILD_TABLE, start), expected16) << start;
        }
    }
}

// The CRC engines against published check values and a byte-at-a-time reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
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

class CrcFastPath : public testing::TestWithParam<PolynomialCase> {};

}  // namespace

// Every length (zero too) up to a few blocks past the alignment step, then lengths around
// the listing's read size, so that head, blocks and tail all take each of their sizes.
TEST_P(CrcFastPath, equals_the_reference_for_every_length_alignment_and_start_value)
{
    const PolynomialCase c = GetParam();
    if (c.width == 16)
        crc16_build_table(static_cast<uint16_t>(c.polynomial));
    else
        crc32_build_table(c.polynomial);
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 80; length++)
        lengths.push_back(length);
    lengths.insert(lengths.end(), {127, 128, 129, 255, 256, 1000, 4095, 4096, 4097, 65535, 65536, 65537});
    std::mt19937 random(c.polynomial);
    const std::vector<unsigned char> data = random_bytes(random, 65537 + 16);
    for (size_t length : lengths) {
        for (size_t offset = 0; offset < 16; offset += (length > 4096 ? 5 : 1)) {
            const uint32_t start = static_cast<uint32_t>(random()) & (c.width == 16 ? 0xFFFFu : 0xFFFFFFFFu);
            const unsigned char* bytes = data.data() + offset;
            const uint32_t fast = c.width == 16 ? crc16_update(static_cast<uint16_t>(start), bytes, length)
                                                : crc32_update(start, bytes, length);
            ASSERT_EQ(fast, reference_crc(c.polynomial, start, bytes, length))
                << "length " << length << " offset " << offset << " start " << start;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Polynomials, CrcFastPath,
                         testing::Values(PolynomialCase{16, 0xA001}, PolynomialCase{16, 0x8408},
                                         PolynomialCase{16, 0}, PolynomialCase{32, 0xEDB88320},
                                         PolynomialCase{32, 0x82F63B78}, PolynomialCase{32, 0}));

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

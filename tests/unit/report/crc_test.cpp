// The CRC engines against a bitwise model, and the calls the listing makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "report/crc.h"

// One bit per step, straight from the definition of a reflected CRC, with no tables.
static uint32_t bitwise_crc(uint32_t polynomial, uint32_t crc, const unsigned char* bytes, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc & 1) ? (crc >> 1) ^ polynomial : crc >> 1;
    }
    return crc;
}

namespace {

class CrcEngine : public testing::TestWithParam<int> {};

}  // namespace

// Random lengths (short ones often: the folds start at 64 and 256 bytes and leave tails),
// random alignments within a 64-byte line, start values and splits into pieces.
TEST_P(CrcEngine, agrees_with_the_bitwise_model)
{
    const int engine = GetParam();
    if (engine > crc_best_engine())
        GTEST_SKIP() << "this processor lacks the carry-less multiplication engine " << engine << " needs";
    crc16_build_table(CRC16_POLYNOMIAL);
    crc32_build_table(CRC32_POLYNOMIAL);
    std::mt19937 random(1234 + engine);
    alignas(64) static unsigned char line[9000 + 64];
    for (int round = 0; round < 3000; round++) {
        const size_t length = random() % (round % 2 ? 600 : 9000);
        unsigned char* bytes = line + random() % 64;
        for (size_t i = 0; i < length; i++)
            bytes[i] = static_cast<unsigned char>(random());
        const uint32_t start = static_cast<uint32_t>(random());
        uint32_t crc32 = start;
        uint16_t crc16 = static_cast<uint16_t>(start);
        size_t done = 0;
        do {
            const size_t piece = std::min<size_t>(random() % 2 ? length : random() % 700, length - done);
            crc32 = crc32_update_by(engine, crc32, bytes + done, piece);
            crc16 = crc16_update_by(engine, crc16, bytes + done, piece);
            done += piece;
        } while (done < length);
        ASSERT_EQ(crc32, bitwise_crc(CRC32_POLYNOMIAL, start, bytes, length))
            << "length " << length << " at " << bytes - line;
        ASSERT_EQ(crc16, bitwise_crc(CRC16_POLYNOMIAL, start & 0xFFFF, bytes, length))
            << "length " << length << " at " << bytes - line;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, CrcEngine, testing::Values(CRC_ENGINE_TABLE, CRC_ENGINE_PCLMUL, CRC_ENGINE_VPCLMUL));

// The polynomials themselves: the published check values of CRC-16/ARC and CRC-32.
TEST(CrcCalls, give_the_published_check_values)
{
    uint16_t crc16 = 0x5555;
    uint32_t crc32 = 0x55555555;
    EXPECT_EQ(crc16_arc(CRC_BUILD_TABLE | CRC_RESET, &crc16, "123456789", 9), 0xBB3D);
    EXPECT_EQ(crc32_compute(CRC_BUILD_TABLE | CRC_RESET | CRC_FINAL, &crc32, "123456789", 9), 0xCBF43926u);
}

// As the listing reads a file: the first piece resets (or keeps a given start value), the
// last one completes; CRC16 has no final complement.
TEST(CrcCalls, pieces_with_a_reset_or_a_start_value_give_the_whole_buffers_value)
{
    std::mt19937 random(77);
    for (size_t length : {0, 1, 17, 300, 5000}) {
        std::vector<unsigned char> data(length);
        for (unsigned char& byte : data)
            byte = static_cast<unsigned char>(random());
        for (int reset = 0; reset <= 1; reset++) {
            const uint32_t start = static_cast<uint32_t>(random());
            uint32_t crc32 = start;
            uint16_t crc16 = static_cast<uint16_t>(start);
            int flags = CRC_BUILD_TABLE | (reset ? CRC_RESET : 0);
            size_t done = 0;
            do {
                const size_t piece = std::min<size_t>(random() % 300, length - done);
                if (done + piece == length)
                    flags |= CRC_FINAL;
                crc32_compute(flags, &crc32, data.data() + done, piece);
                crc16_arc(flags, &crc16, data.data() + done, piece);
                flags = 0;
                done += piece;
            } while (done < length);
            const uint32_t start32 = reset ? CRC32_RESET_VALUE : start;
            const uint16_t start16 = reset ? CRC16_RESET_VALUE : static_cast<uint16_t>(start);
            EXPECT_EQ(crc32, ~bitwise_crc(CRC32_POLYNOMIAL, start32, data.data(), length)) << length;
            EXPECT_EQ(crc16, bitwise_crc(CRC16_POLYNOMIAL, start16, data.data(), length)) << length;
        }
    }
}

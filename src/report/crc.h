// CRC16 and CRC32 engines: reflected checksums fed one buffer at a time.
#pragma once

#include <cstddef>
#include <cstdint>

// Flags of an engine call, combinable.
const int CRC_BUILD_TABLE = 1;
const int CRC_RESET = 2;
const int CRC_FINAL = 4;

const uint16_t CRC16_POLYNOMIAL = 0xA001;
const uint32_t CRC32_POLYNOMIAL = 0xEDB88320;
const uint16_t CRC16_RESET_VALUE = 0x0000;
const uint32_t CRC32_RESET_VALUE = 0xFFFFFFFF;

// Fill the engine's process-wide tables from a reflected polynomial. Nothing is done
// when the tables already hold that polynomial, so a build per file costs nothing.
void crc16_build_table(uint16_t polynomial);
void crc32_build_table(uint32_t polynomial);

// The register after the bytes of the buffer, with the tables as last built, by the
// fastest engine of the processor, chosen at the first update.
uint16_t crc16_update(uint16_t crc_register, const void* buffer, size_t length);
uint32_t crc32_update(uint32_t crc_register, const void* buffer, size_t length);

// The engines, each faster than the one before: byte tables, and folding 64 or 256 bytes
// at a time by carry-less multiplication (with the tables for short buffers and tails).
// A processor runs every engine up to its best; they all give the same registers.
const int CRC_ENGINE_TABLE = 0;
const int CRC_ENGINE_PCLMUL = 1;
const int CRC_ENGINE_VPCLMUL = 2;

int crc_best_engine();
uint16_t crc16_update_by(int engine, uint16_t crc_register, const void* buffer, size_t length);
uint32_t crc32_update_by(int engine, uint32_t crc_register, const void* buffer, size_t length);

// CRC-16/ARC: build, reset to 0 and update as the flags say; there is no final step.
// Returns the new register, which is also stored through crc_register.
uint16_t crc16_arc(int flags, uint16_t* crc_register, const void* buffer, size_t length);

// CRC-32: build, reset to 0xFFFFFFFF, update and complement as the flags say.
// Returns the new register, which is also stored through crc_register.
uint32_t crc32_compute(int flags, uint32_t* crc_register, const void* buffer, size_t length);

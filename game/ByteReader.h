#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// Reads what ByteWriter wrote from bytes that may be anything: every read past the end, and
// every float that is not finite, fails, and once a read has failed every later one does too,
// so a reader checks ok() once after reading a whole record.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(little(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(little(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
    std::uint64_t u64() { return little(8); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    bool flag() {
        const std::uint8_t value = u8();
        good = good && value <= 1;
        return value == 1;
    }
    float f32() {
        const std::uint32_t bits = u32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        good = good && std::isfinite(value);
        return good ? value : 0.0f;
    }
    // Passes over count bytes.
    void skip(std::size_t count) {
        if (!good || size - at < count) {
            good = false;
            return;
        }
        at += count;
    }
    // Marks the record malformed (a value out of its range).
    void fail() { good = false; }

    bool ok() const { return good; }
    std::size_t offset() const { return at; }
    std::size_t remaining() const { return size - at; }

private:
    std::uint64_t little(std::size_t count) {
        if (!good || size - at < count) {
            good = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value |= static_cast<std::uint64_t>(data[at + i]) << (8 * i);
        }
        at += count;
        return value;
    }

    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool good = true;
};

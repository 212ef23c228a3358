#include "parser/block_coder.h"

#include <array>
#include <cstring>

namespace qorvi {

namespace {

constexpr std::uint16_t kNoPosition = 0xFFFF;
constexpr std::size_t kMaxOffset = 4095;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;

std::size_t hashAt(const std::uint8_t* p) {
    const unsigned h = ((((unsigned{p[0]} << 4) ^ p[1]) << 4) ^ p[2]) * 40543u;
    return ((h & 0xFFFFu) >> 4) & 0xFFFu;
}

} // namespace

void compressBlock(const std::uint8_t* input, std::size_t n, std::string& out) {
    // The hash probe reads two bytes past the position; near the end of the
    // block they come from zeroed spare bytes, which cannot change the
    // output because no match may reach past the block's end.
    std::array<std::uint8_t, kBlockSize + 16> buffer{};
    if (n > kBlockSize)
        n = kBlockSize;
    std::memcpy(buffer.data(), input, n);
    const std::uint8_t* in = buffer.data();

    std::array<std::uint16_t, 4096> hash;
    hash.fill(kNoPosition);

    // The coding may pass n by a few bytes before the loop notices.
    std::array<std::uint8_t, kBlockSize + 16> coded;
    coded[0] = kBlockCompressed;
    std::size_t controlAt = 1;
    std::size_t o = 3;
    unsigned items = 0;
    std::uint16_t control = 0;
    std::size_t p = 0;

    while (p < n && o <= n) {
        if (items > 15) {
            coded[controlAt] = static_cast<std::uint8_t>(control >> 8);
            coded[controlAt + 1] = static_cast<std::uint8_t>(control);
            controlAt = o;
            o += 2;
            items = 0;
        }
        std::size_t r = 1;
        while (p + r < n && r < kMaxRun && in[p + r] == in[p])
            ++r;
        if (r >= kMinRun) {
            coded[o++] = 0;
            coded[o++] = static_cast<std::uint8_t>((r - kMinRun) >> 8);
            coded[o++] = static_cast<std::uint8_t>((r - kMinRun) & 0xFF);
            coded[o++] = in[p];
            control = static_cast<std::uint16_t>((control << 1) | 1);
            p += r;
        } else {
            const std::size_t h = hashAt(in + p);
            const std::uint16_t c = hash[h];
            hash[h] = static_cast<std::uint16_t>(p);
            std::size_t m = 0;
            if (c != kNoPosition && p - c <= kMaxOffset) {
                while (m < kMaxMatch && p + m < n && in[p + m] == in[c + m])
                    ++m;
            }
            if (m >= kMinMatch) {
                const unsigned value =
                    static_cast<unsigned>((p - c) << 4) | static_cast<unsigned>(m - kMinMatch);
                coded[o++] = static_cast<std::uint8_t>(value >> 8);
                coded[o++] = static_cast<std::uint8_t>(value);
                control = static_cast<std::uint16_t>((control << 1) | 1);
                p += m;
            } else {
                coded[o++] = in[p];
                control = static_cast<std::uint16_t>(control << 1);
                ++p;
            }
        }
        ++items;
    }
    control = static_cast<std::uint16_t>(control << (16 - items));
    coded[controlAt] = static_cast<std::uint8_t>(control >> 8);
    coded[controlAt + 1] = static_cast<std::uint8_t>(control);

    if (n < o) {
        out.assign(1, static_cast<char>(kBlockStored));
        out.append(reinterpret_cast<const char*>(in), n);
    } else {
        out.assign(reinterpret_cast<const char*>(coded.data()), o);
    }
}

bool decompressBlock(const std::uint8_t* data, std::size_t length, std::string& out) {
    if (length < 2)
        return true;
    if (length > kMaxBlockData)
        return false;
    if (data[0] == kBlockStored) {
        out.append(reinterpret_cast<const char*>(data + 1), length - 1);
        return true;
    }
    if (length < 3)
        return false;
    const std::size_t base = out.size();
    std::size_t produced = 0;
    std::uint16_t control = static_cast<std::uint16_t>((data[1] << 8) | data[2]);
    std::size_t i = 3;
    unsigned items = 0;
    while (i < length) {
        if (items == 16) {
            if (length - i < 2)
                return false;
            control = static_cast<std::uint16_t>((data[i] << 8) | data[i + 1]);
            i += 2;
            items = 0;
            if (i == length)
                break;
        }
        const bool isCopy = (control & 0x8000) != 0;
        control = static_cast<std::uint16_t>(control << 1);
        ++items;
        if (!isCopy) {
            if (produced + 1 > kBlockSize)
                return false;
            out.push_back(static_cast<char>(data[i++]));
            ++produced;
            continue;
        }
        if (length - i < 2)
            return false;
        const std::size_t offset = (std::size_t{data[i]} << 4) | (data[i + 1] >> 4);
        if (offset == 0) {
            if (length - i < 4)
                return false;
            const std::size_t count = (std::size_t{data[i + 1]} << 8) + data[i + 2] + kMinRun;
            if (produced + count > kBlockSize)
                return false;
            out.append(count, static_cast<char>(data[i + 3]));
            produced += count;
            i += 4;
            continue;
        }
        const std::size_t count = (data[i + 1] & 15u) + kMinMatch;
        if (offset > produced || produced + count > kBlockSize)
            return false;
        // One byte at a time from the output: a copy may overlap what it produces.
        std::size_t from = base + produced - offset;
        for (std::size_t k = 0; k < count; ++k)
            out.push_back(out[from + k]);
        produced += count;
        i += 2;
    }
    return true;
}

} // namespace qorvi

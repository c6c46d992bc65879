#pragma once

#include "boxsim/Shaft.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace boxsim {

// One field of the data block an SSI encoder clocks out, most significant bit first.
struct SsiField {
    enum class Kind {
        Position, // multiTurnBits + singleTurnBits: whole turns, then the angle within the turn
        Velocity, // signed, bits wide; 2^(bits-1) counts are fullScale turns/s
        Raw,      // a constant, e.g. status bits
    };
    Kind kind = Kind::Position;
    int bits = 25;
    int multiTurnBits = 12;
    int singleTurnBits = 13;
    double fullScale = 100.0; // turns/s, Velocity only
    uint32_t value = 0;       // Raw only
};

// What the simulated SSI encoder sends. Gray coding, when on, applies to every field.
struct SsiLayout {
    std::vector<SsiField> fields = defaultFields();
    bool gray = false;

    // A 12 + 13 bit multi-turn position, then a signed 16-bit velocity (2^15 = 100 turns/s).
    static std::vector<SsiField> defaultFields();
};

// Reads comma-separated fields "pos:MT:ST", "vel:BITS:FULLSCALE", "raw:BITS:VALUE"; at most
// 256 bits in all, every field at most 32 bits.
std::optional<std::vector<SsiField>> parseSsiFields(std::string_view text);

// The bits of one SSI transfer, in the order they arrive on the data line. Bits after the end
// of the data block read 0: the data line stays low when the box clocks further.
class SsiBits {
public:
    static constexpr int kMaxBits = 256;

    void append(uint32_t value, int bits);
    // `bits` (0 ... 32) bits from bit position `first`, the first of them the most significant.
    uint32_t read(int first, int bits) const;
    int size() const { return size_; }

private:
    std::array<uint64_t, kMaxBits / 64> words_{};
    int size_ = 0;
};

// The data block the encoder sends with the shaft in `state`.
SsiBits encodeSsi(const SsiLayout& layout, const ShaftState& state);

// How the box cuts a data block into words, as configured by the host.
struct SsiWordSettings {
    int words = 0;             // words in use, 0 ... 8; later words read 0
    std::array<int, 8> bits{}; // bits of each word, 0 ... 32
    bool gray = false;         // decode Gray code
    uint32_t signMask = 0;     // bit k: word k is two's complement
    uint32_t zeroWordMask = 0; // bit k: word k is zeroed by the zero actions
};

// The eight words of a data block: sliced in order, Gray-decoded when asked, sign-extended.
std::array<int32_t, 8> sliceSsiWords(const SsiBits& bits, const SsiWordSettings& settings);

// A word minus a zero offset, kept within the word's width (and sign-extended when signed),
// the way the box's word counter wraps.
int32_t offsetSsiWord(int32_t value, int32_t offset, int bits, bool isSigned);

uint32_t grayEncode(uint32_t value);
uint32_t grayDecode(uint32_t code);

} // namespace boxsim

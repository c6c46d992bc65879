#include "boxsim/SsiEncoder.h"

#include "boxsim/TextFields.h"

#include <cmath>

namespace boxsim {

namespace {

uint32_t lowBits(uint64_t value, int bits) {
    return bits >= 32 ? static_cast<uint32_t>(value)
                      : static_cast<uint32_t>(value & ((uint64_t{1} << bits) - 1));
}

int32_t signExtend(uint32_t value, int bits) {
    if (bits <= 0 || bits >= 32) {
        return static_cast<int32_t>(value);
    }
    const uint32_t signBit = uint32_t{1} << (bits - 1);
    return static_cast<int32_t>((value ^ signBit) - signBit);
}

uint32_t fieldValue(const SsiField& field, const ShaftState& state) {
    switch (field.kind) {
    case SsiField::Kind::Position: {
        const double counts = std::floor(state.turns * std::ldexp(1.0, field.singleTurnBits));
        return lowBits(static_cast<uint64_t>(static_cast<int64_t>(counts)), field.bits);
    }
    case SsiField::Kind::Velocity: {
        const double limit = std::ldexp(1.0, field.bits - 1);
        double counts = std::round(state.turnsPerSecond / field.fullScale * limit);
        counts = std::fmax(-limit, std::fmin(limit - 1.0, counts));
        return lowBits(static_cast<uint64_t>(static_cast<int64_t>(counts)), field.bits);
    }
    case SsiField::Kind::Raw:
        return lowBits(field.value, field.bits);
    }
    return 0;
}

std::optional<SsiField> parseField(std::string_view text) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    if (parts.size() != 3) {
        return std::nullopt;
    }
    const std::optional<int64_t> first = parseInteger(parts[1]);
    if (!first) {
        return std::nullopt;
    }
    SsiField field;
    if (parts[0] == "pos") {
        const std::optional<int64_t> singleTurn = parseInteger(parts[2]);
        if (!singleTurn || *first < 0 || *singleTurn < 1 || *first + *singleTurn > 32) {
            return std::nullopt;
        }
        field.kind = SsiField::Kind::Position;
        field.multiTurnBits = static_cast<int>(*first);
        field.singleTurnBits = static_cast<int>(*singleTurn);
        field.bits = field.multiTurnBits + field.singleTurnBits;
        return field;
    }
    if (*first < 1 || *first > 32) {
        return std::nullopt;
    }
    field.bits = static_cast<int>(*first);
    if (parts[0] == "vel") {
        const std::optional<double> fullScale = parseReal(parts[2]);
        if (!fullScale || *fullScale <= 0.0 || field.bits < 2) {
            return std::nullopt;
        }
        field.kind = SsiField::Kind::Velocity;
        field.fullScale = *fullScale;
        return field;
    }
    if (parts[0] == "raw") {
        const std::optional<int64_t> value = parseInteger(parts[2]);
        if (!value || *value < 0 || *value > int64_t{lowBits(~uint64_t{0}, field.bits)}) {
            return std::nullopt;
        }
        field.kind = SsiField::Kind::Raw;
        field.value = static_cast<uint32_t>(*value);
        return field;
    }
    return std::nullopt;
}

} // namespace

std::vector<SsiField> SsiLayout::defaultFields() {
    SsiField position;
    SsiField velocity;
    velocity.kind = SsiField::Kind::Velocity;
    velocity.bits = 16;
    velocity.fullScale = 100.0;
    return {position, velocity};
}

std::optional<std::vector<SsiField>> parseSsiFields(std::string_view text) {
    std::vector<SsiField> fields;
    int total = 0;
    for (std::string_view part : splitText(text, ',')) {
        const std::optional<SsiField> field = parseField(part);
        if (!field) {
            return std::nullopt;
        }
        total += field->bits;
        fields.push_back(*field);
    }
    if (total > SsiBits::kMaxBits) {
        return std::nullopt;
    }
    return fields;
}

void SsiBits::append(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0 && size_ < kMaxBits; --i, ++size_) {
        if ((value >> i) & 1u) {
            words_[size_ / 64] |= uint64_t{1} << (63 - size_ % 64);
        }
    }
}

uint32_t SsiBits::read(int first, int bits) const {
    uint32_t value = 0;
    for (int position = first; position < first + bits; ++position) {
        const bool set = position >= 0 && position < size_ &&
                         ((words_[position / 64] >> (63 - position % 64)) & 1u);
        value = (value << 1) | (set ? 1u : 0u);
    }
    return value;
}

SsiBits encodeSsi(const SsiLayout& layout, const ShaftState& state) {
    SsiBits bits;
    for (const SsiField& field : layout.fields) {
        const uint32_t value = fieldValue(field, state);
        bits.append(layout.gray ? grayEncode(value) : value, field.bits);
    }
    return bits;
}

std::array<int32_t, 8> sliceSsiWords(const SsiBits& bits, const SsiWordSettings& settings) {
    std::array<int32_t, 8> words{};
    int position = 0;
    for (int k = 0; k < settings.words && k < 8; ++k) {
        const int width = settings.bits[k];
        if (width <= 0 || width > 32) {
            continue;
        }
        uint32_t value = bits.read(position, width);
        position += width;
        if (settings.gray) {
            value = grayDecode(value);
        }
        const bool isSigned = (settings.signMask >> k) & 1u;
        words[k] = isSigned ? signExtend(value, width) : static_cast<int32_t>(value);
    }
    return words;
}

int32_t offsetSsiWord(int32_t value, int32_t offset, int bits, bool isSigned) {
    if (bits <= 0) {
        return 0;
    }
    const uint32_t difference =
        lowBits(static_cast<uint32_t>(value) - static_cast<uint32_t>(offset), bits);
    return isSigned ? signExtend(difference, bits) : static_cast<int32_t>(difference);
}

uint32_t grayEncode(uint32_t value) {
    return value ^ (value >> 1);
}

uint32_t grayDecode(uint32_t code) {
    for (int shift = 1; shift < 32; shift <<= 1) {
        code ^= code >> shift;
    }
    return code;
}

} // namespace boxsim

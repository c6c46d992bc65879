#include "boxsim/BoxModel.h"

#include "boxsim/SignalSource.h"
#include "boxsim/TextFields.h"

#include <algorithm>
#include <cmath>

namespace boxsim {

namespace {

constexpr size_t kMaxLineBytes = 1024; // longer "lines" are garbage, not commands

const std::vector<int>& slotSizes(InputKind kind) {
    static const std::vector<int> sinCos{4, 4, 2, 2, 1}; // position, velocity, A, B, R
    static const std::vector<int> htl{4, 4, 1};          // position, velocity, A/B/R levels
    static const std::vector<int> ssi(8, 4);             // eight words
    static const std::vector<int> analog{2};             // voltage
    switch (kind) {
    case InputKind::SinCos:
        return sinCos;
    case InputKind::Htl:
        return htl;
    case InputKind::Ssi:
        return ssi;
    case InputKind::Analog:
        break;
    }
    return analog;
}

// Which slot of the input each bit of "IN:n:SELECT" asks for. The host walks the signals of an
// input and moves to the next bit only after the first signal of each slot, so the three level
// signals of an HTL/TTL input, which share its third slot, are asked for with bits 2 and 3.
std::vector<int> selectBitSlots(InputKind kind) {
    if (kind == InputKind::Htl) {
        return {0, 1, 2, 2};
    }
    std::vector<int> slots(slotSizes(kind).size());
    for (size_t k = 0; k < slots.size(); ++k) {
        slots[k] = static_cast<int>(k);
    }
    return slots;
}

int32_t wrapToInt32(int64_t counts) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(counts)));
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

double frameRateFor(int32_t frequencyValue, int systemFrequencyHz) {
    const double increment = static_cast<uint32_t>(frequencyValue);
    return increment * (systemFrequencyHz / 64.0) / 4294967296.0;
}

BoxModel::BoxModel(const BoxConfig& config)
    : config_(config), shaft_(config.speed), fifo_(config.fifoBytes) {
    identity_.serial = config_.serialNumber();
    faults_.plan = config_.faults;
    const std::pair<InputKind, int> groups[] = {
        {InputKind::SinCos, config_.inputs.sinCos},
        {InputKind::Htl, config_.inputs.htl},
        {InputKind::Ssi, config_.inputs.ssi},
        {InputKind::Analog, config_.inputs.analog},
    };
    int slot = 0;
    int encoder = 0;
    for (const auto& [kind, count] : groups) {
        for (int i = 0; i < count; ++i) {
            Input input;
            input.kind = kind;
            input.number = static_cast<int>(inputs_.size()) + 1;
            input.firstSlot = slot;
            input.slotCount = static_cast<int>(slotSizes(kind).size());
            if (kind == InputKind::SinCos || kind == InputKind::Htl) {
                input.periods = config_.periodsOf(encoder++);
                input.velocityUnit =
                    signals::velocityUnit(input.periods, config_.systemFrequencyHz);
            }
            const auto sinCos = config_.sinCosImperfections.find(input.number);
            if (kind == InputKind::SinCos && sinCos != config_.sinCosImperfections.end()) {
                input.sinCosTracks = signals::SinCosTracks(sinCos->second);
            }
            const auto htl = config_.htlImperfections.find(input.number);
            if (kind == InputKind::Htl && htl != config_.htlImperfections.end()) {
                input.htlTracks = signals::HtlTracks(htl->second);
            }
            slot += input.slotCount;
            inputs_.push_back(input);
        }
    }
}

std::string BoxModel::identification() const {
    if (faults_.plan.identification) {
        return *faults_.plan.identification;
    }
    return identity_.manufacturer + "," + identity_.product + "," + identity_.serial + ",V2.0";
}

std::string BoxModel::capabilities() const {
    return faults_.plan.emptyCapabilities
               ? std::string()
               : capabilityText(config_.inputs, config_.systemFrequencyHz);
}

std::optional<InputKind> BoxModel::inputKind(int number) const {
    if (number < 1 || number > inputCount()) {
        return std::nullopt;
    }
    return inputs_[number - 1].kind;
}

std::optional<int32_t> BoxModel::setting(const std::string& name) const {
    const auto found = settings_.find(name);
    if (found == settings_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string BoxModel::controlRequest(const std::array<uint8_t, 8>& setup) const {
    return answerControlRequest(setup, identity_);
}

std::string BoxModel::receiveCommandBytes(std::string_view bytes, double now) {
    // Frames due before the commands arrived are made with the state from before them.
    advance(now);
    std::string reply;
    for (char c : bytes) {
        if (c != '\n') {
            pendingLine_.push_back(c);
            if (pendingLine_.size() > kMaxLineBytes) {
                transcript_.push_back(pendingLine_);
                rejected_.push_back(pendingLine_);
                if (observer_) {
                    observer_(pendingLine_, false);
                }
                pendingLine_.clear();
            }
            continue;
        }
        const std::string line = std::move(pendingLine_);
        pendingLine_.clear();
        if (trimmed(line).empty()) {
            continue;
        }
        transcript_.push_back(line);
        const bool understood = handleLine(line, now, reply);
        if (!understood) {
            rejected_.push_back(line);
        }
        if (observer_) {
            observer_(line, understood);
        }
    }
    return faults_.plan.mute ? std::string() : reply;
}

bool BoxModel::handleLine(const std::string& line, double now, std::string& reply) {
    const std::string_view text = trimmed(line);
    const size_t blank = text.find_first_of(" \t");
    const std::string_view name = text.substr(0, blank);
    if (blank == std::string_view::npos) {
        if (name == "*IDN?") {
            reply += identification() + "\n";
            return true;
        }
        if (name == "KELLMAR:CAP?") {
            reply += capabilities() + "\n";
            return true;
        }
        return false;
    }
    const std::optional<int64_t> parsed = parseInteger(trimmed(text.substr(blank)));
    if (!parsed || *parsed < INT32_MIN || *parsed > INT32_MAX) {
        return false;
    }
    const auto value = static_cast<int32_t>(*parsed);
    const uint64_t allInputs = (uint64_t{1} << inputCount()) - 1;
    bool understood = false;
    if (name == "OUT:USB:FREQ") {
        rate_ = frameRateFor(value, config_.systemFrequencyHz);
        rateBaseTime_ = now;
        producedSinceBase_ = 0;
        understood = true;
    } else if (name == "TRIGGER:RUN") {
        understood = value == 0 || value == 1;
        if (value == 1) {
            startRun(now);
        } else if (value == 0) {
            stopRun(now);
        }
    } else if (name == "ACTION:MZERO" || name == "ACTION:RZERO") {
        understood = value >= 0 && static_cast<uint64_t>(value) <= allInputs;
        if (understood && name == "ACTION:MZERO") {
            zeroNow(static_cast<uint64_t>(value), now);
        } else if (understood) {
            armReferenceZero(static_cast<uint64_t>(value), now);
        }
    } else if (startsWith(name, "IN:")) {
        understood = handleInputCommand(name, value);
    }
    if (understood) {
        settings_[std::string(name)] = value;
    }
    return understood;
}

bool BoxModel::handleInputCommand(std::string_view name, int32_t value) {
    const size_t colon = name.find(':', 3);
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::optional<int64_t> number = parseInteger(name.substr(3, colon - 3));
    if (!number || *number < 1 || *number > inputCount() || name[3] == '+') {
        return false;
    }
    return handleInputSetting(inputs_[*number - 1], name.substr(colon + 1), value);
}

bool BoxModel::handleInputSetting(Input& input, std::string_view parameter, int32_t value) {
    const auto within = [value](int32_t low, int32_t high) {
        return value >= low && value <= high;
    };
    if (parameter == "SELECT") {
        if (!within(0, (1 << selectBitSlots(input.kind).size()) - 1)) {
            return false;
        }
        input.select = static_cast<uint32_t>(value);
        rebuildLayout();
        return true;
    }
    // Filters and the zero-pulse threshold shape the analog front end of the real box; the
    // simulated box has no such front end, so they are only remembered.
    switch (input.kind) {
    case InputKind::SinCos:
        if (parameter == "THRESHOLD") {
            return within(0, 255);
        }
        return (parameter == "FILTER" || parameter == "FILTERA" || parameter == "FILTERB") &&
               within(0, 7);
    case InputKind::Htl:
    case InputKind::Analog:
        return parameter == "FILTER" && within(0, 7);
    case InputKind::Ssi:
        break;
    }
    SsiWordSettings& ssi = input.ssi;
    if (parameter == "FREQUENCY" || parameter == "MONOFLOP" || parameter == "CABLELENGTH") {
        return value >= 0; // kHz, us, m: timing of the clocking, which the simulation does not need
    }
    if (parameter == "WORDS" && within(0, 8)) {
        ssi.words = value;
        return true;
    }
    if (parameter == "GRAY" && within(0, 1)) {
        ssi.gray = value == 1;
        return true;
    }
    if (parameter == "SIGN" && within(0, 255)) {
        ssi.signMask = static_cast<uint32_t>(value);
        return true;
    }
    if (parameter == "ZEROWORDS" && within(0, 255)) {
        ssi.zeroWordMask = static_cast<uint32_t>(value);
        return true;
    }
    if (parameter.size() == 9 && startsWith(parameter, "WORD") && parameter.substr(5) == "BITS" &&
        parameter[4] >= '0' && parameter[4] <= '7' && within(0, 32)) {
        ssi.bits[parameter[4] - '0'] = value;
        return true;
    }
    return false;
}

void BoxModel::rebuildLayout() {
    layout_ = FrameLayout();
    for (const Input& input : inputs_) {
        const std::vector<int>& sizes = slotSizes(input.kind);
        const std::vector<int> bitSlots = selectBitSlots(input.kind);
        for (int k = 0; k < input.slotCount; ++k) {
            bool selected = false;
            for (size_t bit = 0; bit < bitSlots.size(); ++bit) {
                selected = selected || (bitSlots[bit] == k && ((input.select >> bit) & 1u));
            }
            if (selected) {
                layout_.slots.push_back({input.firstSlot + k, input.number, k, sizes[k]});
                layout_.frameSize += sizes[k];
            }
        }
    }
}

void BoxModel::startRun(double now) {
    if (running_) {
        return;
    }
    if (config_.replayEachRun) {
        signalOrigin_ = now;
    }
    runFirstFrame_ = frameIndex_;
    running_ = true;
    runStartedAt_ = now;
    rateBaseTime_ = now;
    producedSinceBase_ = 0;
}

void BoxModel::stopRun(double now) {
    if (!running_) {
        return;
    }
    streamedBefore_ += now - runStartedAt_;
    running_ = false;
    // A stopped acquisition discards what it had not yet sent, so that a new run does not
    // begin with frames of the old one.
    fifo_.clear();
}

void BoxModel::hostDisconnected(double now) {
    advance(now);
    stopRun(now);
    pendingLine_.clear();
}

double BoxModel::streamingSeconds(double now) const {
    return streamedBefore_ + (running_ ? now - runStartedAt_ : 0.0);
}

double BoxModel::timeOfStreamingSeconds(double streamSeconds) const {
    return runStartedAt_ + (streamSeconds - streamedBefore_);
}

std::optional<double> BoxModel::nextFrameTime() const {
    if (!running_ || vanished_ || rate_ <= 0.0) {
        return std::nullopt;
    }
    return rateBaseTime_ + static_cast<double>(producedSinceBase_ + 1) / rate_;
}

void BoxModel::setPositionOffset(Input& input, const ShaftState& state) {
    switch (input.kind) {
    case InputKind::SinCos:
        input.positionOffset = signals::sinCosPositionCounts(state.turns, input.periods);
        break;
    case InputKind::Htl:
        input.positionOffset = signals::htlPositionCounts(state.turns, input.periods);
        break;
    case InputKind::Ssi: {
        const std::array<int32_t, 8> words = rawSsiWords(input, state);
        for (int k = 0; k < input.ssi.words && k < 8; ++k) {
            if ((input.ssi.zeroWordMask >> k) & 1u) {
                input.wordOffsets[k] = words[k];
            }
        }
        break;
    }
    case InputKind::Analog:
        break; // a voltage has no position
    }
}

void BoxModel::zeroNow(uint64_t mask, double now) {
    const ShaftState state = shaft_.at(now - signalOrigin_);
    for (Input& input : inputs_) {
        if ((mask >> (input.number - 1)) & 1u) {
            setPositionOffset(input, state);
        }
    }
}

void BoxModel::armReferenceZero(uint64_t mask, double now) {
    const double turn = std::floor(shaft_.at(now - signalOrigin_).turns);
    for (Input& input : inputs_) {
        if ((mask >> (input.number - 1)) & 1u) {
            input.referenceZeroArmed = true;
            input.armedTurn = turn;
        }
    }
}

void BoxModel::applyReferenceZeros(double signalSeconds) {
    const ShaftState state = shaft_.at(signalSeconds);
    const double turn = std::floor(state.turns);
    for (Input& input : inputs_) {
        if (!input.referenceZeroArmed || turn == input.armedTurn) {
            continue;
        }
        // The first mark passed after arming: the next whole turn forwards, or the start of
        // the armed turn when the shaft went backwards.
        const double mark = turn > input.armedTurn ? input.armedTurn + 1.0 : input.armedTurn;
        setPositionOffset(input, {mark, state.turnsPerSecond});
        input.referenceZeroArmed = false;
    }
}

std::array<int32_t, 8> BoxModel::rawSsiWords(const Input& input, const ShaftState& state) const {
    return sliceSsiWords(encodeSsi(config_.ssi, state), input.ssi);
}

std::array<int32_t, 8> BoxModel::valuesAt(const Input& input, double signalSeconds,
                                          const ShaftState& state, double previousTurns) const {
    std::array<int32_t, 8> values{};
    const double p = input.periods;
    switch (input.kind) {
    case InputKind::SinCos: {
        values[0] =
            wrapToInt32(signals::sinCosPositionCounts(state.turns, p) - input.positionOffset);
        values[1] = signals::velocityCounts(state.turnsPerSecond, input.velocityUnit);
        const NoisePair noise = input.sinCosTracks.noiseRms > 0.0
                                    ? gaussianNoise(input.number, signalSeconds)
                                    : NoisePair();
        const signals::AnalogPair analog =
            signals::analogAB(state.turns, p, input.sinCosTracks, noise);
        values[2] = analog.a;
        values[3] = analog.b;
        values[4] = signals::referencePulse(state.turns, previousTurns, p) ? signals::kBitR : 0;
        break;
    }
    case InputKind::Htl:
        values[0] = wrapToInt32(signals::htlPositionCounts(state.turns, p) - input.positionOffset);
        values[1] = signals::velocityCounts(state.turnsPerSecond, input.velocityUnit);
        values[2] = signals::htlLevels(state.turns, previousTurns, p, input.htlTracks) ^
                    (config_.htlReferenceActiveLow ? signals::kBitR : 0);
        break;
    case InputKind::Ssi: {
        const std::array<int32_t, 8> words = rawSsiWords(input, state);
        for (int k = 0; k < input.ssi.words && k < 8; ++k) {
            values[k] = offsetSsiWord(words[k], input.wordOffsets[k], input.ssi.bits[k],
                                      (input.ssi.signMask >> k) & 1u);
        }
        break;
    }
    case InputKind::Analog:
        values[0] = signals::analogInput(config_.analog, signalSeconds);
        break;
    }
    return values;
}

std::vector<int32_t> BoxModel::slotValues(int number, double seconds) const {
    if (number < 1 || number > inputCount()) {
        return {};
    }
    const Input& input = inputs_[number - 1];
    const double signalSeconds = seconds - signalOrigin_;
    const ShaftState state = shaft_.at(signalSeconds);
    const double previous =
        rate_ > 0.0 ? shaft_.at(signalSeconds - 1.0 / rate_).turns : state.turns;
    const std::array<int32_t, 8> values = valuesAt(input, signalSeconds, state, previous);
    return std::vector<int32_t>(values.begin(), values.begin() + input.slotCount);
}

void BoxModel::buildFrame(double signalSeconds, uint64_t frameIndex) {
    frame_.assign(static_cast<size_t>(layout_.frameSize), '\0');
    frame_[0] = static_cast<char>(kFrameMarker);
    frame_[1] = static_cast<char>(frameIndex & 0xFF);
    frame_[2] = static_cast<char>((frameIndex >> 8) & 0xFF);
    const ShaftState state = shaft_.at(signalSeconds);
    const double previous = shaft_.at(signalSeconds - 1.0 / rate_).turns;
    int valuesOf = 0; // input whose values are in `values`
    std::array<int32_t, 8> values{};
    size_t offset = FrameLayout::kHeaderBytes;
    for (const FrameLayout::Slot& slot : layout_.slots) {
        if (slot.input != valuesOf) {
            values = valuesAt(inputs_[slot.input - 1], signalSeconds, state, previous);
            valuesOf = slot.input;
        }
        const auto raw = static_cast<uint32_t>(values[slot.index]);
        for (int byte = 0; byte < slot.size; ++byte) {
            frame_[offset++] = static_cast<char>((raw >> (8 * byte)) & 0xFF);
        }
    }
}

void BoxModel::advance(double now) {
    if (!running_ || vanished_) {
        return;
    }
    double horizon = now;
    const double streamNow = streamingSeconds(now);
    if (faults_.vanishes(streamNow)) {
        horizon = timeOfStreamingSeconds(*faults_.plan.vanishAfterSeconds);
        vanished_ = true;
    }
    if (const std::optional<double> held = faults_.holdBack(streamNow)) {
        horizon = std::fmin(horizon, timeOfStreamingSeconds(*held));
    }
    const bool zeroArmed = std::any_of(inputs_.begin(), inputs_.end(),
                                       [](const Input& input) { return input.referenceZeroArmed; });
    const double elapsedFrames = (horizon - rateBaseTime_) * rate_;
    const uint64_t due = elapsedFrames > 0.0 ? static_cast<uint64_t>(elapsedFrames) : 0;
    while (producedSinceBase_ < due) {
        const double sinceBase = static_cast<double>(producedSinceBase_) / rate_;
        const double seconds = rateBaseTime_ + sinceBase;
        // Added to the frame's own time, not taken from its box time, so that a replayed run's
        // frame comes out the same, bit for bit, whenever the run began.
        const double signalSeconds = (rateBaseTime_ - signalOrigin_) + sinceBase;
        ++producedSinceBase_;
        const uint64_t index = frameIndex_++;
        const bool lost = config_.replayEachRun
                              ? faults_.loses(index - runFirstFrame_, signalSeconds)
                              : faults_.loses(index, streamingSeconds(seconds));
        if (lost) {
            ++lostByFaults_;
            continue;
        }
        if (fifo_.bytes() + static_cast<size_t>(layout_.frameSize) > fifo_.capacity()) {
            ++lostByOverflow_;
            continue;
        }
        if (zeroArmed) {
            applyReferenceZeros(signalSeconds);
        }
        buildFrame(signalSeconds, index);
        fifo_.push(frame_);
    }
    if (zeroArmed) {
        applyReferenceZeros(horizon - signalOrigin_);
    }
}

double BoxModel::sampleMemorySeconds() const {
    const double bytesPerSecond = rate_ * layout_.frameSize;
    return bytesPerSecond > 0.0 ? static_cast<double>(fifo_.capacity()) / bytesPerSecond : 0.0;
}

std::string BoxModel::takeFrames(size_t maxBytes) {
    return fifo_.pop(maxBytes);
}

} // namespace boxsim

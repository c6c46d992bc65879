#pragma once

#include "boxsim/BoxConfig.h"
#include "boxsim/FaultPlan.h"
#include "boxsim/FrameFifo.h"
#include "boxsim/Shaft.h"
#include "boxsim/SignalSource.h"
#include "boxsim/SsiEncoder.h"
#include "boxsim/UsbDescriptors.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace boxsim {

enum class InputKind { SinCos, Htl, Ssi, Analog };

// Frames per second for an "OUT:USB:FREQ" value: the box adds the value, read as an unsigned
// 32-bit phase increment, to a phase accumulator clocked at systemFrequency / 64 and sends a
// frame on every overflow.
double frameRateFor(int32_t frequencyValue, int systemFrequencyHz);

// Which slots the frames carry: the selected slots in ascending slot number.
struct FrameLayout {
    static constexpr int kHeaderBytes = 3; // 1 byte marker, 2 bytes frame counter

    struct Slot {
        int slot = 0;  // slot number over the whole box
        int input = 0; // input number, from 1
        int index = 0; // slot within its input, from 0
        int size = 0;  // bytes
    };
    std::vector<Slot> slots;
    int frameSize = kHeaderBytes;
};

// The simulated box without any transport: it takes command bytes and control requests,
// answers them, and produces sample frames as time goes by. Time is given by the caller in
// seconds since the box was switched on and must not run backwards; the shaft turns from time 0
// whether frames are sent or not.
class BoxModel {
public:
    // First byte of every frame; the host ignores it, it only makes dumps easier to read.
    static constexpr uint8_t kFrameMarker = 0xA5;

    explicit BoxModel(const BoxConfig& config = BoxConfig());

    const BoxConfig& config() const { return config_; }
    // The faults in force; may be changed at any time.
    FaultPlan& faults() { return faults_.plan; }

    // Bytes that arrived on the command endpoint; commands may be split over calls or share one.
    // Returns the reply bytes for the command reply endpoint (empty when nothing was queried).
    std::string receiveCommandBytes(std::string_view bytes, double now);
    // The answer to an 8-byte USB setup packet on the control endpoint.
    std::string controlRequest(const std::array<uint8_t, 8>& setup) const;
    // The host went away: streaming stops and a half-received command is forgotten. All
    // settings stay, as in a box that stays powered.
    void hostDisconnected(double now);

    // Produces the frames due up to `now` into the sample memory.
    void advance(double now);
    // Whole frames from the sample memory, up to `maxBytes` (at least one frame when any waits).
    std::string takeFrames(size_t maxBytes);
    size_t waitingBytes() const { return fifo_.bytes(); }
    // Seconds of streaming the sample memory holds at the present rate and frame size.
    double sampleMemorySeconds() const;

    // Every command line received, in order, without its line feed.
    const std::vector<std::string>& transcript() const { return transcript_; }
    // The lines the box did not understand or whose value it refused.
    const std::vector<std::string>& rejectedCommands() const { return rejected_; }
    // The last value accepted for a command name, e.g. "IN:3:WORD0BITS".
    std::optional<int32_t> setting(const std::string& name) const;
    // Called for every received line, with whether the box understood it.
    using CommandObserver = std::function<void(const std::string& line, bool understood)>;
    void setCommandObserver(CommandObserver observer) { observer_ = std::move(observer); }

    std::string identification() const;
    std::string capabilities() const;

    int inputCount() const { return static_cast<int>(inputs_.size()); }
    std::optional<InputKind> inputKind(int number) const;
    const FrameLayout& layout() const { return layout_; }
    bool running() const { return running_; }
    double frameRate() const { return rate_; }
    uint64_t framesProduced() const { return frameIndex_; }
    uint64_t framesLostByFaults() const { return lostByFaults_; }
    uint64_t framesLostByOverflow() const { return lostByOverflow_; }
    // The box has been unplugged by a fault; it produces nothing more.
    bool vanished() const { return vanished_; }
    // Seconds of streaming over all runs up to `now`.
    double streamingSeconds(double now) const;
    // When the next frame is due (box time), or nothing while no frames are due.
    std::optional<double> nextFrameTime() const;

    // The raw slot values of input `number` at `seconds` of box time, zero offsets applied,
    // as the frame would carry them (wrapped to the slot size by the frame).
    std::vector<int32_t> slotValues(int number, double seconds) const;

private:
    struct Input {
        InputKind kind = InputKind::SinCos;
        int number = 1;
        int firstSlot = 0;
        int slotCount = 0;
        double periods = 1024.0;
        double velocityUnit = 1.0; // turns/s per count of the velocity counter
        signals::SinCosTracks sinCosTracks{SinCosImperfection()};
        signals::HtlTracks htlTracks{HtlImperfection()};
        uint32_t select = 0;
        SsiWordSettings ssi;
        int64_t positionOffset = 0;           // counts, SinCos and HTL/TTL
        std::array<int32_t, 8> wordOffsets{}; // SSI
        bool referenceZeroArmed = false;
        double armedTurn = 0.0; // whole turn the shaft was in when armed
    };

    bool handleLine(const std::string& line, double now, std::string& reply);
    bool handleInputCommand(std::string_view name, int32_t value);
    bool handleInputSetting(Input& input, std::string_view parameter, int32_t value);
    void startRun(double now);
    void stopRun(double now);
    void zeroNow(uint64_t mask, double now);
    void armReferenceZero(uint64_t mask, double now);
    void applyReferenceZeros(double signalSeconds);
    void setPositionOffset(Input& input, const ShaftState& state);
    void rebuildLayout();
    std::array<int32_t, 8> rawSsiWords(const Input& input, const ShaftState& state) const;
    // Times named signalSeconds count from signalOrigin_, all others are box time.
    std::array<int32_t, 8> valuesAt(const Input& input, double signalSeconds,
                                    const ShaftState& state, double previousTurns) const;
    void buildFrame(double signalSeconds, uint64_t frameIndex); // into frame_
    double timeOfStreamingSeconds(double streamSeconds) const;

    BoxConfig config_;
    Shaft shaft_;
    UsbIdentity identity_;
    FaultInjector faults_;
    FrameFifo fifo_;
    std::vector<Input> inputs_;
    FrameLayout layout_;

    std::string frame_;
    std::string pendingLine_;
    std::vector<std::string> transcript_;
    std::vector<std::string> rejected_;
    std::map<std::string, int32_t> settings_;
    CommandObserver observer_;

    double rate_ = 0.0; // frames/s
    bool running_ = false;
    bool vanished_ = false;
    double signalOrigin_ = 0.0;   // box time at which the signals' time is 0
    uint64_t runFirstFrame_ = 0;  // frameIndex_ at the start of the run
    double runStartedAt_ = 0.0;   // box time
    double streamedBefore_ = 0.0; // seconds of streaming in earlier runs
    double rateBaseTime_ = 0.0;   // box time from which frames are counted at rate_
    uint64_t producedSinceBase_ = 0;
    uint64_t frameIndex_ = 0; // frames produced over the box's life, lost ones included
    uint64_t lostByFaults_ = 0;
    uint64_t lostByOverflow_ = 0;
};

} // namespace boxsim

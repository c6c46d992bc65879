// The sample stream of a recording from the data pipe to the graphs: the reader's part-frame
// carry, the ring, the hand-over buffer and the frame decoder with its loss detection and the
// channel computation, for a box and channels chosen by the input. The graphs check that every
// chunk gives each channel exactly the values the graph advances by, all of them numbers.

#include "acquisition/FrameDecoder.h"
#include "acquisition/FrameReader.h"
#include "acquisition/FrameRing.h"
#include "acquisition/Handover.h"
#include "fuzz/Check.h"
#include "fuzz/FrameScenario.h"
#include "fuzz/ReplayPipe.h"
#include "signal/ChannelSelection.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

class CheckedGraph : public SampleTarget {
public:
    CheckedGraph(std::size_t channels, int sweepValues)
        : appended_(channels, notAppended), sweepValues_(sweepValues) {}

    void appendSamples(int channel, const double* values, int count) override {
        require(channel >= 0 && static_cast<std::size_t>(channel) < appended_.size());
        require(appended_[static_cast<std::size_t>(channel)] == notAppended);
        require(count >= 0 && count <= maxChunkValues);
        // One test over the whole chunk rather than one per value, which the compiler can
        // vectorise: up to 32767 values per channel pass here every chunk.
        bool finite = true;
        for (int i = 0; i < count; ++i)
            finite &= std::isfinite(values[i]);
        require(finite);
        appended_[static_cast<std::size_t>(channel)] = count;
    }

    bool advance(int count) override {
        require(count >= 0 && count <= maxChunkValues);
        for (int& appended : appended_) {
            require(appended == count);
            appended = notAppended;
        }
        held_ += count;
        return held_ >= sweepValues_;
    }

    void restart() { held_ = 0; }

private:
    static constexpr int notAppended = -1;
    std::vector<int> appended_; // values appended per channel in the current chunk
    int sweepValues_;
    int held_ = 0;
};

// The program keeps one reader and one decoder over all its recordings; so does this target
// over all inputs, each input being a recording of its own. Building them anew per input cost
// more than decoding it (half a megabyte of fresh pages).
struct Pipeline {
    FrameReader reader;
    FrameDecoder decoder;
};

class Recording {
public:
    Recording(const FrameScenario& scenario, Pipeline& pipeline)
        : selection_(computeChannelSelection(scenario.config)), reader_(pipeline.reader),
          ring_(scenario.ringBytes), handover_(scenario.ringBytes), decoder_(pipeline.decoder),
          lostBefore_(decoder_.lostFrames()), unfilledBefore_(decoder_.unfilledFrames()) {
        for (std::vector<ChannelRuntime>& channels : selection_.graphChannels) {
            graphs_.push_back(
                std::make_unique<CheckedGraph>(channels.size(), scenario.sweepValues));
            feeds_.push_back({graphs_.back().get(), &channels});
        }
        const InputSettings& inputs = scenario.config.inputSettings;
        decoder_.configure(selection_.frameSize, inputs.failure_add_value, inputs.rate);
        decoder_.resynchronise();
        reader_.discardCarry();
    }

    void receive(const FrameScenario::Piece& piece) {
        pipe_.add(piece.bytes.data(), piece.bytes.size());
        reader_.receive(pipe_, selection_.frameSize);
        reader_.deliver(ring_);
        require(reader_.carry() >= 0 && reader_.carry() < selection_.frameSize);
    }

    void handOver() {
        handover_.requestData();
        handover_.fill(ring_);
        const int bytes = handover_.deliveredBytes();
        require(bytes % selection_.frameSize == 0);
        const int frames = bytes / selection_.frameSize;
        if (frames > 0) {
            const DecodeResult result = decoder_.decode(handover_.bytes(), frames, feeds_);
            require(result.frames >= 1 && result.frames <= frames && result.chunks >= 1);
            const std::int64_t unfilled = decoder_.unfilledFrames() - unfilledBefore_;
            require(unfilled >= 0 && unfilled <= decoder_.lostFrames() - lostBefore_);
            decoder_.noteDroppedFrames(handover_.droppedBehind());
            if (result.full)
                for (const std::unique_ptr<CheckedGraph>& graph : graphs_)
                    graph->restart();
        }
        handover_.release();
    }

private:
    ChannelSelection selection_;
    ReplayPipe pipe_{false};
    FrameReader& reader_;
    FrameRing ring_;
    Handover handover_;
    FrameDecoder& decoder_;
    const std::int64_t lostBefore_;
    const std::int64_t unfilledBefore_;
    std::vector<std::unique_ptr<CheckedGraph>> graphs_;
    std::vector<GraphFeed> feeds_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FrameScenario scenario = readFrameScenario(data, size);
    static Pipeline pipeline;
    Recording recording(scenario, pipeline);
    for (const FrameScenario::Piece& piece : scenario.pieces) {
        recording.receive(piece);
        if (piece.tick)
            recording.handOver();
    }
    recording.handOver();
    return 0;
}

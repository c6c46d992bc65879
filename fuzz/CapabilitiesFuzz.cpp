// The reply to "KELLMAR:CAP?" as the configure sequence reads and uses it: one line from the
// command pipe of a box that may keep sending the same bytes for ever, the capabilities parsed
// from it and applied to the input settings, and everything built from those: the channel
// catalogue, the configuration commands and the channel selection of the default graph.

#include "device/Capabilities.h"
#include "device/ConfigurationCommands.h"
#include "fuzz/Check.h"
#include "fuzz/ReplayPipe.h"
#include "signal/ChannelSelection.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// No box has more than this many inputs of one kind.
constexpr int maxInputsOfAKind = 40;

bool plausibleCount(int count) {
    return count >= 0 && count <= maxInputsOfAKind;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReplayPipe pipe(true);
    pipe.add(data, size);
    const Capabilities capabilities = parseCapabilities(pipe.readLine());
    require(plausibleCount(capabilities.sineInputs) && plausibleCount(capabilities.squareInputs) &&
            plausibleCount(capabilities.ssiInputs) && plausibleCount(capabilities.analogInputs));

    Config config;
    addDefaultGraph(config);
    const bool reported = applyCapabilities(config.inputSettings, capabilities);
    const InputSettings& inputs = config.inputSettings;
    require(reported == capabilities.reportsInputs());
    if (reported)
        require(static_cast<int>(inputs.sineInputs.size()) == capabilities.sineInputs &&
                static_cast<int>(inputs.squareInputs.size()) == capabilities.squareInputs &&
                static_cast<int>(inputs.ssiInputs.size()) == capabilities.ssiInputs &&
                static_cast<int>(inputs.analogInputs.size()) == capabilities.analogInputs);

    configurationCommands(inputs);
    const ChannelSelection selection = computeChannelSelection(config);
    require(selection.frameSize >= frameHeaderSize);
    selectionCommands(selection.selectMasks);
    return 0;
}

// A configuration file as the program takes it in: loaded into the configuration, checked when
// the load succeeded (a failed load at start-up keeps what was read and gets the default graph
// appended instead), and then turned into everything the box is sent: the configuration
// commands and the channel selection. A file that loads must also survive being saved and
// loaded again unchanged, as it is at every close and start.

#include "config/ConfigFile.h"
#include "control/ConfigurationCheck.h"
#include "device/ConfigurationCommands.h"
#include "fuzz/Check.h"
#include "signal/ChannelSelection.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

std::string savedText(Config& config) {
    std::ostringstream text;
    require(saveConfig(config, text));
    return text.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    Config config;
    const bool loaded = loadConfig(config, file);
    if (loaded)
        checkConfiguration(config);
    else
        addDefaultGraph(config);

    configurationCommands(config.inputSettings);
    const ChannelSelection selection = computeChannelSelection(config);
    require(selection.frameSize >= frameHeaderSize);
    selectionCommands(selection.selectMasks);

    if (loaded) {
        const std::string saved = savedText(config);
        std::istringstream again(saved);
        Config reloaded;
        require(loadConfig(reloaded, again));
        checkConfiguration(reloaded);
        require(savedText(reloaded) == saved);
    }
    return 0;
}

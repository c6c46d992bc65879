#include "cli/Commands.h"

#include "KLib/IO/USB/Enumeration.h"
#include "config/ConfigFile.h"
#include "config/UserPaths.h"
#include "device/BoxLink.h"
#include "recording/HeadlessRecorder.h"
#include "signal/ChannelSelection.h"
#include "signal/Inputs.h"

#include <filesystem>
#include <vector>

namespace {

void printInputs(const Config& config, std::ostream& out) {
    const std::vector<std::string> names = inputNames(config.inputSettings);
    out << "Inputs:\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        out << "  " << names[i] << ":";
        const std::vector<std::string> signals =
            signalNames(config.inputSettings, static_cast<int>(i));
        for (std::size_t s = 0; s < signals.size(); ++s)
            out << (s ? ", " : " ") << signals[s];
        if (signals.empty())
            out << " no signals in use";
        out << '\n';
    }
    out << "System frequency: " << config.inputSettings.systemFrequency << " Hz\n";
}

void printLayout(const ChannelSelection& selection, std::ostream& out) {
    out << "Frame: " << selection.frameSize << " bytes (byte 0, counter at 1-2";
    for (std::size_t slot = 0; slot < selection.slotOffsets.size(); ++slot)
        if (selection.slotOffsets[slot] >= 0)
            out << ", slot " << slot << " at " << selection.slotOffsets[slot];
    out << ")\n";
    out << "Select masks:";
    for (std::size_t n = 0; n < selection.selectMasks.size(); ++n)
        out << " IN:" << n + 1 << "=" << selection.selectMasks[n];
    out << '\n';
}

} // namespace

// A script must not record with settings other than the ones its author believes in force
// without a word.
Config userConfiguration(std::ostream& err) {
    Config config;
    const std::string path = userConfigFile();
    if (loadConfig(config, path))
        return config;
    if (std::filesystem::exists(path))
        err << "The configuration file " << path << " cannot be read";
    else
        err << "There is no configuration file " << path;
    err << "; the default configuration is used.\n";
    config = Config();
    addDefaultGraph(config);
    return config;
}

int exitStatusOf(ConnectResult result) {
    switch (result) {
    case ConnectResult::Connected:
        return exitOk;
    case ConnectResult::Incompatible:
        return exitIncompatible;
    case ConnectResult::NoReply:
        return exitNoReply;
    case ConnectResult::NoBox:
    case ConnectResult::Cancelled:
        break;
    }
    return exitNoBox;
}

int runScan(std::ostream& out) {
    std::vector<std::string> paths;
    KLib::USB::enumerateDevices(paths);
    const std::vector<std::string> entries = BoxLink::describeDevices(paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::size_t comma = entries[i].find(',');
        out << paths[i] << '\t' << entries[i].substr(0, comma) << '\t'
            << entries[i].substr(comma + 1) << '\n';
    }
    return paths.empty() ? exitNoBox : exitOk;
}

int runInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    Config config = userConfiguration(err);
    HeadlessRecorder box(err);
    const ConnectResult result = box.connect(config, path);
    if (result == ConnectResult::Incompatible)
        err << "Identification: " << box.identification() << '\n';
    if (result != ConnectResult::Connected)
        return exitStatusOf(result);
    out << "Identification: " << box.identification() << '\n';
    printInputs(config, out);
    printLayout(box.selection(), out);
    return exitOk;
}

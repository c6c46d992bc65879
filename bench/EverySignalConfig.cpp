// Writes a configuration with one graph per input of the connected box, each showing every
// signal of it: the largest frames the box sends, for recording benchmarks.
//
//   every_signal_config OUT.cfg [DEVICE_PATH]

#include "config/ConfigFile.h"
#include "recording/HeadlessRecorder.h"
#include "signal/Inputs.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: every_signal_config OUT.cfg [DEVICE_PATH]\n";
        return 2;
    }
    Config config;
    HeadlessRecorder recorder(std::cerr);
    if (recorder.connect(config, argc == 3 ? argv[2] : "") != ConnectResult::Connected)
        return 3;
    config.graphList.clear();
    std::size_t channels = 0;
    for (int input = 0; input < inputCount(config.inputSettings); ++input) {
        GraphData& graph = addGraph(config);
        graph.caption = "Input" + std::to_string(input + 1);
        const std::vector<std::string> signals = signalNames(config.inputSettings, input);
        for (std::size_t signal = 0; signal < signals.size(); ++signal, ++channels) {
            ChannelData& channel = addChannel(graph);
            channel.caption = "Signal" + std::to_string(signal + 1);
            channel.input = input;
            channel.channel = static_cast<int>(signal);
        }
    }
    if (!saveConfig(config, argv[1])) {
        std::cerr << "Can't write " << argv[1] << '\n';
        return 6;
    }
    std::cout << inputCount(config.inputSettings) << " inputs, " << channels << " channels\n";
    return 0;
}

#include "ConfigFileTestSupport.h"

#include <boost/archive/basic_archive.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string withInstalledArchiveVersion(std::string text) {
    const std::string version =
        std::to_string(static_cast<unsigned>(boost::archive::BOOST_ARCHIVE_VERSION()));
    return replaced(text, "signature=\"serialization::archive\" version=\"6\"",
                    "signature=\"serialization::archive\" version=\"" + version + "\"");
}

std::string expectedFile(const std::string& name) {
    return withInstalledArchiveVersion(
        readFile(std::string(ORVA_TEST_DATA_DIR) + "/config/" + name));
}

std::string temporaryPath(const std::string& name) {
    static const std::string directory = [] {
        char pattern[] = "/tmp/orva-config-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            throw std::runtime_error("cannot create a temporary directory");
        return std::string(made);
    }();
    return directory + "/" + name;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("test text lacks: " + from);
    return text.replace(at, from.size(), to);
}

Config fullConfig() {
    Config config;
    InputSettings& inputs = config.inputSettings;
    inputs.rate = 500000;
    inputs.displayTime = 0.01f;
    inputs.logTime = 60.0f;
    inputs.lineWidth = 2;
    inputs.failure_add_value = -1.5f;
    inputs.sineInputs.push_back(SineInput{2048.0, 100, 24868, 12434, 6217});
    inputs.squareInputs.push_back(SquareInput{0.1, 194});
    SSIInput ssi;
    ssi.frequency = 1000;
    ssi.monoflopTime = 20;
    ssi.cableLength = 50;
    ssi.gray = true;
    ssi.numWords = 2;
    ssi.words[0] = SSIInputWordDetails{25, false, 0, 13, 12, 1.0, true};
    ssi.words[1] = SSIInputWordDetails{16, true, 1, 0, 0, 0.5, false};
    inputs.ssiInputs.push_back(ssi);
    inputs.analogInputs.push_back(AnalogInput{1024});
    inputs.systemFrequency = 48000000;

    GraphData& graph = addGraph(config);
    graph.caption = "Motor <1> & \"2\" 'x'";
    ChannelData& channel = addChannel(graph);
    channel.caption = "v";
    channel.input = 1;
    channel.channel = 1;
    channel.op = 3;
    channel.unit = 13;
    channel.invert = true;
    channel.offset = "-2.5";
    channel.color = 0xFF0000;
    channel.displayTextValue = false;
    graph.minValue = "-10";
    graph.maxValue = "10";
    graph.stopOnOutOfRange = true;
    graph.scale = {0.001, -25.0};
    graph.offset = {30.0, 120.25};
    graph.graphP1 = {30.0, 10.0};
    graph.graphP2 = {830.0, 230.0};
    graph.fft = true;
    graph.fftLogScale = false;
    graph.fftWindow = "Blackman-Harris";
    graph.fftNumAverages = "4";
    graph.fftSize = "16384";
    graph.fftScale = {0.5, -2.0};
    graph.fftOffset = {30.0, 400.0};
    graph.fftGraphP1 = {30.0, 250.0};
    graph.fftGraphP2 = {830.0, 450.0};
    graph.fftRegionList.push_back(FFTRegion{50.0, 10.0, -20.0});
    graph.fftRegionList.push_back(FFTRegion{0.1, 1e-5, 0.25});
    graph.lissajous = true;
    graph.lissajousNominal = "0.75";
    graph.lissajousTolerance = "12.5";
    graph.signalQuality = true;

    config.syncXAxis = false;
    config.zero = 5;
    config.intervallGraphDisplayTextValue = 100;
    config.torvenLogo = true;
    config.lockGraphs = true;
    return config;
}

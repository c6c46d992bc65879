#include "config/Config.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <locale.h>

GraphData& addGraph(Config& config) {
    return config.graphList.emplace_back();
}

ChannelData& addChannel(GraphData& graph) {
    return graph.channelList.emplace_back();
}

void addDefaultGraph(Config& config) {
    GraphData& graph = addGraph(config);
    graph.caption = "Position";
    addChannel(graph).caption = "Encoder1";
}

void resizeInputs(InputSettings& inputs, int sine, int square, int ssi, int analog) {
    inputs.sineInputs.resize(static_cast<size_t>(std::max(sine, 0)));
    inputs.squareInputs.resize(static_cast<size_t>(std::max(square, 0)));
    inputs.ssiInputs.resize(static_cast<size_t>(std::max(ssi, 0)));
    inputs.analogInputs.resize(static_cast<size_t>(std::max(analog, 0)));
}

namespace {

// The number at the start of the text and the characters it took.
double readNumber(const std::string& text, std::size_t& used) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    // Users of a decimal-comma language type "0,5" for 0.5; the text itself is kept as typed.
    std::string pointed = text;
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    char* end = nullptr;
    const double value = strtod_l(pointed.c_str(), &end, cLocale);
    used = static_cast<std::size_t>(end - pointed.c_str());
    return value;
}

} // namespace

double leadingNumber(const std::string& text) {
    std::size_t used = 0;
    return readNumber(text, used);
}

std::optional<double> wholeNumber(const std::string& text) {
    std::size_t used = 0;
    const double value = readNumber(text, used);
    if (used == 0 || text.find_first_not_of(" \t", used) != std::string::npos)
        return std::nullopt;
    return value;
}

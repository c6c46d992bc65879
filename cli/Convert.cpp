#include "cli/Convert.h"

#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "config/Config.h"
#include "files/SampleSource.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

// Rows moved at a time: 64 Ki rows of every channel.
constexpr std::size_t BlockRows = 64 * 1024;

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

} // namespace

int runConvert(const std::string& input, const std::string& output, std::ostream& err) {
    if (!isSampleStreamPath(output)) {
        err << "convert writes FILE.csv, FILE.h5 or FILE.mat, not " << output << '\n';
        return exitUsage;
    }
    if (sameFile(input, output)) {
        err << "convert needs an output file other than its input\n";
        return exitUsage;
    }
    std::string error;
    const std::unique_ptr<SampleSource> source = openSampleSource(input, error);
    if (!source) {
        err << error << '\n';
        return exitReadFailed;
    }
    Config config;
    applyLoadedData(source->layout(), config);
    const int rate = source->layout().hasRate ? source->layout().rate : 1;
    const std::unique_ptr<SampleStream> file = openSampleStream(output, config, rate, error);
    if (!file) {
        err << error << '\n';
        return exitWriteFailed;
    }
    std::size_t channels = 0;
    for (const LoadedGraph& graph : source->layout().graphs)
        channels += graph.channels.size();
    std::vector<std::vector<double>> blocks(channels, std::vector<double>(BlockRows));
    std::vector<double*> into;
    std::vector<const double*> from;
    for (std::vector<double>& block : blocks) {
        into.push_back(block.data());
        from.push_back(block.data());
    }
    const bool terminal = isatty(STDERR_FILENO) != 0;
    bool written = true;
    while (written) {
        const std::size_t rows = source->read(BlockRows, into);
        if (rows == 0)
            break;
        written = file->append(from, rows);
        if (terminal) {
            char line[64];
            std::snprintf(line, sizeof line, "\r%.0f %% converted   ", 100.0 * source->progress());
            err << line << std::flush;
        }
    }
    if (terminal)
        err << '\n';
    TerminalProgress progress(err);
    file->reportProgressTo(terminal ? &progress : nullptr);
    written = file->close(source->losses()) && written;
    if (!source->error().empty()) {
        err << source->error() << '\n';
        return exitReadFailed;
    }
    if (!written) {
        err << file->error() << '\n';
        return exitWriteFailed;
    }
    if (!file->notice().empty())
        err << file->notice() << '\n';
    return exitOk;
}

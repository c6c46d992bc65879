#include "cli/Record.h"

#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "config/ConfigFile.h"
#include "recording/FileRecording.h"
#include "recording/HeadlessRecorder.h"
#include "signal/SampleRates.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Ctrl-C and SIGTERM end the recording like its time running out, for as long as it exists.
class StopOnSignals {
public:
    StopOnSignals() {
        stopRequested = 0;
        struct sigaction action {};
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
        // A file grown past the size limit fails its write like a full disk instead of ending
        // the program, so that the recording ends with a message and a readable file.
        std::signal(SIGXFSZ, SIG_IGN);
    }
    ~StopOnSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

struct Options {
    double seconds = 0.0;
    std::string output;
    std::string config;
    int rate = 0;
    std::string path;
};

bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::ostream& err) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--seconds" && hasValue) {
            char* end = nullptr;
            options.seconds = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(options.seconds > 0.0)) {
                err << "--seconds needs a positive number of seconds\n";
                return false;
            }
        } else if (option == "--output" && hasValue) {
            options.output = arguments[++i];
        } else if (option == "--config" && hasValue) {
            options.config = arguments[++i];
        } else if (option == "--rate" && hasValue) {
            options.rate = std::atoi(arguments[++i].c_str());
            const std::vector<int>& rates = sampleRates();
            if (std::find(rates.begin(), rates.end(), options.rate) == rates.end()) {
                err << "The box does not run at " << arguments[i] << " samples/s; its rates are";
                for (const int rate : rates)
                    err << ' ' << rate;
                err << ".\n";
                return false;
            }
        } else if (option.rfind("--", 0) != 0 && options.path.empty()) {
            options.path = option;
        } else {
            err << "unknown or incomplete option " << option << " (see orva-cli --help)\n";
            return false;
        }
    }
    if (!(options.seconds > 0.0) || options.output.empty()) {
        err << "record needs --seconds S and --output FILE (see orva-cli --help)\n";
        return false;
    }
    if (!isSampleStreamPath(options.output)) {
        err << "record writes FILE.csv, FILE.h5 or FILE.mat, not " << options.output << '\n';
        return false;
    }
    return true;
}

double freeGigabytes(const std::string& file) {
    const std::filesystem::path directory = std::filesystem::absolute(file).parent_path();
    struct statvfs disk {};
    if (statvfs(directory.c_str(), &disk) != 0)
        return 0.0;
    return static_cast<double>(disk.f_bavail) * static_cast<double>(disk.f_frsize) / 1e9;
}

// The progress line, written over itself on a terminal.
void showProgress(std::ostream& err, double seconds, const HeadlessRecorder& recorder,
                  const SampleStream& file, const std::string& output) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "\r%.1f s, %lld frames, %.1f MB written, %lld frames lost, %.1f GB free   ",
                  seconds, static_cast<long long>(recorder.decoder().receivedFrames()),
                  static_cast<double>(file.bytesWritten()) / 1e6,
                  static_cast<long long>(recorder.decoder().lostFrames()), freeGigabytes(output));
    err << line << std::flush;
}

} // namespace

int runRecord(const std::vector<std::string>& arguments, std::ostream& err) {
    Options options;
    if (!parseOptions(arguments, options, err))
        return exitUsage;
    // From here on Ctrl-C ends the recording (or prevents it) and still leaves a valid file.
    const StopOnSignals stopOnSignals;
    Config config;
    if (options.config.empty()) {
        config = userConfiguration(err);
    } else if (!loadConfig(config, options.config)) {
        err << "The configuration file " << options.config << " cannot be read.\n";
        return exitUsage;
    }
    if (options.rate > 0)
        config.inputSettings.rate = options.rate;

    HeadlessRecorder recorder(err);
    const int connected = exitStatusOf(recorder.connect(config, options.path));
    if (connected != exitOk)
        return connected;
    std::string error;
    const std::unique_ptr<FileRecording> recording = FileRecording::open(
        options.output, config, config.inputSettings.rate, StreamedGraphs::unlimited, error);
    if (!recording) {
        err << error << '\n';
        return exitWriteFailed;
    }
    const SampleStream& file = recording->file();
    const bool terminal = isatty(STDERR_FILENO) != 0;
    recorder.start(recording->targets());

    // The window's data tick: each one moves what arrived into the file.
    const auto started = std::chrono::steady_clock::now();
    const auto planned = std::chrono::duration<double>(options.seconds);
    bool boxLost = false;
    bool writeFailed = false;
    double elapsed = 0.0; // s
    while (!stopRequested && elapsed < planned.count() && !boxLost && !writeFailed) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        boxLost = !recorder.tick();
        writeFailed = !recording->tick();
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (terminal)
            showProgress(err, elapsed, recorder, file, options.output);
    }
    recorder.stop();
    if (terminal)
        err << '\n';
    TerminalProgress progress(err);
    writeFailed = !recording->finish(terminal ? &progress : nullptr);
    if (boxLost)
        err << "Connection to ORVA Box lost!\n";
    if (writeFailed)
        err << file.error() << '\n';
    if (writeFailed)
        return exitWriteFailed;
    if (!file.notice().empty())
        err << file.notice() << '\n';
    if (boxLost)
        return exitBoxLost;
    return recorder.decoder().lostFrames() > 0 ? exitFramesLost : exitOk;
}

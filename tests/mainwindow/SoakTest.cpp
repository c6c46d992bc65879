// A long recording at the highest rate with every signal of the box on screen, for the soak
// script: it runs only when ORVA_SOAK_SECONDS is set and reports lost frames, resident memory
// and the user-interface thread's share of time as it goes.

#include "WindowFixture.h"
#include "app/Ids.h"
#include "signal/Inputs.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace {

using namespace std::chrono;

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// VmRSS of this process in MB.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string name;
    double kibibytes = 0.0;
    while (status >> name) {
        if (name == "VmRSS:" && status >> kibibytes)
            return kibibytes / 1024.0;
        status.ignore(1 << 10, '\n');
    }
    return 0.0;
}

// CPU time the hypervisor gave to others while this machine wanted it, in s since boot; long
// stalls of the whole machine show here rather than in the program.
double stolenSeconds() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    double fields[8] = {};
    stat >> cpu;
    for (double& field : fields)
        stat >> field;
    return fields[7] / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// One graph per input of the connected box, each showing every signal of it; with
// ORVA_SOAK_DIAGNOSTICS set, every SinCos graph also has its Lissajous view and signal-quality
// table.
void showEverySignal(Config& config, int rate) {
    const bool diagnostics = std::getenv("ORVA_SOAK_DIAGNOSTICS") != nullptr;
    config.inputSettings.rate = rate;
    config.inputSettings.displayTime = 1.0f;
    config.graphList.clear();
    for (int input = 0; input < inputCount(config.inputSettings); ++input) {
        GraphData& graph = addGraph(config);
        graph.caption = "Input " + std::to_string(input + 1);
        const std::vector<std::string> signals = signalNames(config.inputSettings, input);
        for (std::size_t signal = 0; signal < signals.size(); ++signal) {
            ChannelData& channel = addChannel(graph);
            channel.caption = signals[signal];
            channel.input = input;
            channel.channel = static_cast<int>(signal);
        }
        const bool sinCos = inputKindName(config.inputSettings, input) == "SinCos";
        graph.lissajous = graph.signalQuality = diagnostics && sinCos;
        graph.lissajousInput = input;
    }
}

using Soak = WindowFixture;

TEST_F(Soak, RecordsAtTheHighestRateWithEverySignal) {
    const char* secondsText = std::getenv("ORVA_SOAK_SECONDS");
    if (!secondsText)
        GTEST_SKIP() << "set ORVA_SOAK_SECONDS (scripts/soak does)";
    const auto total = seconds(std::atoi(secondsText));
    const char* reportText = std::getenv("ORVA_SOAK_REPORT_SECONDS");
    const auto every = seconds(reportText ? std::atoi(reportText) : 30);
    const int rate = 500000;

    openWindow();
    ASSERT_TRUE(frame_->controller().isConnected()) << "no box";
    showEverySignal(frame_->controller().config(), rate);
    frame_->controller().link().configure(frame_->controller().config());
    frame_->controller().rebuildGraphs("");
    click(frame_, ID_START);
    const int frameSize = frame_->controller().frameSize();
    std::cout
        << "frame " << frameSize << " bytes, " << rate
        << " frames/s = " << frameSize * static_cast<double>(rate) / 1e6 << " MB/s\n"
        << "elapsed_s frames_per_s lost_frames of_them_dropped_by_ring rss_mb ui_thread_share "
           "stolen_s status"
        << std::endl;

    const auto start = steady_clock::now();
    double cpuBefore = threadCpuSeconds();
    double stolenBefore = stolenSeconds();
    auto wallBefore = start;
    std::int64_t framesBefore = frame_->controller().frameCounts().received;
    std::vector<std::string> otherStatuses;
    // With ORVA_SOAK_RESIZE set, the window changes its size every ten seconds and repaints
    // every graph at once: the layout and the whole-panel paint must not cost frames.
    const bool resize = std::getenv("ORVA_SOAK_RESIZE") != nullptr;
    auto resized = start;
    bool large = true;
    while (steady_clock::now() - start < total) {
        pumpUntil(
            [&] {
                if (status() != "Recording...")
                    otherStatuses.push_back(status());
                if (resize && steady_clock::now() - resized >= seconds(10)) {
                    resized = steady_clock::now();
                    large = !large;
                    frame_->SetSize(large ? wxSize(1280, 900) : wxSize(1000, 700));
                    frame_->Refresh();
                    frame_->Update();
                }
                return false;
            },
            duration_cast<milliseconds>(every));
        const auto wall = steady_clock::now();
        const double cpu = threadCpuSeconds();
        const std::int64_t frames = frame_->controller().frameCounts().received;
        const double interval = duration<double>(wall - wallBefore).count(); // s
        std::cout << duration_cast<seconds>(wall - start).count() << ' '
                  << static_cast<double>(frames - framesBefore) / interval << ' '
                  << frame_->controller().frameCounts().lost << ' '
                  << frame_->controller().ringDroppedFrames() << ' ' << residentMegabytes() << ' '
                  << (cpu - cpuBefore) / interval << ' ' << stolenSeconds() - stolenBefore << ' '
                  << '"' << status() << '"' << std::endl;
        cpuBefore = cpu;
        stolenBefore = stolenSeconds();
        framesBefore = frames;
        wallBefore = wall;
    }
    click(frame_, ID_STOP);
    EXPECT_EQ(frame_->controller().frameCounts().lost, 0);
    EXPECT_TRUE(otherStatuses.empty()) << otherStatuses.front();
}

} // namespace

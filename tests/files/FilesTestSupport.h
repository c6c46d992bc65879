#pragma once

#include "SciPyDump.h"

// Fakes and helpers shared by the data file tests: graphs with fixed samples, a recording user
// interface, a temporary folder and SciPy's view of a MAT file.

#include "files/DataFileUI.h"
#include "files/GraphSamples.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace FilesTest {

struct FakeGraph {
    double dt = 0.001; // s
    int highWater = 0; // samples held
    // Samples copySamples can deliver; fewer than highWater models a stopped sweep.
    int fresh = 0;
    std::vector<std::vector<double>> channels;
};

// Graphs whose samples are given by the test.
class FakeGraphs : public GraphSamples {
public:
    std::vector<FakeGraph> graphs;

    // A graph holding all its samples.
    FakeGraphs& add(double dt, std::vector<std::vector<double>> channels) {
        const int count = channels.empty() ? 0 : static_cast<int>(channels[0].size());
        graphs.push_back({dt, count, count, std::move(channels)});
        return *this;
    }
    GraphTiming timing(int graph) const override {
        if (graph >= static_cast<int>(graphs.size()))
            return {};
        return {graphs[graph].dt, graphs[graph].highWater};
    }
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override {
        const FakeGraph& g = graphs[graph];
        // Like a real graph, a channel the instrument does not have delivers nothing.
        if (channel < 0 || static_cast<std::size_t>(channel) >= g.channels.size())
            return 0;
        const int n = std::max(0, std::min(count, g.fresh - from));
        std::copy_n(g.channels[channel].begin() + from, n, destination);
        return n;
    }
};

// Records every effect; answers the overwrite question with `answer`.
class RecordingUI : public DataFileUI {
public:
    bool answer = true;
    std::vector<std::string> statuses;
    std::vector<std::string> messages; // text + " | " + caption
    std::vector<std::string> questions;
    std::vector<std::string> savedConfigs;
    std::vector<std::string> progressTitles; // one per task shown
    std::vector<double> progress;            // every fraction reported
    int progressEnds = 0;

    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void showMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(text + " | " + caption);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(text + " | " + caption);
        return answer;
    }
    void showProgress(const std::string& title, double fraction) override {
        if (progressTitles.empty() || progressTitles.back() != title)
            progressTitles.push_back(title);
        progress.push_back(fraction);
    }
    void endProgress() override { ++progressEnds; }
    bool saveConfigFile(const std::string& path) override {
        savedConfigs.push_back(path);
        std::ofstream(path) << "<config/>";
        statuses.push_back("Configuration saved successfully");
        return true;
    }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "files-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string path() const { return path_; }

private:
    std::string path_;
};

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// The names of the entries of a folder, sorted.
inline std::vector<std::string> fileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The output of tests/data/mat/dump_mat.py (SciPy's loadmat) followed by its exit status.
} // namespace FilesTest

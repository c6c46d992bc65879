// The Save Data and Load Data commands of the main window.

#include "control/MainController.h"

#include "files/DataFileWriter.h"
#include "files/MatDataReader.h"
#include "files/PathPieces.h"

#include <unistd.h>

void MainController::writeDataFile(const std::string& path) {
    ::writeDataFile(path, config_, graphs_, *this);
}

void MainController::loadDataFile(const std::string& path) {
    if (readDataFile(path))
        return;
    rebuildGraphs("");
    graphs_.refresh();
    ui_.showMessage("Can't read file " + path);
}

// With a configuration file beside the data file its graphs are kept and filled; without one,
// or with one that cannot be read, the graphs are built from the data file.
bool MainController::readDataFile(const std::string& path) {
    stopRecording();
    const PathPieces pieces = splitPath(path);
    const std::string sidePath = sideConfigPath(path);
    Config side;
    const bool keep = ::access(sidePath.c_str(), F_OK) == 0 && readConfigFile(sidePath, side);
    if (keep) {
        // Graph windows the machine cannot hold are not built; the caller rebuilds the graphs
        // of the configuration in force.
        if (!windowsFit(side))
            return false;
        replaceConfiguration(std::move(side), pieces.fileName);
    } else {
        Config emptied = config_;
        emptied.graphList.clear();
        replaceConfiguration(std::move(emptied), pieces.fileName);
    }
    if (pieces.extension != "mat")
        return false;
    ui_.showStatus("Reading MATLAB file...");
    LoadedData data;
    if (!readMatDataFile(path, data, &ui_))
        return false;
    if (!keep) {
        // The windows take the loaded samples over, so they need as much memory again.
        Config loaded = config_;
        applyLoadedData(data, loaded);
        if (!windowsFit(loaded))
            return false;
        replaceConfiguration(std::move(loaded), pieces.fileName);
    }
    graphs_.rebuildAll();
    graphs_.setTriggerIndex(data.triggerIndex);
    const std::vector<SampleTarget*> targets = graphs_.targets();
    for (std::size_t g = 0; g < data.graphs.size() && g < targets.size(); ++g) {
        const std::vector<LoadedChannel>& channels = data.graphs[g].channels;
        // A recording's table of losses marks its substitutes in every graph.
        for (const FrameLoss& loss : data.losses)
            if (loss.atSample < static_cast<std::uint64_t>(data.maxLen))
                targets[g]->framesLost(static_cast<int>(loss.atSample), loss.frames,
                                       loss.substitutes);
        for (std::size_t c = 0; c < channels.size(); ++c)
            targets[g]->appendSamples(static_cast<int>(c), channels[c].values.data(),
                                      static_cast<int>(channels[c].values.size()));
        targets[g]->advance(data.maxLen);
    }
    graphs_.updateDiagnostics(true);
    if (!keep) {
        graphs_.autoScaleAll();
        graphs_.refresh();
        graphs_.fitAll();
    }
    graphs_.refresh();
    ui_.showStatus("Ready");
    return true;
}

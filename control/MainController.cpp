#include "control/MainController.h"

#include "config/ConfigFile.h"
#include "control/ConfigurationCheck.h"
#include "graph/WindowMemory.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Creates the directory of a file path, one level at a time, like `mkdir -p`.
void createParentDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0777);
}

} // namespace

MainController::MainController(MainUI& ui, GraphBoard& graphs, std::string configPath)
    : ui_(ui), graphs_(graphs), configPath_(std::move(configPath)),
      acquisition_([this] { ui_.postDataArrival(); }), link_(*this) {}

MainController::~MainController() {
    link_.disconnect();
}

bool MainController::startUp() {
    if (!loadConfigFile(configPath_)) {
        keepUnreadableConfiguration();
        // Whatever a broken file gave before it broke off is dropped: the program starts from
        // the defaults, as it says.
        config_ = Config{};
        addDefaultGraph(config_);
        ui_.showStatus("Default configuration loaded.");
    } else if (!windowsFit(builtWindowBytes(), 0)) {
        config_.inputSettings.displayTime = Config{}.inputSettings.displayTime;
        ui_.showMessage("The graphs of the stored configuration need more memory than this "
                        "computer has available. The display time is set to 1 s.");
    }
    rebuildGraphs("");
    const bool usable = link_.connect(config_) != ConnectResult::Incompatible;
    resetPositionUnwrap();
    return usable;
}

void MainController::close(int zeroMask) {
    config_.zero = zeroMask;
    createParentDirectories(configPath_);
    saveConfigFile(configPath_);
}

void MainController::keepUnreadableConfiguration() {
    std::error_code error;
    if (!std::filesystem::exists(configPath_, error))
        return;
    // Closing saves the configuration over this file; the user's own file is kept beside it.
    const std::string kept = configPath_ + ".bad";
    std::filesystem::copy_file(configPath_, kept, std::filesystem::copy_options::overwrite_existing,
                               error);
    ui_.showMessage("The configuration file " + configPath_ +
                    " could not be read. The default configuration is used" +
                    (error ? std::string(".") : "; the file was kept as " + kept + "."));
}

bool MainController::loadConfigFile(const std::string& path) {
    ui_.showStatus("Loading configuration...");
    if (!loadConfig(config_, path)) {
        // A file that cannot be opened changes nothing and says nothing more.
        if (::access(path.c_str(), R_OK) == 0)
            ui_.showStatus("Cannot load configuration");
        return false;
    }
    checkConfiguration(config_);
    if (settings_)
        settings_->loadFromConfig(config_.inputSettings);
    ui_.showStatus("Configuration loaded successfully");
    return true;
}

void MainController::loadConfiguration(const std::string& path) {
    const Config previous = config_;
    const std::uint64_t built = builtWindowBytes();
    if (!loadConfigFile(path)) {
        // A file that breaks off may already have replaced the graph list the window still
        // draws from; the configuration in force stays, whole.
        config_ = previous;
        if (settings_)
            settings_->loadFromConfig(config_.inputSettings);
        ui_.showStatus("Failed to load configuration!");
        return;
    }
    if (!windowsFit(builtWindowBytes(), built)) {
        config_ = previous;
        if (settings_)
            settings_->loadFromConfig(config_.inputSettings);
        return;
    }
    link_.configure(config_);
    rebuildGraphs("");
    graphs_.refresh();
    ui_.showStatus("Configuration loaded");
}

bool MainController::saveConfigFile(const std::string& path) {
    if (!saveConfig(config_, path)) {
        ui_.showStatus("Cannot save configuration");
        return false;
    }
    ui_.showStatus("Configuration saved successfully");
    return true;
}

void MainController::rebuildGraphs(const std::string& fileName) {
    ui_.setTitle(fileName.empty() ? std::string(baseTitle)
                                  : std::string(baseTitle) + " - " + fileName);
    graphs_.recreate(config_);
    ui_.showGraphOptions(config_.syncXAxis, config_.lockGraphs);
}

bool MainController::connectBox() {
    return link_.connect(config_) != ConnectResult::Incompatible;
}

void MainController::selectionSent(const ChannelSelection& selection) {
    selection_ = selection;
    acquisition_.setFrameSize(selection_.frameSize);
}

void MainController::resetPositionUnwrap() {
    for (std::vector<ChannelRuntime>& channels : selection_.graphChannels)
        for (ChannelRuntime& channel : channels)
            channel.resetUnwrap();
}

void MainController::manualZero(int zeroMask) {
    if (!link_.isConnected()) {
        ui_.showStatus("Not connected to ORVA Box!");
        return;
    }
    link_.sendZero("ACTION:MZERO", zeroMask);
    resetPositionUnwrap();
    ui_.showStatus("Manual zero performed");
}

void MainController::referenceZero(int zeroMask) {
    if (!link_.isConnected()) {
        ui_.showStatus("Not connected to ORVA Box!");
        return;
    }
    link_.sendZero("ACTION:RZERO", zeroMask);
}

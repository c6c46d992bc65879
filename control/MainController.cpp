#include "control/MainController.h"

#include "config/ConfigFile.h"
#include "control/ConfigurationCheck.h"
#include "control/FileLog.h"
#include "control/TriggerGate.h"

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
    // The watcher's threads call into the user interface; they end first.
    watcher_.reset();
    link_.disconnect();
}

bool MainController::startUp() {
    Config loaded;
    if (!readConfigFile(configPath_, loaded)) {
        keepUnreadableConfiguration();
        // Whatever a broken file gave before it broke off is dropped: the program starts from
        // the defaults, as it says.
        loaded = Config{};
        addDefaultGraph(loaded);
        ui_.showStatus("Default configuration loaded.");
    } else if (!windowsFit(loaded)) {
        loaded.inputSettings.displayTime = Config{}.inputSettings.displayTime;
        ui_.showMessage("The graphs of the stored configuration need more memory than this "
                        "computer has available. The display time is set to 1 s.");
    }
    replaceConfiguration(std::move(loaded), "");
    // Watching begins before the connection, so that no box arriving meanwhile goes unseen.
    watcher_ = std::make_unique<KLib::USB::BoxWatcher>(
        KLib::USB::BoxEvents{[this] { ui_.postBoxArrival(); },
                             [this](const std::string& path) { ui_.postBoxLeft(path); }});
    const bool usable = link_.connect(config_) != ConnectResult::Incompatible;
    resetPositionUnwrap();
    return usable;
}

void MainController::close(int zeroMask) {
    // A log into a file is completed, not cut off.
    if (fileLog_)
        stopRecording();
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

bool MainController::readConfigFile(const std::string& path, Config& loaded) {
    ui_.showStatus("Loading configuration...");
    if (!loadConfig(loaded, path)) {
        // A file that cannot be opened changes nothing and says nothing more.
        if (::access(path.c_str(), R_OK) == 0)
            ui_.showStatus("Cannot load configuration");
        return false;
    }
    checkConfiguration(loaded);
    ui_.showStatus("Configuration loaded successfully");
    return true;
}

void MainController::replaceConfiguration(Config&& next, const std::string& fileName) {
    // Stopping a log recording rebuilds the graphs and puts the display time back: both belong
    // to the configuration in force, not to the one replacing it.
    if (mode_ != Idle)
        stopRecording();
    config_ = std::move(next);
    // The instruments drew from the records just replaced; they are made again before anything
    // else can reach them.
    rebuildGraphs(fileName);
    if (settings_)
        settings_->loadFromConfig(config_.inputSettings);
}

bool MainController::loadConfigFile(const std::string& path) {
    Config loaded;
    if (!readConfigFile(path, loaded))
        return false;
    replaceConfiguration(std::move(loaded), "");
    return true;
}

void MainController::loadConfiguration(const std::string& path) {
    Config loaded;
    // A file that breaks off leaves the configuration in force whole.
    if (!readConfigFile(path, loaded)) {
        ui_.showStatus("Failed to load configuration!");
        return;
    }
    if (!windowsFit(loaded))
        return;
    replaceConfiguration(std::move(loaded), "");
    link_.configure(config_);
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
    // A box serves one host at a time and is not found while this program holds it: the
    // connection in use is closed before the box is looked for.
    if (mode_ != Idle)
        stopRecording();
    link_.disconnect();
    return link_.connect(config_) != ConnectResult::Incompatible;
}

void MainController::boxArrived() {
    if (!link_.isConnected())
        ui_.showStatus("ORVA Box found. Use Options > Connect to connect to it.");
}

void MainController::boxLeft(const std::string& path) {
    if (mode_ != Idle || !link_.isConnected() || path != link_.devicePath())
        return;
    link_.disconnect();
    ui_.showStatus("Connection to ORVA Box lost!");
}

void MainController::selectionSent(const ChannelSelection& selection) {
    selection_ = selection;
    acquisition_.setFrameSize(selection_.frameSize);
}

void MainController::resetPositionUnwrap() {
    acquisition_.decoding().resetPositionUnwrap();
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

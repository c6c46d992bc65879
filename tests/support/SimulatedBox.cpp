#include "SimulatedBox.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

boxsim::BoxConfig boxWithInputs(const std::string& inputs) {
    boxsim::BoxConfig config;
    config.inputs = *boxsim::parseInputCounts(inputs);
    return config;
}

SimulatedBox::SimulatedBox(const boxsim::BoxConfig& config) : model_(config) {
    char pattern[] = "/tmp/orva-link-XXXXXX";
    runtime_ = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    serve();
}

SimulatedBox::SimulatedBox(const boxsim::BoxConfig& config, const SimulatedBox& first)
    : runtime_(first.runtime_), ownsRuntime_(false), model_(config) {
    serve();
}

void SimulatedBox::serve() {
    server_ = std::make_unique<boxsim::BoxServer>(model_, runtime_ + "/orva-boxes");
    std::string error;
    if (!server_->open(error))
        throw std::runtime_error("simulated box: " + error);
    thread_ = std::thread([this] { server_->run(); });
}

SimulatedBox::~SimulatedBox() {
    stop();
    if (!ownsRuntime_)
        return;
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime_);
}

void SimulatedBox::stop() {
    if (!thread_.joinable())
        return;
    server_->requestStop();
    thread_.join();
    server_->close();
}

#pragma once

#include "boxsim/BoxModel.h"
#include "boxsim/BoxServer.h"

#include <memory>
#include <string>
#include <thread>

// A simulated box served in this process from a private runtime directory, found by the
// program's enumeration like a plugged-in box. The model may be inspected after stop().
class SimulatedBox {
public:
    explicit SimulatedBox(const boxsim::BoxConfig& config);
    // A further box served beside `first`, in its directory; its name must differ.
    SimulatedBox(const boxsim::BoxConfig& config, const SimulatedBox& first);
    ~SimulatedBox();

    void stop();
    boxsim::BoxModel& model() { return model_; }
    std::string path() const { return "sim:" + server_->socketPath(); }

private:
    void serve();

    std::string runtime_;
    bool ownsRuntime_ = true;
    boxsim::BoxModel model_;
    std::unique_ptr<boxsim::BoxServer> server_;
    std::thread thread_;
};

boxsim::BoxConfig boxWithInputs(const std::string& inputs);

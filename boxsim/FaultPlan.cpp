#include "boxsim/FaultPlan.h"

#include "boxsim/TextFields.h"

#include <cmath>
#include <vector>

namespace boxsim {

bool parseBurst(std::string_view text, FaultPlan& plan) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    if (parts.size() != 2) {
        return false;
    }
    const std::optional<double> seconds = parseReal(parts[0]);
    const std::optional<int64_t> frames = parseInteger(parts[1]);
    if (!seconds || !frames || *seconds <= 0.0 || *frames < 1 || *frames > 1000000000) {
        return false;
    }
    plan.burstEverySeconds = *seconds;
    plan.burstFrames = static_cast<int>(*frames);
    return true;
}

bool parseStall(std::string_view text, FaultPlan& plan) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    if (parts.size() != 2 && parts.size() != 3) {
        return false;
    }
    const std::optional<double> after = parseReal(parts[0]);
    const std::optional<double> milliseconds = parseReal(parts[1]);
    if (!after || !milliseconds || *after < 0.0 || *milliseconds <= 0.0) {
        return false;
    }
    FaultPlan::StallEnd end = FaultPlan::StallEnd::DropMissed;
    if (parts.size() == 3) {
        if (parts[2] == "late") {
            end = FaultPlan::StallEnd::DeliverLate;
        } else if (parts[2] != "drop") {
            return false;
        }
    }
    plan.stallAfterSeconds = *after;
    plan.stallMilliseconds = *milliseconds;
    plan.stallEnd = end;
    return true;
}

bool FaultInjector::inStall(double streamSeconds) const {
    return plan.stallAfterSeconds && streamSeconds >= *plan.stallAfterSeconds &&
           streamSeconds < *plan.stallAfterSeconds + plan.stallMilliseconds / 1000.0;
}

bool FaultInjector::loses(uint64_t frameIndex, double streamSeconds) {
    bool lost = plan.dropEvery > 0 && (frameIndex + 1) % static_cast<uint64_t>(plan.dropEvery) == 0;
    if (plan.burstEverySeconds > 0.0 && plan.burstFrames > 0) {
        // A burst starts whenever a new period begins, not at the very start of streaming.
        const auto period =
            static_cast<int64_t>(std::floor(streamSeconds / plan.burstEverySeconds));
        if (period > lastBurstPeriod_) {
            lastBurstPeriod_ = period;
            burstLeft_ = plan.burstFrames;
        }
        if (burstLeft_ > 0) {
            --burstLeft_;
            lost = true;
        }
    }
    if (plan.stallEnd == FaultPlan::StallEnd::DropMissed && inStall(streamSeconds)) {
        lost = true;
    }
    return lost;
}

std::optional<double> FaultInjector::holdBack(double streamSeconds) const {
    if (plan.stallEnd == FaultPlan::StallEnd::DeliverLate && inStall(streamSeconds)) {
        return *plan.stallAfterSeconds;
    }
    return std::nullopt;
}

} // namespace boxsim

#include "system/ServiceControl.h"

#include <chrono>
#include <thread>

namespace kestrel::setup {

namespace {

constexpr std::chrono::milliseconds kPollInterval{1000};
// How long a stopping service may take before it counts as hanging.
constexpr int kStopPolls = 30;

// The number after "STATE" and its colon in the controller's report (1 stopped, 2 start
// pending, 3 stop pending, 4 running).
std::optional<int> stateNumber(const std::string& report) {
    const std::size_t label = report.find("STATE");
    if (label == std::string::npos) return std::nullopt;
    const std::size_t colon = report.find(':', label);
    if (colon == std::string::npos) return std::nullopt;
    const std::size_t digit = report.find_first_not_of(' ', colon + 1);
    if (digit == std::string::npos || report[digit] < '0' || report[digit] > '9') {
        return std::nullopt;
    }
    return report[digit] - '0';
}

}  // namespace

platform::Expected<WineOutcome, ServiceError> ServiceControl::controller(std::string_view verb,
                                                                         std::string_view name) {
    auto ran = wine_.run({"sc", std::string(verb), std::string(name)});
    if (!ran) return platform::unexpected(ServiceError{service::kErrorTimeout, ran.error()});
    return *ran;
}

platform::Expected<ServiceControl::State, ServiceError> ServiceControl::query(
    std::string_view name) {
    auto ran = wine_.run({"sc", "query", std::string(name)});
    if (!ran) return platform::unexpected(ServiceError{service::kErrorTimeout, ran.error()});
    if (ran->exitCode != 0) return State::Missing;
    switch (stateNumber(ran->output).value_or(0)) {
        case 1:
            return State::Stopped;
        case 2:
            return State::StartPending;
        case 3:
            return State::StopPending;
        case 4:
            return State::Running;
        default:
            return State::Other;
    }
}

ServiceError ServiceControl::start(std::string_view name) {
    if (!wine_.installed()) return {service::kErrorNoServiceManager, {}};
    auto started = controller("start", name);
    if (!started) return started.error();
    if (started->exitCode == 0) return {};
    // The controller's exit code does not say why; the state does.
    auto state = query(name);
    if (!state) return state.error();
    if (*state == State::Running || *state == State::StartPending) return {};
    if (*state == State::Missing) return {service::kErrorDoesNotExist, {}};
    return {service::kErrorTimeout, "the service did not start"};
}

ServiceError ServiceControl::stop(std::string_view name, bool missingIsError) {
    if (!wine_.installed()) return {};
    auto state = query(name);
    if (!state) return state.error();
    if (*state == State::Missing) {
        return missingIsError ? ServiceError{service::kErrorDoesNotExist, {}} : ServiceError{};
    }
    if (*state == State::Stopped) return {};
    // Whether the service said, to the stop request itself, that it stops.
    bool stopping = false;
    if (*state != State::StopPending) {
        auto stopped = controller("stop", name);
        if (!stopped) return stopped.error();
        const int reported = stateNumber(stopped->output).value_or(0);
        stopping = stopped->exitCode == 0 && (reported == 1 || reported == 3);
    }
    for (int poll = 0; poll < kStopPolls; ++poll) {
        state = query(name);
        if (!state) return state.error();
        if (*state == State::Stopped || *state == State::Missing) return {};
        // Wine runs a service only while its prefix has a session, and each program we run
        // there is a session of its own whose service manager starts the automatic services
        // anew: running again after it said it stops is that new start; the one we stopped
        // ended with the session of the request.
        if (stopping && (*state == State::Running || *state == State::StartPending)) return {};
        if (*state != State::StopPending) break;
        progress_.poll();
        std::this_thread::sleep_for(kPollInterval);
    }
    return {service::kErrorTimeout, {}};
}

}  // namespace kestrel::setup

// The logger's run: start-up (client, configuration, viewer, logs), then the session.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ClientCalls.h"
#include "ClientResources.h"
#include "SessionProcedure.h"
#include "Ui.h"

namespace kestrel::rclog {

inline constexpr std::size_t kArgumentLimit = 11;  // the program name and ten more

struct Invocation {
    std::vector<std::string> arguments;  // argv, argument 0 as the caller gave it
    std::string programPath;             // absolute, see ownProgramPath()
};

class Quillbox {
  public:
    explicit Quillbox(Ui& ui, ClientCalls calls = {});

    // The whole run; returns the exit code: 0 after a completed session, 1 after any failure
    // that keeps the viewer from starting.
    int run(const Invocation& invocation);

  private:
    bool initializeClient(ClientResources& client);
    bool setUpContext(ClientResources& client);
    void readConfiguration(const ProgramLocation& location);
    std::optional<std::filesystem::path> findViewer(const ProgramLocation& location);
    int runSession(const std::vector<std::string>& arguments);
    void error(const std::string& text, const std::string& caption);
    void error(const std::string& text) { error(text, setup_.caption); }

    Ui& ui_;
    ClientCalls calls_;
    SessionSetup setup_;
};

}  // namespace kestrel::rclog

// The logger's run: start-up (client, configuration, viewer, logs), then the session.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SessionProcedure.h"
#include "Ui.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/ScopedContext.h"
#include "nwkit/ScopedUnicodeTables.h"

namespace kestrel::rclog {

inline constexpr std::size_t kArgumentLimit = 11;  // the program name and ten more

struct Invocation {
    std::vector<std::string> arguments;  // argv, argument 0 as the caller gave it
    std::string programPath;             // absolute, see ownProgramPath()
};

class Quillbox {
  public:
    explicit Quillbox(Ui& ui, nw::kit::ClientCalls calls = nw::kit::linkedClient());

    // The whole run; returns the exit code: 0 after a completed session, 1 after any failure
    // that keeps the viewer from starting.
    int run(const Invocation& invocation);

  private:
    bool initializeClient(nw::kit::ScopedUnicodeTables& tables);
    bool setUpContext(nw::kit::ScopedContext& scoped);
    void readConfiguration(const ProgramLocation& location);
    std::optional<std::filesystem::path> findViewer(const ProgramLocation& location);
    int runSession(const std::vector<std::string>& arguments);
    void error(const std::string& text, const std::string& caption);
    void error(const std::string& text) { error(text, setup_.caption); }

    Ui& ui_;
    nw::kit::ClientCalls calls_;
    SessionSetup setup_;
};

}  // namespace kestrel::rclog

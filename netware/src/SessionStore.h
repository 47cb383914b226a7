// The workstation's logins, shared by every program of the user: which trees it is logged
// in to and as whom, and the default tree and name context. Kept in a small JSON file that
// is re-read whenever another program changed it and rewritten atomically under a lock.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace nw {

struct Login {
    std::string user;  // typed full name of the user object
    std::int64_t since = 0;
};

struct SessionState {
    std::string defaultTree;
    std::string nameContext;
    std::map<std::string, Login> logins;  // by upper-cased tree name

    const Login* loginFor(const std::string& tree) const;
};

std::string treeKey(const std::string& tree);

class SessionStore {
  public:
    explicit SessionStore(std::filesystem::path file) : file_(std::move(file)) {}

    const std::filesystem::path& file() const { return file_; }
    // The state as stored now; an unreadable or damaged file counts as no logins.
    const SessionState& current();
    // Applies `change` to the stored state under the lock and writes it back atomically.
    bool update(const std::function<void(SessionState&)>& change);

  private:
    struct Stamp {
        std::int64_t mtimeNs = -1;
        std::int64_t size = -1;
        std::uint64_t inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    SessionState readFile() const;

    std::filesystem::path file_;
    SessionState cached_;
    Stamp cachedStamp_;
};

}  // namespace nw

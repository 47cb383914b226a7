// The client's state in one process: configuration, the loaded directory, the shared
// session, the directory contexts and the open connections. The C entry points of the four
// client libraries all work on the one process-wide instance, under its lock.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Backend.h"
#include "ClientConfig.h"
#include "Context.h"
#include "SessionStore.h"
#include "nwnet.h"

namespace nw {

class Client {
  public:
    static Client& process();
    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(mutex_); }

    // (Re)reads the configuration and the directory when they changed since the last call.
    // 0 when usable; otherwise the error was written to standard error.
    NWCCODE initialize();
    Backend* backend();       // null when no directory is configured or it is broken
    SessionStore* session();  // null when no directory is configured
    const std::string& loadError() const { return loadError_; }
    const ClientConfig* config() const { return config_ ? &*config_ : nullptr; }

    NWDSContextHandle createContext();
    NWDSContextHandle duplicateContext(const Context& source);
    Context* context(NWDSContextHandle handle);
    bool freeContext(NWDSContextHandle handle);
    std::size_t contextCount() const { return contexts_.size(); }

    // The trees in scan order (empty without a directory); connection references are
    // positions + 1.
    std::vector<std::string> trees();
    // The tree's name as the directory spells it, when it has that tree.
    std::optional<std::string> findTree(std::string_view name);
    int treeIndex(std::string_view name);  // -1 when absent
    // The tree a context works on, or nullopt; the directory must be loaded.
    std::optional<std::string> treeOf(const Context& context);
    // The session's login to `tree` while this process can still use it.
    const Login* loginFor(const std::string& tree);
    bool anyLogin();
    // Resolves `name` for a context that may read the tree: ERR_NO_CONNECTION without a
    // directory or tree, ERR_NO_ACCESS without a login, ERR_INVALID_OBJECT_NAME or
    // ERR_DN_TOO_LONG for a bad name.
    NWDSCCODE resolve(const Context& context, const char* name, AbsoluteName* resolved);

    std::string fullName(const Context& context, const std::string& storedName) const;

    // Connections: references are tree positions + 1; handles are per process.
    std::optional<std::uint32_t> primaryConnRef();
    NWCONN_HANDLE openConnection(std::uint32_t ref);
    std::optional<std::uint32_t> connectionRef(NWCONN_HANDLE handle) const;
    bool closeConnection(NWCONN_HANDLE handle);
    int closeConnectionsOf(std::uint32_t ref);
    std::vector<NWCONN_HANDLE> connections() const;
    std::uint32_t openCount(std::uint32_t ref) const;

    std::string defaultTree();

  private:
    Client() = default;
    void reload();

    std::recursive_mutex mutex_;
    std::optional<ClientConfig> config_;
    std::filesystem::file_time_type configStamp_{}, directoryStamp_{};
    std::filesystem::path loadedConfigPath_;
    bool loaded_ = false;
    // The session before the backend: an LDAP backend reads the logins from it.
    std::unique_ptr<SessionStore> session_;
    std::unique_ptr<Backend> backend_;
    std::string loadError_;
    std::string notice_;

    std::map<NWDSContextHandle, Context> contexts_;
    NWDSContextHandle nextContext_ = 1;
    std::map<NWCONN_HANDLE, std::uint32_t> connections_;
    NWCONN_HANDLE nextConnection_ = 1;
};

}  // namespace nw

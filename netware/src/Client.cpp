#include "Client.h"

#include <cstdio>

#include "DirectoryCache.h"
#include "EmbeddedBackend.h"
#include "LdapBackend.h"

namespace nw {

namespace {

std::filesystem::file_time_type stampOf(const std::filesystem::path& file) {
    std::error_code ec;
    auto stamp = std::filesystem::last_write_time(file, ec);
    return ec ? std::filesystem::file_time_type::min() : stamp;
}

AbsoluteName parseContextName(const std::string& text) {
    auto parsed = parseName(text);
    auto name =
        parsed ? resolveName(*parsed, AbsoluteName{}, false, Typing::Container) : std::nullopt;
    return name ? *name : AbsoluteName{};
}

}  // namespace

Client& Client::process() {
    static Client* instance = new Client();  // never destroyed: entry points may run at exit
    return *instance;
}

NWCCODE Client::initialize() {
    auto path = clientConfigPath();
    bool unchanged =
        loaded_ && path == loadedConfigPath_ && stampOf(path) == configStamp_ &&
        (!config_ || config_->directory.empty() || stampOf(config_->directory) == directoryStamp_);
    if (!unchanged) reload();
    return loadError_.empty() ? 0 : NWE_REQUESTER_FAILURE;
}

void Client::reload() {
    auto path = clientConfigPath();
    std::string previousError = loadError_;
    loadError_.clear();
    backend_.reset();
    session_.reset();
    loaded_ = true;
    loadedConfigPath_ = path;
    configStamp_ = stampOf(path);
    config_.reset();
    auto config = readClientConfig(path);
    if (!config) {
        loadError_ = config.error().describe();
    } else {
        config_ = std::move(*config);
        if (!config_->ldapTrees.empty()) {
            session_ = std::make_unique<SessionStore>(config_->sessionFile);
            backend_ = std::make_unique<LdapBackend>(*config_, *session_);
        } else if (!config_->directory.empty()) {
            directoryStamp_ = stampOf(config_->directory);
            auto opened = openDirectory(config_->directory);
            if (!opened) {
                loadError_ = opened.error().describe();
            } else {
                backend_ = std::make_unique<EmbeddedBackend>(std::move(opened->directory));
                session_ = std::make_unique<SessionStore>(config_->sessionFile);
                // Reading into memory works, only slower: said once, not at every reload.
                if (!opened->notice.empty() && opened->notice != notice_)
                    std::fprintf(stderr, "nwclient: %s\n", opened->notice.c_str());
                notice_ = opened->notice;
            }
        }
    }
    // A broken configuration is reported once, not on every call that meets it.
    if (!loadError_.empty() && loadError_ != previousError)
        std::fprintf(stderr, "nwclient: %s\n", loadError_.c_str());
}

Backend* Client::backend() {
    if (!loaded_) initialize();
    return backend_.get();
}

SessionStore* Client::session() {
    if (!loaded_) initialize();
    return session_.get();
}

std::string Client::defaultTree() {
    auto names = trees();
    if (names.empty()) return {};
    // The session's choice, then the configured one, then the first tree: whichever first
    // names a tree the directory has.
    for (const std::string& name : {session_->current().defaultTree, config_->defaultTree})
        if (auto tree = findTree(name)) return *tree;
    return names.front();
}

std::vector<std::string> Client::trees() {
    Backend* from = backend();
    return from == nullptr ? std::vector<std::string>{} : from->trees();
}

int Client::treeIndex(std::string_view name) {
    auto names = trees();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (equalsIgnoreAsciiCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

std::optional<std::string> Client::findTree(std::string_view name) {
    int index = treeIndex(name);
    if (index < 0) return std::nullopt;
    return trees()[static_cast<std::size_t>(index)];
}

NWDSContextHandle Client::createContext() {
    Context context;
    context.tree = defaultTree();
    if (session_ != nullptr && !session_->current().defaultTree.empty() &&
        !session_->current().nameContext.empty())
        context.nameContext = parseContextName(session_->current().nameContext);
    else if (config_)
        context.nameContext = parseContextName(config_->nameContext);
    NWDSContextHandle handle = nextContext_++;
    contexts_.emplace(handle, std::move(context));
    return handle;
}

NWDSContextHandle Client::duplicateContext(const Context& source) {
    NWDSContextHandle handle = nextContext_++;
    contexts_.emplace(handle, source);
    return handle;
}

Context* Client::context(NWDSContextHandle handle) {
    auto it = contexts_.find(handle);
    return it == contexts_.end() ? nullptr : &it->second;
}

bool Client::freeContext(NWDSContextHandle handle) {
    return contexts_.erase(handle) > 0;
}

std::optional<std::string> Client::treeOf(const Context& context) {
    return findTree(context.tree);
}

const Login* Client::loginFor(const std::string& tree) {
    SessionStore* store = session();
    const Login* login = store == nullptr ? nullptr : store->current().loginFor(tree);
    return login != nullptr && backend_->loginUsable(tree) ? login : nullptr;
}

bool Client::anyLogin() {
    for (const std::string& tree : trees())
        if (loginFor(tree) != nullptr) return true;
    return false;
}

NWDSCCODE Client::resolve(const Context& context, const char* name, AbsoluteName* resolved) {
    auto tree = treeOf(context);
    if (!tree) return ERR_NO_CONNECTION;
    if (loginFor(*tree) == nullptr) return ERR_NO_ACCESS;
    NameError error{};
    auto found = resolveName(name == nullptr ? "" : name, context.nameContext,
                             context.canonicalize(), &error);
    if (!found) return error == NameError::TooLong ? ERR_DN_TOO_LONG : ERR_INVALID_OBJECT_NAME;
    *resolved = std::move(*found);
    return 0;
}

std::string Client::fullName(const Context& context, const std::string& storedName) const {
    return formatStoredName(storedName, SIZE_MAX, context.typeless());
}

std::optional<std::uint32_t> Client::primaryConnRef() {
    int index = treeIndex(defaultTree());
    if (index < 0) return std::nullopt;
    return static_cast<std::uint32_t>(index + 1);
}

NWCONN_HANDLE Client::openConnection(std::uint32_t ref) {
    NWCONN_HANDLE handle = nextConnection_++;
    connections_.emplace(handle, ref);
    return handle;
}

std::optional<std::uint32_t> Client::connectionRef(NWCONN_HANDLE handle) const {
    auto it = connections_.find(handle);
    if (it == connections_.end()) return std::nullopt;
    return it->second;
}

bool Client::closeConnection(NWCONN_HANDLE handle) {
    return connections_.erase(handle) > 0;
}

int Client::closeConnectionsOf(std::uint32_t ref) {
    return static_cast<int>(
        std::erase_if(connections_, [ref](const auto& entry) { return entry.second == ref; }));
}

std::vector<NWCONN_HANDLE> Client::connections() const {
    std::vector<NWCONN_HANDLE> handles;
    for (const auto& [handle, ref] : connections_) handles.push_back(handle);
    return handles;
}

std::uint32_t Client::openCount(std::uint32_t ref) const {
    std::uint32_t count = 0;
    for (const auto& [handle, connRef] : connections_)
        if (connRef == ref) ++count;
    return count;
}

}  // namespace nw

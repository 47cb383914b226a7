#include "Client.h"

#include <cstdio>

#include "DirectoryCache.h"

namespace nw {

namespace {

std::filesystem::file_time_type stampOf(const std::filesystem::path& file) {
    std::error_code ec;
    auto stamp = std::filesystem::last_write_time(file, ec);
    return ec ? std::filesystem::file_time_type::min() : stamp;
}

// The first `keep` components of a stored name, without their types when typeless.
std::string formatName(std::string_view stored, std::size_t keep, bool typeless) {
    auto parts = splitStoredName(stored);
    std::string out;
    for (std::size_t i = 0; i < parts.size() && i < keep; ++i) {
        if (i > 0) out.push_back('.');
        out += typeless ? componentValue(parts[i]) : parts[i];
    }
    return out;
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
    directory_.reset();
    session_.reset();
    loaded_ = true;
    ++generation_;
    loadedConfigPath_ = path;
    configStamp_ = stampOf(path);
    config_.reset();
    auto config = readClientConfig(path);
    if (!config) {
        loadError_ = config.error().describe();
    } else {
        config_ = std::move(*config);
        if (!config_->directory.empty()) {
            directoryStamp_ = stampOf(config_->directory);
            auto opened = openDirectory(config_->directory);
            if (!opened) {
                loadError_ = opened.error().describe();
            } else {
                directory_ = std::move(opened->directory);
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

const Directory* Client::directory() {
    if (!loaded_) initialize();
    return directory_.get();
}

SessionStore* Client::session() {
    if (!loaded_) initialize();
    return session_.get();
}

std::string Client::defaultTree() {
    const Directory* dir = directory();
    if (dir == nullptr) return {};
    // The session's choice, then the configured one, then the first tree: whichever first
    // names a tree the directory has.
    for (const std::string& name : {session_->current().defaultTree, config_->defaultTree})
        if (const Tree* tree = dir->findTree(name)) return tree->name();
    return dir->trees().empty() ? std::string() : dir->trees().front().name();
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

const Tree* Client::treeOf(const Context& context) {
    const Directory* dir = directory();
    return dir == nullptr ? nullptr : dir->findTree(context.tree);
}

const Login* Client::loginFor(const std::string& tree) {
    SessionStore* store = session();
    return store == nullptr ? nullptr : store->current().loginFor(tree);
}

bool Client::anyLogin() {
    const Directory* dir = directory();
    if (dir == nullptr) return false;
    for (const auto& tree : dir->trees())
        if (session_->current().loginFor(tree.name()) != nullptr) return true;
    return false;
}

NWDSCCODE Client::locate(const Context& context, const char* name, Located* found) {
    const Tree* tree = treeOf(context);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    if (loginFor(tree->name()) == nullptr) return ERR_NO_ACCESS;
    NameError error{};
    auto resolved = resolveName(name == nullptr ? "" : name, context.nameContext,
                                context.canonicalize(), &error);
    if (!resolved) return error == NameError::TooLong ? ERR_DN_TOO_LONG : ERR_INVALID_OBJECT_NAME;
    auto index = tree->find(*resolved);
    if (!index) return ERR_NO_SUCH_ENTRY;
    *found = Located{tree, *index};
    return 0;
}

std::string Client::outputName(const Context& context, const Tree& tree, int index) const {
    if (index == kRootIndex) return "[Root]";
    std::size_t keep = tree.depth(index);
    if (context.canonicalize() && !context.nameContext.isRoot()) {
        auto anchor = anchorOf(tree, context.nameContext);
        if (anchor && *anchor != index && tree.isWithin(index, *anchor))
            keep -= tree.depth(*anchor);
    }
    return formatName(tree.head(index).name(), keep, context.typeless());
}

std::optional<int> Client::anchorOf(const Tree& tree, const AbsoluteName& nameContext) const {
    // A listing names every entry against the same context: look it up once.
    std::string key = nameContext.key();
    if (anchor_.tree != &tree || anchor_.generation != generation_ || anchor_.key != key)
        anchor_ = Anchor{&tree, generation_, key, tree.find(nameContext)};
    return anchor_.index;
}

std::string Client::fullName(const Context& context, const std::string& storedName) const {
    return formatName(storedName, SIZE_MAX, context.typeless());
}

std::optional<std::uint32_t> Client::primaryConnRef() {
    const Directory* dir = directory();
    if (dir == nullptr) return std::nullopt;
    int index = dir->treeIndex(defaultTree());
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

#include "SessionStore.h"

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "DirectoryName.h"
#include "nwdstype.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"

namespace nw {

namespace {

using Json = nlohmann::json;

// The file is the user's own and may have been edited: text that could not have come from
// the directory (over-long names, wrong types) is dropped, so nothing read from it can
// overrun a caller's name buffer.
std::string boundedText(const Json& json, const char* key, std::size_t limit) {
    auto it = json.find(key);
    if (it == json.end() || !it->is_string()) return {};
    const auto& text = it->get_ref<const std::string&>();
    return utf8Length(text) <= limit ? text : std::string();
}

SessionState fromJson(const Json& json) {
    SessionState state;
    if (!json.is_object()) return state;
    state.defaultTree = boundedText(json, "defaultTree", MAX_TREE_NAME_CHARS);
    state.nameContext = boundedText(json, "nameContext", MAX_DN_CHARS);
    auto logins = json.find("logins");
    if (logins == json.end() || !logins->is_object()) return state;
    for (const auto& [tree, login] : logins->items()) {
        if (!login.is_object() || utf8Length(tree) > MAX_TREE_NAME_CHARS) continue;
        std::string user = boundedText(login, "user", MAX_DN_CHARS);
        auto since = login.find("since");
        if (user.empty()) continue;
        state.logins[treeKey(tree)] = Login{user, since != login.end() && since->is_number_integer()
                                                      ? since->get<std::int64_t>()
                                                      : 0};
    }
    return state;
}

Json toJson(const SessionState& state) {
    Json logins = Json::object();
    for (const auto& [tree, login] : state.logins)
        logins[tree] = {{"user", login.user}, {"since", login.since}};
    return {
        {"defaultTree", state.defaultTree}, {"nameContext", state.nameContext}, {"logins", logins}};
}

}  // namespace

std::string treeKey(const std::string& tree) {
    return kestrel::platform::asciiUpper(tree);
}

const Login* SessionState::loginFor(const std::string& tree) const {
    auto it = logins.find(treeKey(tree));
    return it == logins.end() ? nullptr : &it->second;
}

SessionStore::Stamp SessionStore::stamp() const {
    struct stat info {};
    if (::stat(file_.c_str(), &info) != 0) return Stamp{};
    return Stamp{static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                 static_cast<std::int64_t>(info.st_size), static_cast<std::uint64_t>(info.st_ino)};
}

SessionState SessionStore::readFile() const {
    auto content = kestrel::platform::readWholeFile(file_);
    if (!content) return {};
    auto json = Json::parse(*content, nullptr, /*allow_exceptions=*/false);
    return json.is_discarded() ? SessionState{} : fromJson(json);
}

const SessionState& SessionStore::current() {
    Stamp now = stamp();
    if (!(now == cachedStamp_)) {
        // Who is logged in where is the user's business alone, also in a file made before
        // sessions were private.
        kestrel::platform::restrictToOwner(file_);
        cached_ = readFile();
        cachedStamp_ = now;
    }
    return cached_;
}

bool SessionStore::update(const std::function<void(SessionState&)>& change) {
    using namespace kestrel::platform;
    // The default folder is the client's own; one the configuration names is the user's
    // choice and keeps its mode.
    const auto folder = file_.parent_path();
    if (ensurePrivateFolder(folder,
                            folder == stateDir() ? ExistingFolder::Tighten : ExistingFolder::Keep))
        return false;
    FileLock lock(file_, kOwnerOnlyFile);
    if (!lock.locked()) return false;
    // The replacement takes over the mode of the file it replaces.
    if (restrictToOwner(file_)) return false;
    SessionState state = readFile();
    change(state);
    auto written = writeFileAtomically(file_, toJson(state).dump(2) + "\n", kOwnerOnlyFile);
    if (written) return false;
    cached_ = std::move(state);
    cachedStamp_ = stamp();
    return true;
}

}  // namespace nw

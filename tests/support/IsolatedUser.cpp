#include "IsolatedUser.h"

namespace kestrel::test {

namespace fs = std::filesystem;

IsolatedUser::IsolatedUser() {
    for (const fs::path& folder :
         {home(), configHome(), stateHome(), dataHome(), cacheHome(), runtimeDir(), profile()})
        fs::create_directory(folder);
    fs::permissions(runtimeDir(), fs::perms::owner_all);  // what XDG asks of it
    enter();
}

void IsolatedUser::enter() {
    environment_.set("HOME", home().string());
    environment_.set("XDG_CONFIG_HOME", configHome().string());
    environment_.set("XDG_STATE_HOME", stateHome().string());
    environment_.set("XDG_DATA_HOME", dataHome().string());
    environment_.set("XDG_CACHE_HOME", cacheHome().string());
    environment_.set("XDG_RUNTIME_DIR", runtimeDir().string());
    environment_.set("USERPROFILE", profile().string());
    environment_.set("WINEPREFIX", winePrefix().string());
    environment_.set("TZ", "UTC");
}

}  // namespace kestrel::test

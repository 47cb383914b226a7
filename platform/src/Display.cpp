#include "platform/Display.h"

#include <cstdlib>

namespace kestrel::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string displayPlatforms() {
    std::string platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty()) {
        if (!environment("WAYLAND_DISPLAY").empty()) platforms = "wayland";
        if (!environment("DISPLAY").empty()) platforms += platforms.empty() ? "xcb" : ";xcb";
    }
    return platforms;
}

bool hasDisplay() {
    return !displayPlatforms().empty();
}

}  // namespace kestrel::platform

#include "script/Environment.h"

#include <cstdlib>

#include "platform/PercentReferences.h"

namespace kestrel::setup {

namespace {

bool validName(std::string_view name) {
    return !name.empty() && name.find('=') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<std::string> ProcessEnvironment::get(std::string_view name) const {
    if (!validName(name)) return std::nullopt;
    if (const char* value = std::getenv(codePage_->toUtf8(name).c_str()))
        return codePage_->fromUtf8(value);
    return std::nullopt;
}

bool ProcessEnvironment::set(std::string_view name, std::string_view value) {
    if (!validName(name) || value.find('\0') != std::string_view::npos) return false;
    return ::setenv(codePage_->toUtf8(name).c_str(), codePage_->toUtf8(value).c_str(), 1) == 0;
}

std::optional<std::string> MemoryEnvironment::get(std::string_view name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool MemoryEnvironment::set(std::string_view name, std::string_view value) {
    if (!validName(name) || value.find('\0') != std::string_view::npos) return false;
    values_.erase(std::string(name));
    values_.emplace(std::string(name), std::string(value));
    return true;
}

std::string expandEnvironmentStrings(std::string_view text, const Environment& environment) {
    return platform::expandPercentReferences(
        text, [&](std::string_view name) { return environment.get(name); });
}

}  // namespace kestrel::setup

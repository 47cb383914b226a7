// A password held in memory only as long as it is needed, and wiped when dropped.
#pragma once

#include <string_view>
#include <vector>

namespace nw::kit {

class Secret {
  public:
    Secret() = default;
    explicit Secret(std::string_view text);
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    Secret(Secret&& other) noexcept;
    Secret& operator=(Secret&& other) noexcept;
    ~Secret();
    // Moving hands the one copy over (a vector never keeps bytes inline).
    std::string_view text() const {
        return bytes_.empty() ? std::string_view()
                              : std::string_view(bytes_.data(), bytes_.size() - 1);
    }
    // The text with a terminating NUL, for calls that take C strings.
    const char* c_str() const { return bytes_.empty() ? "" : bytes_.data(); }

  private:
    void wipe();
    std::vector<char> bytes_;  // the text and its NUL, or nothing
};

}  // namespace nw::kit

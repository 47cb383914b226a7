#include "program/LazyMachineRoot.h"

namespace kestrel::setup {

LazyMachineRoot::LazyMachineRoot(std::filesystem::path prefix, platform::MachineRootOptions options)
    : prefix_(std::move(prefix)), options_(std::move(options)) {}

LazyMachineRoot::LazyMachineRoot(platform::MachineRoot& open)
    : prefix_(open.prefix()), root_(&open) {}

bool LazyMachineRoot::exists() const {
    std::error_code ec;
    return root_ != nullptr || std::filesystem::exists(prefix_ / "system.reg", ec);
}

platform::Expected<platform::MachineRoot*, std::string> LazyMachineRoot::open() {
    if (root_ != nullptr) return root_;
    if (failure_) return platform::unexpected(*failure_);
    auto opened = platform::MachineRoot::open(prefix_, options_);
    if (!opened) {
        failure_ = opened.error();
        return platform::unexpected(*failure_);
    }
    owned_ = std::move(opened.value());
    root_ = owned_.get();
    return root_;
}

}  // namespace kestrel::setup

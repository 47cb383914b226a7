#include "copy/SharedFileCount.h"

#include "copy/IgnoreOrCancel.h"

namespace kestrel::setup::copy {

using platform::RegistryRoot;

namespace {

// The count, or nullopt when the file has none.
std::optional<std::uint32_t> readCount(OperationContext& context, const std::string& path) {
    platform::RegistryValue value;
    if (context.registry.readValue(RegistryRoot::LocalMachine, kSharedDllsKey, path, &value) != 0) {
        return std::nullopt;
    }
    return value.dwordValue();
}

long writeCount(OperationContext& context, const std::string& path, std::uint32_t count) {
    if (const long error = context.registry.createKey(RegistryRoot::LocalMachine, kSharedDllsKey)) {
        return error;
    }
    const platform::RegistryValue value = platform::RegistryValue::dword(count);
    return context.registry.setValue(RegistryRoot::LocalMachine, kSharedDllsKey, path,
                                     platform::kRegDword, value.data);
}

}  // namespace

bool addSharedFileUse(OperationContext& context, const std::string& path, bool existedBefore) {
    const std::uint32_t count = readCount(context, path).value_or(existedBefore ? 1 : 0) + 1;
    const long error = writeCount(context, path, count);
    return error == 0 || ignoreOrCancel(context, messages::kCannotCreateKey, {path, error});
}

SharedFileRelease releaseSharedFile(OperationContext& context, const std::string& path) {
    const std::optional<std::uint32_t> count = readCount(context, path);
    if (count && *count > 1) {
        const long error = writeCount(context, path, *count - 1);
        if (error == 0 || ignoreOrCancel(context, messages::kCannotDeleteKey, {path, error})) {
            return SharedFileRelease::StillUsed;
        }
        return SharedFileRelease::Cancelled;
    }
    if (count) {
        const long error =
            context.registry.deleteValue(RegistryRoot::LocalMachine, kSharedDllsKey, path);
        if (error != 0 && !ignoreOrCancel(context, messages::kCannotDeleteKey, {path, error})) {
            return SharedFileRelease::Cancelled;
        }
        // The key we may have made goes with the last count in it.
        (void)context.registry.removeEmptyKeys(RegistryRoot::LocalMachine, kSharedDllsKey);
    }
    return SharedFileRelease::Unused;
}

}  // namespace kestrel::setup::copy

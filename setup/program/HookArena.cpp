#include "program/HookArena.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrel::setup {

namespace {

constexpr std::uint64_t kLowLimit = std::uint64_t{1} << 32;
constexpr std::size_t kTrampolineSize = 32;  // 22 bytes of code, padded

std::size_t pageSize() {
    return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

#if defined(__x86_64__)
// movabs <context register>, context; movabs rax, function; jmp rax. The context goes into
// the register of the argument after the module's own: rsi after one, rdx after two.
void writeTrampoline(std::uint8_t* out, const HookArena::Callback& callback) {
    const std::uint8_t contextRegister = callback.arguments == 1 ? 0xBE : 0xBA;
    const auto context = reinterpret_cast<std::uint64_t>(callback.context);
    const auto function = reinterpret_cast<std::uint64_t>(callback.function);
    *out++ = 0x48;
    *out++ = contextRegister;
    std::memcpy(out, &context, 8);
    out += 8;
    *out++ = 0x48;
    *out++ = 0xB8;
    std::memcpy(out, &function, 8);
    out += 8;
    *out++ = 0xFF;
    *out++ = 0xE0;
}
#endif

void* mapLow(std::size_t size) {
#if defined(MAP_32BIT)
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    return base == MAP_FAILED ? nullptr : base;
#else
    (void)size;
    errno = ENOTSUP;
    return nullptr;
#endif
}

}  // namespace

platform::Expected<std::unique_ptr<HookArena>, std::string> HookArena::map(
    std::span<const Callback> callbacks) {
#if !defined(__x86_64__)
    (void)callbacks;
    return platform::unexpected(std::string("extension modules are called on x86-64 hosts only"));
#else
    if (callbacks.size() > kMaxCallbacks)
        return platform::unexpected(std::string("too many hook callbacks"));
    const std::size_t page = pageSize();
    const std::size_t size = page + kDataSize;
    void* mapped = mapLow(size);
    if (mapped == nullptr)
        return platform::unexpected("no memory below 4 GiB for the hook record: " +
                                    std::string(std::strerror(errno)));
    auto* base = static_cast<std::uint8_t*>(mapped);
    std::unique_ptr<HookArena> arena(new HookArena(base, size));
    if (reinterpret_cast<std::uint64_t>(base) + size > kLowLimit)
        return platform::unexpected(std::string("the hook record's memory lies above 4 GiB"));
    for (std::size_t i = 0; i < callbacks.size(); ++i)
        writeTrampoline(base + i * kTrampolineSize, callbacks[i]);
    // Written once, then never writable again while it can run.
    if (::mprotect(base, page, PROT_READ | PROT_EXEC) != 0)
        return platform::unexpected("cannot make the hook callbacks executable: " +
                                    std::string(std::strerror(errno)));
    return arena;
#endif
}

HookArena::~HookArena() {
    ::munmap(base_, size_);
}

std::uint32_t HookArena::callback(std::size_t index) const {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uint64_t>(base_) +
                                      index * kTrampolineSize);
}

std::uint32_t HookArena::reserve(std::size_t size) {
    const std::size_t data = pageSize();
    const std::size_t start = (used_ + 7) & ~std::size_t{7};
    if (start + size > size_ - data) return 0;
    used_ = start + size;
    return static_cast<std::uint32_t>(reinterpret_cast<std::uint64_t>(base_ + data + start));
}

std::uint32_t HookArena::put(std::span<const std::uint8_t> bytes) {
    const std::uint32_t address = reserve(bytes.size());
    if (address != 0 && !bytes.empty()) std::memcpy(at(address), bytes.data(), bytes.size());
    return address;
}

std::uint32_t HookArena::putText(std::string_view text) {
    const std::uint32_t address = reserve(text.size() + 1);
    if (address == 0) return 0;
    std::memcpy(at(address), text.data(), text.size());
    at(address)[text.size()] = 0;
    return address;
}

std::uint8_t* HookArena::at(std::uint32_t address) const {
    return reinterpret_cast<std::uint8_t*>(static_cast<std::uintptr_t>(address));
}

}  // namespace kestrel::setup

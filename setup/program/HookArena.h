#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::setup {

// Memory an extension module reaches through the hook record's 32-bit fields. The record
// keeps the layout of its 32-bit origin (every field 32 bits, little-endian), but on x86-64
// our own addresses do not fit in 32 bits. So what the record points to lives here, mapped
// below 4 GiB: a data area filled anew for every call (script path, event arguments,
// component record), and one page of code with small trampolines to the callbacks. A
// trampoline passes the caller's arguments on unchanged and adds the callback's context as
// the next argument, so a module calls back with only the arguments the record promises.
class HookArena {
  public:
    // What a trampoline jumps to: `function(first, context)` or
    // `function(first, second, context)`, by `arguments` (1 or 2) the module passes.
    struct Callback {
        const void* function;
        void* context;
        int arguments;
    };
    static constexpr std::size_t kDataSize = 256 * 1024;
    static constexpr std::size_t kMaxCallbacks = 4;

    // Maps the data area and the code page below 4 GiB and writes the trampolines, the code
    // page then made executable and read-only. Why not, when it cannot.
    [[nodiscard]] static platform::Expected<std::unique_ptr<HookArena>, std::string> map(
        std::span<const Callback> callbacks);
    ~HookArena();
    HookArena(const HookArena&) = delete;
    HookArena& operator=(const HookArena&) = delete;

    // The 32-bit address of the callback's trampoline, in the order given to map().
    std::uint32_t callback(std::size_t index) const;

    // Empties the data area: what a call left is not valid in the next one.
    void clear() { used_ = 0; }
    // Copies the bytes in (aligned to 8); their 32-bit address, 0 when the area is full.
    std::uint32_t put(std::span<const std::uint8_t> bytes);
    // A text with its terminating zero.
    std::uint32_t putText(std::string_view text);
    // Our own pointer to an address put() gave.
    std::uint8_t* at(std::uint32_t address) const;

  private:
    // Room for `size` bytes (aligned to 8); its address, 0 when the area is full.
    std::uint32_t reserve(std::size_t size);
    HookArena(std::uint8_t* base, std::size_t size) : base_(base), size_(size) {}

    std::uint8_t* base_;  // code page, then the data area
    std::size_t size_;
    std::size_t used_ = 0;
};

}  // namespace kestrel::setup

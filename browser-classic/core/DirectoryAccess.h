// This edition's own way into the directory, bound to the NetWare client at link time. It
// owns one directory context with the flags the client gave it (typed, canonicalised
// names) and reports failures with its own, partly German, messages.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ClassicUi.h"
#include "nwnet.h"

namespace kestrel::classic {

// One child of a listed container; the class code is also the tree's image index.
struct ListEntry {
    std::string name;
    int classCode = 0;
    bool operator==(const ListEntry&) const = default;
};

// The reply buffer of a listing; a listing stops with a message after 500 of them.
inline constexpr std::size_t kListBufferSize = 64512;
inline constexpr int kMaxListCalls = 500;

// How the attribute reader picks among text values.
enum class ReadMode {
    FirstWithColon = 0,     // an IPX address such as 01010000:00A0C9123456:4006
    FirstWithFullStop = 1,  // an IP address
    ByIndex = 2,            // the value at the given index
};

class DirectoryAccess {
  public:
    explicit DirectoryAccess(Ui& ui, std::size_t listBufferSize = kListBufferSize);
    ~DirectoryAccess();
    DirectoryAccess(const DirectoryAccess&) = delete;
    DirectoryAccess& operator=(const DirectoryAccess&) = delete;

    bool initialized() const { return initialized_; }

    // True when the workstation is logged in to the directory and the context exists.
    bool isAuthenticated();
    // The context's name context; empty after a failure (with its message).
    std::string currentNameContext();
    // The typed full name the directory gives a context name; "" for "", "ERROR" on failure.
    std::string fullNameOfContext(const std::string& name);
    // Empty when the tree name cannot be read.
    std::optional<std::string> treeName();

    // Appends the children of `container` whose class the tree shows, in directory order.
    bool listContainer(const std::string& container, std::vector<ListEntry>& entries);

    // One converted value of `attribute` of `object` (a name from the root, ".CN=..."):
    // "ERROR" when the object or attribute cannot be read, "" when no value matched.
    std::string readAttribute(const std::string& attribute, const std::string& object,
                              ReadMode mode, int index = 0);
    // The names of all attributes of `object`; empty after a failure (with its message).
    std::vector<std::string> readAttributeNames(const std::string& object);

  private:
    bool initialize();
    void release();

    Ui& ui_;
    std::size_t listBufferSize_;
    NWDSContextHandle context_ = 0;
    bool tablesLoaded_ = false;
    bool initialized_ = false;
};

}  // namespace kestrel::classic

// The browser's only way into the directory: binds the NetWare client, owns one directory
// context, and turns every answer into a plain value, a fixed text or a message box.
// When the client cannot be bound every operation answers as for a workstation that is not
// logged in, without calling anything.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Ui.h"
#include "directory/ClientLibraries.h"
#include "directory/ValueArea.h"
#include "nwkit/ClientCalls.h"

namespace kestrel::browser {

// One child of a listed container; the class code is also the tree's image index.
struct ListEntry {
    std::string name;
    int classCode = 0;
    bool operator==(const ListEntry&) const = default;
};

class CNDSAccess {
  public:
    // Binds and initialises at once; IsLoaded() tells whether that worked.
    explicit CNDSAccess(Ui& ui, ClientLibraryNames libraries = {});
    ~CNDSAccess();
    CNDSAccess(const CNDSAccess&) = delete;
    CNDSAccess& operator=(const CNDSAccess&) = delete;

    bool Initialize();
    bool IsLoaded() const { return loaded_; }

    // Replaces the layer's context by one for this tree and name context.
    void SetTreeAndContext(const std::string& tree, const std::string& nameContext);
    // Empty when the context cannot be read.
    std::optional<std::string> GetTreeName();
    // Code of a listed base class; empty for every class a listing leaves out.
    static std::optional<int> ClassCode(std::string_view baseClass);

    // Appends the listed children of `container` (Country, Locality, Organization,
    // Organizational Unit, Workstation) in directory order; nothing on failure.
    bool ListContainer(const std::string& container, std::vector<ListEntry>& entries);

    // The readers give "ERROR" on failure. The string and octet readers replace `attribute`
    // by what they read, so a caller sees failure as an unchanged argument.
    std::string ReadTimeAttr(const std::string& attribute, const std::string& object);
    std::string ReadStringAttr(std::string& attribute, const std::string& object);
    std::string ReadOctetAttr(std::string& attribute, const std::string& object);
    // Appends every value; "no value" when the object lacks the attribute.
    void ReadStringListAttr(const std::string& attribute, std::vector<std::string>& values,
                            const std::string& object);

    // Appends the trees reachable through the primary connection, each name once.
    void ScanTrees(std::vector<std::string>& trees);
    // 0 = logged in, 1 = failed.
    int Login(const std::string& tree, const std::string& user, const std::string& password);
    // 0 = logged out, non-zero otherwise.
    int Logout(const std::string& tree);
    // Non-zero when logged in to `tree`; `user` gets the logged-in user's full name.
    int IsTreeAuthenticated(const std::string& tree, std::string& user);
    // Appends the names (relative to `base`) of the objects of `className` in the subtree
    // below `base` that contain `pattern`; the pattern "*" takes every one. Searches the
    // tree of the layer's context.
    void Search(const std::string& className, std::vector<std::string>& found,
                const std::string& pattern, const std::string& base);
    // Non-zero when logged in to at least one tree.
    int IsAuthenticated();

  private:
    enum class ReadOutcome { Done, Absent, Failed };
    using ValueSink = std::function<void(ValueArea&&)>;

    void Release();
    bool Succeeded(NWDSCCODE result);
    bool ApplyNameFlags(NWDSContextHandle context);
    ReadOutcome ReadValues(const std::string& attribute, const std::string& object,
                           const ValueSink& take);
    bool TakeValues(pBuf_T reply, const ValueSink& take, bool* empty);
    std::optional<ValueArea> ReadLastValue(const std::string& attribute, const std::string& object);
    bool BuildClassFilter(NWDSContextHandle context, pBuf_T filter, const std::string& className);

    std::string text_;  // kept empty; no operation uses it
    NWDSContextHandle context_ = 0;
    NWDSCCODE lastResult_ = 0;  // the last client answer, for debugging only
    bool loaded_ = false;
    ClientLibraries libraries_;
    nw::kit::ClientCalls client_;

    Ui& ui_;
    ClientLibraryNames libraryNames_;
};

}  // namespace kestrel::browser

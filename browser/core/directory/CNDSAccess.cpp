// Binding, the layer's own context and the container listing.
#include "directory/CNDSAccess.h"

#include <array>
#include <utility>

#include "nwkit/ClientText.h"
#include "nwkit/ScopedBuffer.h"

namespace kestrel::browser {

using nw::kit::NameText;
using nw::kit::ScopedBuffer;
using nw::kit::textOf;

namespace {

constexpr std::size_t kListBufferSize = 4096;

// Names keep their type prefixes (CN=, OU=) and come back canonicalised.
constexpr nuint32 kNameFlagsCleared = DCV_TYPELESS_NAMES;
constexpr nuint32 kNameFlagsSet = DCV_CANONICALIZE_NAMES;

std::string displayName(const std::string& name) {
    auto common = name.find("CN=");
    return common == std::string::npos ? name : name.substr(common + 3);
}

}  // namespace

CNDSAccess::CNDSAccess(Ui& ui, ClientLibraryNames libraries)
    : ui_(ui), libraryNames_(std::move(libraries)) {
    Initialize();
}

CNDSAccess::~CNDSAccess() {
    Release();
}

void CNDSAccess::Release() {
    if (loaded_ && context_ != 0) client_.NWDSFreeContext(context_);
    context_ = 0;
    loaded_ = false;
}

bool CNDSAccess::Succeeded(NWDSCCODE result) {
    lastResult_ = result;
    return result == 0;
}

bool CNDSAccess::ApplyNameFlags(NWDSContextHandle context) {
    nuint32 flags = 0;
    if (!Succeeded(client_.NWDSGetContext(context, DCK_FLAGS, &flags))) return false;
    flags = (flags & ~kNameFlagsCleared) | kNameFlagsSet;
    return Succeeded(client_.NWDSSetContext(context, DCK_FLAGS, &flags));
}

bool CNDSAccess::Initialize() {
    Release();
    client_ = {};
    if (!libraries_.load(libraryNames_)) return false;
    auto bound = libraries_.bind();
    if (!bound) return false;
    client_ = *bound;
    if (!Succeeded(client_.NWCallsInit(nullptr, nullptr))) return false;
    if (!Succeeded(client_.NWDSCreateContextHandle(&context_))) {
        context_ = 0;
        ui_.showMessage("Error: Create Context");
        return false;
    }
    if (!ApplyNameFlags(context_)) {
        ui_.showMessage("NDS Error!!!");
        client_.NWDSFreeContext(context_);
        context_ = 0;
        return false;
    }
    loaded_ = true;
    return true;
}

void CNDSAccess::SetTreeAndContext(const std::string& tree, const std::string& nameContext) {
    if (!loaded_) return;
    client_.NWDSFreeContext(context_);
    if (!Succeeded(client_.NWDSCreateContextHandle(&context_))) {
        context_ = 0;  // later calls then fail on the client's side instead of on a stale handle
        return;
    }
    // Nothing here is reported: a context that does not work shows up in the next listing.
    Succeeded(client_.NWDSSetContext(context_, DCK_TREE_NAME, tree.c_str()));
    Succeeded(client_.NWDSSetContext(context_, DCK_NAME_CONTEXT, nameContext.c_str()));
    ApplyNameFlags(context_);
    NameText readBack{};
    Succeeded(client_.NWDSGetContext(context_, DCK_NAME_CONTEXT, readBack.data()));
    Succeeded(client_.NWDSGetContext(context_, DCK_TREE_NAME, readBack.data()));
}

std::optional<std::string> CNDSAccess::GetTreeName() {
    NameText tree{};
    if (!loaded_ || !Succeeded(client_.NWDSGetContext(context_, DCK_TREE_NAME, tree.data())))
        return std::nullopt;
    return textOf(tree);
}

std::optional<int> CNDSAccess::ClassCode(std::string_view baseClass) {
    static constexpr std::array<std::pair<std::string_view, int>, 5> kCodes{{
        {"Country", 1},
        {"Organization", 2},
        {"Organizational Unit", 3},
        {"Workstation", 16},
        {"Locality", 17},
    }};
    for (const auto& [name, code] : kCodes)
        if (name == baseClass) return code;
    return std::nullopt;
}

bool CNDSAccess::ListContainer(const std::string& container, std::vector<ListEntry>& entries) {
    if (container.empty()) return true;
    if (!loaded_) return false;
    if (!Succeeded(client_.NWDSSetContext(context_, DCK_NAME_CONTEXT, container.c_str()))) {
        ui_.showMessage("Error: Set Context.");
        return false;
    }
    NameText readBack{};
    Succeeded(client_.NWDSGetContext(context_, DCK_TREE_NAME, readBack.data()));
    if (!Succeeded(client_.NWDSGetContext(context_, DCK_NAME_CONTEXT, readBack.data()))) {
        ui_.showMessage("Error: Get Context.");
        return false;
    }
    ScopedBuffer reply(client_);
    if (!Succeeded(reply.allocate(kListBufferSize))) {
        ui_.showMessage("Memory Error!!.");
        return false;
    }
    std::vector<ListEntry> listed;
    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        nuint32 count = 0;
        if (!Succeeded(client_.NWDSList(context_, "", &iteration, reply.get())) ||
            !Succeeded(client_.NWDSGetObjectCount(context_, reply.get(), &count)))
            return false;
        // A chunk without entries that still promises more would never end.
        if (count == 0 && iteration != NO_MORE_ITERATIONS) return false;
        for (nuint32 i = 0; i < count; ++i) {
            NameText name{};
            Object_Info_T info{};
            nuint32 attributes = 0;
            if (!Succeeded(client_.NWDSGetObjectName(context_, reply.get(), name.data(),
                                                     &attributes, &info)))
                return false;
            auto code = ClassCode(textOf(info.baseClass, sizeof info.baseClass));
            if (code) listed.push_back({displayName(textOf(name)), *code});
        }
    } while (iteration != NO_MORE_ITERATIONS);
    entries.insert(entries.end(), listed.begin(), listed.end());
    return true;
}

int CNDSAccess::IsAuthenticated() {
    return loaded_ ? client_.NWIsDSAuthenticated() : 0;
}

}  // namespace kestrel::browser

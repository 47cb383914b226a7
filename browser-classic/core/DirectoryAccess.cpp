#include "DirectoryAccess.h"

#include <array>
#include <cstdio>
#include <memory>
#include <new>

#include "ClassCodes.h"
#include "nwcalls.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/ScopedBuffer.h"
#include "nwkit/ScopedContext.h"
#include "nwlocale.h"

namespace kestrel::classic {

namespace {

constexpr std::size_t kObjectInfoSize = 4096;
// Entry flags, creation and modification stamps, the full name and the dereferenced base
// class: the set this program has always asked for.
constexpr nuint32 kObjectInfoFlags = 139361;

}  // namespace

DirectoryAccess::DirectoryAccess(Ui& ui, std::size_t listBufferSize)
    : ui_(ui), listBufferSize_(listBufferSize) {
    initialized_ = initialize();
}

DirectoryAccess::~DirectoryAccess() {
    release();
}

bool DirectoryAccess::initialize() {
    if (NWCallsInit(nullptr, nullptr) != 0) return false;
    LCONV locale{};
    NWLlocaleconv(&locale);
    if (nint code = NWInitUnicodeTables(locale.country_id, locale.code_page); code != 0) {
        std::array<char, 64> text{};
        std::snprintf(text.data(), text.size(), "NWInitUnicodeTables() returned: %04X\n",
                      static_cast<unsigned>(code));
        ui_.showMessage(text.data());
        return false;
    }
    tablesLoaded_ = true;
    if (NWDSCreateContextHandle(&context_) != 0) {
        context_ = 0;
        ui_.showMessage("Fehler beim Erstellen des Kontext");
        release();
        return false;
    }
    nuint32 flags = 0;
    if (NWDSGetContext(context_, DCK_FLAGS, &flags) != 0 ||
        NWDSSetContext(context_, DCK_FLAGS, &flags) != 0) {
        ui_.showMessage("NDS Fehler!!!");
        release();
        return false;
    }
    return true;
}

void DirectoryAccess::release() {
    if (context_ != 0) NWDSFreeContext(context_);
    context_ = 0;
    if (tablesLoaded_) NWFreeUnicodeTables();
    tablesLoaded_ = false;
}

bool DirectoryAccess::isAuthenticated() {
    // Without a context nothing could be read even when logged in.
    return initialized_ && NWIsDSAuthenticated() != 0;
}

std::string DirectoryAccess::currentNameContext() {
    if (!initialized_) return {};
    nuint32 flags = 0;
    if (NWDSGetContext(context_, DCK_FLAGS, &flags) != 0 ||
        NWDSSetContext(context_, DCK_FLAGS, &flags) != 0) {
        ui_.showMessage("NDS Error (SetContext)!");
        return {};
    }
    std::array<char, MAX_DN_BYTES> name{};
    if (NWDSGetContext(context_, DCK_NAME_CONTEXT, name.data()) != 0) {
        ui_.showMessage("NDS Error (GetContext)!");
        return {};
    }
    return name.data();
}

std::string DirectoryAccess::fullNameOfContext(const std::string& name) {
    if (name.empty()) return {};
    std::unique_ptr<char[]> info(new (std::nothrow) char[kObjectInfoSize]);
    if (!info) {
        ui_.showMessage("Speicherfehler!!.");
        return "ERROR";
    }
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    nuint32 flags = kObjectInfoFlags;
    std::array<char, MAX_DN_BYTES> fullName{};
    std::string object = "." + name;
    if (context.create() != 0 || NWDSSetContext(context.get(), DCK_DSI_FLAGS, &flags) != 0 ||
        NWDSReadObjectDSIInfo(context.get(), object.c_str(), kObjectInfoSize, info.get()) != 0 ||
        NWDSGetDSIInfo(context.get(), info.get(), kObjectInfoSize, DSI_ENTRY_DN, fullName.data()) !=
            0)
        return "ERROR";
    return fullName.data();
}

std::optional<std::string> DirectoryAccess::treeName() {
    std::array<char, MAX_TREE_NAME_BYTES> tree{};
    if (!initialized_ || NWDSGetContext(context_, DCK_TREE_NAME, tree.data()) != 0)
        return std::nullopt;
    return std::string(tree.data());
}

bool DirectoryAccess::listContainer(const std::string& container, std::vector<ListEntry>& entries) {
    if (container.empty()) return true;
    if (!initialized_) return false;
    if (NWDSSetContext(context_, DCK_NAME_CONTEXT, container.c_str()) != 0) {
        ui_.showMessage("Fehler beim Setzen des Kontext.");
        return false;
    }
    std::array<char, MAX_DN_BYTES> readBack{};
    NWDSGetContext(context_, DCK_TREE_NAME, readBack.data());
    if (NWDSGetContext(context_, DCK_NAME_CONTEXT, readBack.data()) != 0) {
        ui_.showMessage("Fehler beim Holen des Kontext.");
        return false;
    }
    nw::kit::ScopedBuffer reply(nw::kit::linkedClient());
    if (reply.allocate(listBufferSize_) != 0) {
        ui_.showMessage("Speicherfehler!!.");
        return false;
    }
    nint32 iteration = NO_MORE_ITERATIONS;
    for (int calls = 1;; ++calls) {
        if (NWDSList(context_, "", &iteration, reply.get()) != 0) return false;
        nuint32 objects = 0;
        if (NWDSGetObjectCount(context_, reply.get(), &objects) != 0) return false;
        for (nuint32 i = 0; i < objects; ++i) {
            std::array<char, MAX_DN_BYTES> name{};
            nuint32 attributes = 0;
            Object_Info_T info{};
            if (NWDSGetObjectName(context_, reply.get(), name.data(), &attributes, &info) != 0)
                return false;
            if (isListedClass(info.baseClass))
                entries.push_back({name.data(), classCode(info.baseClass)});
        }
        if (iteration == NO_MORE_ITERATIONS) return true;
        // An empty reply that promises more would never end.
        if (objects == 0) return false;
        if (calls >= kMaxListCalls) {
            NWDSCloseIteration(context_, iteration, 0);
            ui_.showMessage("500 Iteration reached!\nNWDSList will be aborted now!");
            return true;
        }
    }
}

}  // namespace kestrel::classic

// The subtree search for objects of one class whose names contain a pattern.
#include "directory/CNDSAccess.h"
#include "nwkit/ClientText.h"
#include "nwkit/ScopedBuffer.h"
#include "nwkit/ScopedContext.h"

namespace kestrel::browser {

using nw::kit::NameText;
using nw::kit::ScopedBuffer;
using nw::kit::ScopedContext;
using nw::kit::textOf;

namespace {

constexpr std::size_t kSearchBufferSize = 4096;
constexpr const char* kClassAttribute = "Object Class";
constexpr std::string_view kEveryName = "*";

}  // namespace

bool CNDSAccess::BuildClassFilter(NWDSContextHandle context, pBuf_T filter,
                                  const std::string& className) {
    if (!Succeeded(client_.NWDSInitBuf(context, DSV_SEARCH_FILTER, filter))) {
        ui_.showMessage("NDS Error in function: NWDSInitBuf");
        return false;
    }
    pFilter_Cursor_T cursor = nullptr;
    if (!Succeeded(client_.NWDSAllocFilter(&cursor))) {
        ui_.showMessage("NDS Error in function: NWDSAllocFilter");
        return false;
    }
    // The client copies token values; it only wants them writable by its C signature.
    std::string attribute = kClassAttribute;
    std::string value = className;
    bool added =
        Succeeded(
            client_.NWDSAddFilterToken(cursor, FTOK_ANAME, attribute.data(), SYN_CLASS_NAME)) &&
        Succeeded(client_.NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0)) &&
        Succeeded(client_.NWDSAddFilterToken(cursor, FTOK_AVAL, value.data(), SYN_CLASS_NAME)) &&
        Succeeded(client_.NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0));
    if (!added) {
        client_.NWDSFreeFilter(cursor, nullptr);
        ui_.showMessage("NDS Error in function: NWDSAddFilterToken");
        return false;
    }
    // Frees the cursor whether it succeeds or not.
    if (!Succeeded(client_.NWDSPutFilter(context, filter, cursor, nullptr))) {
        ui_.showMessage("NDS Error in function: NWDSPutFilter");
        return false;
    }
    return true;
}

void CNDSAccess::Search(const std::string& className, std::vector<std::string>& found,
                        const std::string& pattern, const std::string& base) {
    if (!loaded_) return;
    ScopedContext context(client_);
    // A context that cannot be made is reported, and setting it up then fails visibly too.
    if (!Succeeded(context.createDefault())) ui_.showMessage("NWDSCreateContext failed.");
    // A new context starts on the client's default tree; search the tree this layer is on.
    if (auto tree = GetTreeName())
        Succeeded(client_.NWDSSetContext(context.get(), DCK_TREE_NAME, tree->c_str()));
    if (!Succeeded(client_.NWDSSetContext(context.get(), DCK_NAME_CONTEXT, base.c_str()))) {
        ui_.showMessage("NDS Error in function: NWDSSetContext.");
        return;
    }
    ScopedBuffer filter(client_), result(client_);
    if (!Succeeded(filter.allocate(kSearchBufferSize)) ||
        !Succeeded(result.allocate(kSearchBufferSize))) {
        ui_.showMessage("NDS Error in function: NWDSAllocBuf");
        return;
    }
    if (!BuildClassFilter(context.get(), filter.get(), className)) return;

    std::string from = "." + base;
    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        nint32 searched = 0;
        nuint32 count = 0;
        if (!Succeeded(client_.NWDSSearch(context.get(), from.c_str(), DS_SEARCH_SUBTREE, 0,
                                          filter.get(), DS_ATTRIBUTE_VALUES, 0, nullptr, &iteration,
                                          0, &searched, result.get())) ||
            !Succeeded(client_.NWDSGetObjectCount(context.get(), result.get(), &count)) ||
            count == 0)
            return;
        for (nuint32 i = 0; i < count; ++i) {
            NameText name{};
            Object_Info_T info{};
            nuint32 attributes = 0;
            if (!Succeeded(client_.NWDSGetObjectName(context.get(), result.get(), name.data(),
                                                     &attributes, &info)))
                return;
            std::string text = textOf(name);
            if (pattern == kEveryName || text.find(pattern) != std::string::npos)
                found.push_back(text);
        }
    } while (iteration != NO_MORE_ITERATIONS);
}

}  // namespace kestrel::browser

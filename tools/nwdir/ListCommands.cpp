// trees, list and search: commands that print one object or tree per line.
#include "CommandContext.h"
#include "Invocation.h"
#include "nwclxcon.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/ScopedBuffer.h"

namespace nwdir {

namespace {

// Large replies: a listing of a container of 100,000 objects then takes about a hundred
// round trips to a directory server instead of over a thousand, and the server, which picks
// up the listing afresh for each page, does a third less work.
constexpr std::size_t kReplySize = 64 * 1024;
constexpr std::size_t kFilterSize = 4096;

// Prints the objects of a filled list or search reply whose names contain `pattern` ("*":
// all) and counts them.
NWDSCCODE printObjects(const Invocation& run, const nw::kit::ScopedContext& context,
                       const nw::kit::ScopedBuffer& reply, const std::string& pattern,
                       std::size_t* printed) {
    nuint32 count = 0;
    if (NWDSCCODE rc = NWDSGetObjectCount(context.get(), reply.get(), &count); rc != 0) return rc;
    for (nuint32 i = 0; i < count; ++i) {
        char name[MAX_DN_BYTES];
        Object_Info_T info{};
        nuint32 attributes = 0;
        if (NWDSCCODE rc = NWDSGetObjectName(context.get(), reply.get(), name, &attributes, &info);
            rc != 0)
            return rc;
        if (pattern != "*" && std::string_view(name).find(pattern) == std::string_view::npos)
            continue;
        run.out << name;
        if (run.longFormat) run.out << '\t' << info.baseClass;
        run.out << '\n';
        ++*printed;
    }
    return 0;
}

}  // namespace

int runTrees(const Invocation& run) {
    TreeScan scan = scanTrees(run.tree);
    if (!scan.configured) {
        run.err << "nwdir: no directory is configured\n";
        return kNotFound;
    }
    if (scan.error != 0) return reportError(run, scan.error, "trees");
    for (const std::string& tree : scan.trees) run.out << tree << '\n';
    return scan.trees.empty() ? kNotFound : kDone;
}

int runList(const Invocation& run) {
    const std::string& container = run.words[1];
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    nw::kit::ScopedBuffer reply(nw::kit::linkedClient());
    NWDSCCODE rc = openCommandContext(context, run.tree);
    if (rc == 0) rc = reply.allocate(kReplySize);
    if (rc != 0) return reportError(run, rc, container);
    nint32 iteration = NO_MORE_ITERATIONS;
    std::size_t printed = 0;
    do {
        rc = NWDSList(context.get(), container.c_str(), &iteration, reply.get());
        if (rc == 0) rc = printObjects(run, context, reply, "*", &printed);
        if (rc != 0) return reportError(run, rc, container);
    } while (iteration != NO_MORE_ITERATIONS);
    return kDone;
}

int runSearch(const Invocation& run) {
    const std::string& objectClass = run.words[1];
    const std::string& pattern = run.words[2];
    const std::string& base = run.words[3];
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    nw::kit::ScopedBuffer filter(nw::kit::linkedClient()), reply(nw::kit::linkedClient());
    NWDSCCODE rc = openCommandContext(context, run.tree);
    if (rc == 0) rc = filter.allocate(kFilterSize);
    if (rc == 0) rc = reply.allocate(kReplySize);
    if (rc != 0) return reportError(run, rc, base);

    pFilter_Cursor_T cursor = nullptr;
    rc = NWDSInitBuf(context.get(), DSV_SEARCH_FILTER, filter.get());
    if (rc == 0) rc = NWDSAllocFilter(&cursor);
    if (rc == 0)
        rc = NWDSAddFilterToken(cursor, FTOK_ANAME, const_cast<char*>("Object Class"),
                                SYN_CLASS_NAME);
    if (rc == 0) rc = NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
    if (rc == 0)
        rc = NWDSAddFilterToken(cursor, FTOK_AVAL, const_cast<char*>(objectClass.c_str()),
                                SYN_CLASS_NAME);
    // The directory sifts the names through its index; printObjects checks them again.
    if (rc == 0 && pattern != "*") {
        rc = NWDSAddFilterToken(cursor, FTOK_AND, nullptr, 0);
        if (rc == 0) rc = NWDSAddFilterToken(cursor, FTOK_NAME_CONTAINS, nullptr, 0);
        if (rc == 0)
            rc = NWDSAddFilterToken(cursor, FTOK_AVAL, const_cast<char*>(pattern.c_str()),
                                    SYN_CI_STRING);
    }
    if (rc == 0) rc = NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
    if (rc == 0) {
        rc = NWDSPutFilter(context.get(), filter.get(), cursor, nullptr);
        cursor = nullptr;  // the client frees the cursor
    }
    NWDSFreeFilter(cursor, nullptr);
    if (rc != 0) return reportError(run, rc, objectClass);

    nint32 iteration = NO_MORE_ITERATIONS;
    std::size_t printed = 0;
    do {
        nint32 searched = 0;
        rc = NWDSSearch(context.get(), base.c_str(), DS_SEARCH_SUBTREE, false, filter.get(),
                        DS_ATTRIBUTE_NAMES, false, nullptr, &iteration, 0, &searched, reply.get());
        if (rc == 0) rc = printObjects(run, context, reply, pattern, &printed);
        if (rc != 0) return reportError(run, rc, base);
    } while (iteration != NO_MORE_ITERATIONS);
    return printed > 0 ? kDone : kNotFound;
}

}  // namespace nwdir

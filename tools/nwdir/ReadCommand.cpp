// read: the values of some or all attributes of one object, one value per line.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "CommandContext.h"
#include "Invocation.h"
#include "ValueText.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/ScopedBuffer.h"
#include "platform/AsciiCase.h"

namespace nwdir {

namespace {

constexpr std::size_t kBufferSize = 4096;

// Prints the attributes of one reply; `labelled` puts "name: " before each value.
NWDSCCODE printAttributes(const Invocation& run, const nw::kit::ScopedContext& context,
                          const nw::kit::ScopedBuffer& reply, bool labelled,
                          std::vector<std::string>* seen) {
    nuint32 attributes = 0;
    if (NWDSCCODE rc = NWDSGetAttrCount(context.get(), reply.get(), &attributes); rc != 0)
        return rc;
    for (nuint32 a = 0; a < attributes; ++a) {
        char name[MAX_SCHEMA_NAME_BYTES];
        nuint32 values = 0, syntax = 0;
        if (NWDSCCODE rc = NWDSGetAttrName(context.get(), reply.get(), name, &values, &syntax);
            rc != 0)
            return rc;
        seen->push_back(name);
        for (nuint32 v = 0; v < values; ++v) {
            nuint32 size = 0;
            if (NWDSCCODE rc = NWDSComputeAttrValSize(context.get(), reply.get(), syntax, &size);
                rc != 0)
                return rc;
            std::vector<std::uint64_t> area(size / 8 + 1);  // aligned for the value structures
            if (NWDSCCODE rc = NWDSGetAttrVal(context.get(), reply.get(), syntax, area.data());
                rc != 0)
                return rc;
            if (labelled) run.out << name << ": ";
            run.out << valueText(syntax, area.data()) << '\n';
        }
    }
    return 0;
}

}  // namespace

int runRead(const Invocation& run) {
    const std::string& object = run.words[1];
    std::vector<std::string> wanted(run.words.begin() + 2, run.words.end());
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    nw::kit::ScopedBuffer request(nw::kit::linkedClient()), reply(nw::kit::linkedClient());
    NWDSCCODE rc = openCommandContext(context, run.tree);
    if (rc == 0) rc = request.allocate(kBufferSize);
    if (rc == 0) rc = reply.allocate(kBufferSize);
    if (rc != 0) return reportError(run, rc, object);
    rc = NWDSInitBuf(context.get(), DSV_READ, request.get());
    for (std::size_t i = 0; rc == 0 && i < wanted.size(); ++i)
        rc = NWDSPutAttrName(context.get(), request.get(), wanted[i].c_str());
    if (rc != 0) return reportError(run, rc, object);

    std::vector<std::string> seen;
    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        rc = NWDSRead(context.get(), object.c_str(), DS_ATTRIBUTE_VALUES, wanted.empty(),
                      request.get(), &iteration, reply.get());
        if (rc == 0) rc = printAttributes(run, context, reply, wanted.size() != 1, &seen);
        if (rc != 0) {
            std::string subject = wanted.size() == 1 ? object + " " + wanted.front() : object;
            return reportError(run, rc, subject);
        }
    } while (iteration != NO_MORE_ITERATIONS);

    int result = kDone;
    for (const auto& name : wanted) {
        if (std::none_of(seen.begin(), seen.end(), [&](const auto& s) {
                return kestrel::platform::equalsIgnoreAsciiCase(s, name);
            })) {
            run.err << "nwdir: " << object << ": no attribute " << name << '\n';
            result = kNotFound;
        }
    }
    return result;
}

}  // namespace nwdir

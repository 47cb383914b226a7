// The kit's call table: bound at link time, or by name from opened libraries, all or nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "ExpectedMatchers.h"
#include "nwkit/LibraryBinding.h"
#include "nwkit/LinkedClient.h"

using namespace nw::kit;
using kestrel::test::FailsWith;
using kestrel::test::Succeeded;

namespace {

// Looks names up among the linked client's entry points, leaving out those in `absent`.
SymbolLookup linkedSymbols(std::set<std::string> absent, std::set<ClientLibrary>* asked) {
    return [absent, asked](ClientLibrary library, const char* name) -> void* {
        asked->insert(library);
        if (absent.count(name) > 0) return nullptr;
#define NWKIT_FIND(lib, entry) \
    if (std::strcmp(name, #entry) == 0) return reinterpret_cast<void*>(&::entry);
        NWKIT_ENTRY_POINTS(NWKIT_FIND)
#undef NWKIT_FIND
        return nullptr;
    };
}

TEST(KitBinding, TheLinkedClientFillsEveryEntryPoint) {
    const ClientCalls& calls = linkedClient();
#define NWKIT_EXPECT_LINKED(library, name) EXPECT_EQ(calls.name, &::name) << #name;
    NWKIT_ENTRY_POINTS(NWKIT_EXPECT_LINKED)
#undef NWKIT_EXPECT_LINKED
}

TEST(KitBinding, ByNameBindsOnlyTheLibrariesGiven) {
    std::set<ClientLibrary> asked;
    auto calls =
        bindByName({ClientLibrary::Calwin32, ClientLibrary::Clxwin32, ClientLibrary::Netwin32},
                   linkedSymbols({}, &asked));
    ASSERT_THAT(calls, Succeeded());
    EXPECT_EQ(asked, (std::set{ClientLibrary::Calwin32, ClientLibrary::Clxwin32,
                               ClientLibrary::Netwin32}));
    EXPECT_EQ(calls->NWCallsInit, &::NWCallsInit);
    EXPECT_EQ(calls->NWCCGetPrimConnRef, &::NWCCGetPrimConnRef);
    EXPECT_EQ(calls->NWDSSearch, &::NWDSSearch);
    EXPECT_EQ(calls->NWInitUnicodeTables, nullptr);
}

TEST(KitBinding, OneMissingEntryPointBindsNothing) {
    std::set<ClientLibrary> asked;
    EXPECT_THAT(bindByName({ClientLibrary::Netwin32}, linkedSymbols({"NWDSList"}, &asked)),
                FailsWith("netwin32 has no NWDSList"));
    EXPECT_THAT(bindByName({ClientLibrary::Calwin32, ClientLibrary::Locwin32},
                           linkedSymbols({"NWFreeUnicodeTables", "NWCallsInit"}, &asked)),
                FailsWith("calwin32 has no NWCallsInit"));
}

}  // namespace

// The kit's guards give back what they took from the client on every way out, and only that.
#include <gtest/gtest.h>

#include "nwkit/ScopedBuffer.h"
#include "nwkit/ScopedContext.h"
#include "nwkit/ScopedUnicodeTables.h"

using namespace nw::kit;

namespace {

// A client that answers from these settings and counts what is given back.
struct FakeClient {
    static inline NWDSCCODE answer = 0;
    static inline int freed = 0;
    static inline NWDSContextHandle lastFreed = 0;
};

ClientCalls fakeCalls() {
    ClientCalls calls;
    calls.NWDSCreateContextHandle = [](NWDSContextHandle* handle) -> NWDSCCODE {
        if (FakeClient::answer == 0) *handle = 7;
        return FakeClient::answer;
    };
    calls.NWDSCreateContext = []() -> NWDSContextHandle {
        return FakeClient::answer == 0 ? 8 : ERR_CONTEXT_CREATION;
    };
    calls.NWDSFreeContext = [](NWDSContextHandle handle) -> NWDSCCODE {
        ++FakeClient::freed;
        FakeClient::lastFreed = handle;
        return 0;
    };
    static char area[16];
    calls.NWDSAllocBuf = [](size_t, pBuf_T* buffer) -> NWDSCCODE {
        if (FakeClient::answer == 0) *buffer = reinterpret_cast<pBuf_T>(area);
        return FakeClient::answer;
    };
    calls.NWDSFreeBuf = [](pBuf_T) -> NWDSCCODE { return ++FakeClient::freed, 0; };
    calls.NWInitUnicodeTables = [](nint, nint) -> nint { return FakeClient::answer; };
    calls.NWFreeUnicodeTables = []() -> nint { return ++FakeClient::freed, 0; };
    return calls;
}

class KitGuards : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClient::answer = 0;
        FakeClient::freed = 0;
        FakeClient::lastFreed = 0;
    }
    const ClientCalls calls_ = fakeCalls();
};

TEST_F(KitGuards, ContextsAreFreedOnceWhenMade) {
    {
        ScopedContext context(calls_);
        ASSERT_EQ(context.create(), 0);
        EXPECT_EQ(context.get(), 7);
    }
    EXPECT_EQ(FakeClient::freed, 1);
    EXPECT_EQ(FakeClient::lastFreed, 7);
    {
        ScopedContext context(calls_);
        ASSERT_EQ(context.createDefault(), 0);
        ASSERT_EQ(context.create(), 0);  // a second context replaces the first
        EXPECT_EQ(FakeClient::freed, 2);
        EXPECT_EQ(FakeClient::lastFreed, 8);
    }
    EXPECT_EQ(FakeClient::freed, 3);

    FakeClient::answer = ERR_NOT_ENOUGH_MEMORY;
    {
        ScopedContext context(calls_), older(calls_);
        EXPECT_EQ(context.create(), ERR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(older.createDefault(), ERR_CONTEXT_CREATION);
        EXPECT_EQ(older.get(), ERR_CONTEXT_CREATION);
    }
    EXPECT_EQ(FakeClient::freed, 3);
}

TEST_F(KitGuards, BuffersAndTablesAreGivenBackOnlyWhenTaken) {
    {
        ScopedBuffer buffer(calls_);
        ScopedUnicodeTables tables(calls_);
        ASSERT_EQ(buffer.allocate(4096), 0);
        EXPECT_NE(buffer.get(), nullptr);
        ASSERT_EQ(tables.load(49, 65001), 0);
    }
    EXPECT_EQ(FakeClient::freed, 2);

    FakeClient::answer = ERR_UNICODE_FILE_NOT_FOUND;
    {
        ScopedBuffer buffer(calls_);
        ScopedUnicodeTables tables(calls_);
        EXPECT_EQ(buffer.allocate(4096), ERR_UNICODE_FILE_NOT_FOUND);
        EXPECT_EQ(buffer.get(), nullptr);
        EXPECT_EQ(tables.load(49, 999), ERR_UNICODE_FILE_NOT_FOUND);
    }
    EXPECT_EQ(FakeClient::freed, 2);
}

}  // namespace

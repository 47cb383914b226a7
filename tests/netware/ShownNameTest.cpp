// Names as a context shows them, the same for both backends: relative only strictly below
// the name context, compared without regard to case and by whole components.
#include <gtest/gtest.h>

#include "ShownName.h"

using namespace nw;

namespace {

const AbsoluteName kRoot{};
const AbsoluteName kSales{{{"OU", "Sales"}, {"O", "Acme"}}};
const AbsoluteName kResearch{{{"OU", "R.D"}, {"O", "Acme"}}};  // stored as OU=R\.D.O=Acme

struct Case {
    const char* stored;
    const AbsoluteName* nameContext;
    bool canonicalize;
    bool typeless;
    const char* shown;
};

TEST(ShownName, RelativeOnlyStrictlyBelowTheNameContext) {
    const Case cases[] = {
        {"CN=WS1.OU=Lab.OU=Sales.O=Acme", &kSales, true, false, "CN=WS1.OU=Lab"},
        {"CN=WS1.OU=Lab.OU=Sales.O=Acme", &kSales, true, true, "WS1.Lab"},
        {"CN=WS1.OU=Lab.OU=Sales.O=Acme", &kSales, false, true, "WS1.Lab.Sales.Acme"},
        {"CN=WS1.OU=Lab.OU=Sales.O=Acme", &kRoot, true, false, "CN=WS1.OU=Lab.OU=Sales.O=Acme"},
        {"CN=WS1.OU=Lab.OU=Sales.O=Acme", &kRoot, true, true, "WS1.Lab.Sales.Acme"},
        // The context's own object and those above or beside it keep their full names.
        {"OU=Sales.O=Acme", &kSales, true, true, "Sales.Acme"},
        {"O=Acme", &kSales, true, false, "O=Acme"},
        {"CN=X.L=Sales.O=Acme", &kSales, true, false, "CN=X.L=Sales.O=Acme"},
        {"CN=X.OU=Sales.O=Other", &kSales, true, false, "CN=X.OU=Sales.O=Other"},
        // Types and values compare without regard to case; the stored spelling is shown.
        {"Cn=ws1.ou=SALES.o=acme", &kSales, true, false, "Cn=ws1"},
        // Escaped full stops are part of a value, never a boundary between components.
        {"CN=WS1.OU=R\\.D.O=Acme", &kResearch, true, false, "CN=WS1"},
        {"CN=WS1.OU=D.O=Acme", &kResearch, true, false, "CN=WS1.OU=D.O=Acme"},
        {"CN=A\\.OU=Sales.O=Acme", &kSales, true, false, "CN=A\\.OU=Sales.O=Acme"},
        {"CN=B.CN=A\\.OU=Sales.O=Acme", &kSales, true, false, "CN=B.CN=A\\.OU=Sales.O=Acme"},
        {"CN=a\\\\b.OU=Sales.O=Acme", &kSales, true, true, "a\\\\b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shownName(c.stored, *c.nameContext, c.canonicalize, c.typeless), c.shown)
            << c.stored << " against " << c.nameContext->text()
            << (c.canonicalize ? " canonicalised" : "") << (c.typeless ? " typeless" : "");
}

TEST(ShownName, TheContextsFlagsChooseTheForm) {
    Context context;
    context.nameContext = kSales;
    EXPECT_EQ(shownName("CN=WS17.OU=Sales.O=Acme", context), "CN=WS17");
    context.flags |= DCV_TYPELESS_NAMES;
    EXPECT_EQ(shownName("CN=WS17.OU=Sales.O=Acme", context), "WS17");
    context.flags &= ~std::uint32_t{DCV_CANONICALIZE_NAMES};
    EXPECT_EQ(shownName("CN=WS17.OU=Sales.O=Acme", context), "WS17.Sales.Acme");
}

}  // namespace

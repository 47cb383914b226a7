#include "ClientLogin.h"

#include "nwcalls.h"
#include "nwnet.h"

namespace kestrel::test {

int loginThroughClient(const std::string& tree, const std::string& user,
                       const std::string& password) {
    if (const NWCCODE rc = NWCallsInit(nullptr, nullptr); rc != 0) return rc;
    NWDSContextHandle context = 0;
    NWDSCCODE rc = NWDSCreateContextHandle(&context);
    if (rc != 0) return rc;
    rc = NWDSSetContext(context, DCK_TREE_NAME, tree.c_str());
    if (rc == 0) rc = NWDSLogin(context, 0, user.c_str(), password.c_str(), 0);
    NWDSFreeContext(context);
    return rc;
}

}  // namespace kestrel::test

// Logs this process's directory client in the way a program does it, through the client's C
// entry points, so that every later client of this user (in this process or another) finds
// the login in the session.
#pragma once

#include <string>

namespace kestrel::test {

// 0, or the code of the first call that failed.
int loginThroughClient(const std::string& tree, const std::string& user,
                       const std::string& password);

}  // namespace kestrel::test

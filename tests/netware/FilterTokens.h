// Search filter tokens as tests write them: a list of token, text or number, and syntax.
#pragma once

#include <vector>

#include "nwnet.h"

namespace nwtest {

struct Token {
    nuint16 token;
    const char* text = nullptr;
    nuint32 syntax = 0;
    nuint32 number = 0;
};

// Adds the tokens to the cursor; 0, or the code of the first token refused.
inline NWDSCCODE addTokens(pFilter_Cursor_T cursor, const std::vector<Token>& tokens) {
    for (const Token& t : tokens) {
        void* value = t.text ? const_cast<char*>(t.text) : nullptr;
        if (t.token == FTOK_AVAL && t.syntax == SYN_INTEGER)
            value = const_cast<nuint32*>(&t.number);
        if (NWDSCCODE rc = NWDSAddFilterToken(cursor, t.token, value, t.syntax); rc != 0) return rc;
    }
    return 0;
}

}  // namespace nwtest

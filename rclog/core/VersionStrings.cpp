#include "VersionStrings.h"

#include "VersionMetadata.h"

namespace kestrel::rclog {

VersionStrings VersionStrings::ofThisProgram() {
    return {metadata::kProductVersion, metadata::kComments, metadata::kLegalCopyright,
            metadata::kCompanyName, metadata::kLegalTrademarks};
}

}  // namespace kestrel::rclog

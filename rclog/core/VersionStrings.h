// The program's version texts. A Linux program carries no version resource, so they come from
// the build (see VersionMetadata.h.in); a text the build leaves out is empty.
#pragma once

#include <string>

namespace kestrel::rclog {

struct VersionStrings {
    std::string productVersion;
    std::string comments;
    std::string legalCopyright;
    std::string companyName;
    std::string legalTrademarks;

    // "Version <ProductVersion> <Comments>"
    std::string versionLine() const { return "Version " + productVersion + " " + comments; }
    // "<LegalCopyright>, <CompanyName>  <LegalTrademarks>"
    std::string legalLine() const {
        return legalCopyright + ", " + companyName + "  " + legalTrademarks;
    }

    static VersionStrings ofThisProgram();
};

}  // namespace kestrel::rclog

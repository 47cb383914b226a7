// Reads named attributes of one directory object into texts, reporting every failing call in
// a message box.
#pragma once

#include <string>
#include <vector>

#include "Ui.h"
#include "nwkit/ClientCalls.h"

namespace kestrel::rclog {

inline constexpr std::size_t kAttributeValueLimit = 256;

class AttributeReader {
  public:
    // `debug` adds the diagnostic boxes (attribute and value counts, each value).
    AttributeReader(Ui& ui, const nw::kit::ClientCalls& calls, NWDSContextHandle context,
                    std::string caption, bool debug);

    // Sets each value to "Unknown", then to the last value the directory holds for that name
    // (names compare without regard to case). 0 on success, else the code of the failing call
    // (1 when the request buffer cannot be had).
    NWDSCCODE read(const std::string& object, const std::vector<std::string>& names,
                   std::vector<std::string>& values);

  private:
    NWDSCCODE takeAttributes(pBuf_T reply, const std::vector<std::string>& names,
                             std::vector<std::string>& values, nuint32* count);
    NWDSCCODE takeValue(pBuf_T reply, nuint32 syntax, nuint32 number, std::string* value);
    NWDSCCODE fail(const std::string& text, NWDSCCODE code);
    void diagnose(const std::string& text);

    Ui& ui_;
    const nw::kit::ClientCalls& calls_;
    NWDSContextHandle context_;
    std::string caption_;
    bool debug_;
};

}  // namespace kestrel::rclog

// Search filters both ways a caller can hand them over: as tokens through NWDSAddFilterToken
// (the grammar checked, then stored in the filter buffer) and as the bytes of a filter buffer
// that the caller wrote itself. Every filter that reads back is evaluated on a few objects.
//
// Input: a mode byte (even: tokens, odd: raw buffer). Tokens are records of a token index,
// a syntax byte, a length byte and that many value bytes.
#include <cstring>
#include <memory>

#include "DirectoryLoader.h"
#include "FuzzInput.h"
#include "ReplyBuffer.h"
#include "SearchFilter.h"

namespace {

constexpr std::uint16_t kTokens[] = {FTOK_END,     FTOK_OR,     FTOK_AND,     FTOK_NOT,
                                     FTOK_LPAREN,  FTOK_RPAREN, FTOK_AVAL,    FTOK_EQ,
                                     FTOK_GE,      FTOK_LE,     FTOK_APPROX,  FTOK_ANAME,
                                     FTOK_PRESENT, FTOK_RDN,    FTOK_BASECLS, FTOK_NAME_CONTAINS};

constexpr std::string_view kObjects = R"({"trees": [{"name": "T", "objects": [
  {"name": "O=Acme", "class": "Organization"},
  {"name": "CN=WS17.O=Acme", "class": "Workstation", "attributes": {
    "WM:NAME Computer": ["WS17"], "Some Number": [{"integer": 42}],
    "Some Time": [{"time": 915239109}], "Some Octets": [{"octets": "hex:00ff"}]}}]}]})";

const nw::Tree& objects() {
    static const auto directory = nw::parseDirectory(kObjects, "objects");
    if (!directory) std::abort();
    return (*directory)->trees().front();
}

struct BufferDeleter {
    void operator()(nw::BufferImpl* buffer) const { nw::freeBuffer(&buffer->pub); }
};
using Buffer = std::unique_ptr<nw::BufferImpl, BufferDeleter>;

void evaluate(nw::BufferImpl& buffer) {
    nw::SearchFilter filter;
    if (nw::readFilter(buffer, &filter) != 0) return;
    const nw::Tree& tree = objects();
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const nw::ObjectView object = tree.object(static_cast<int>(i));
        (void)filter.matches(object, object.name());
    }
    (void)filter.namePart();
    (void)filter.classPosting();
}

void fromTokens(std::string_view input, nw::BufferImpl& buffer) {
    Filter_Cursor_T cursor;
    // Values stay where the caller put them until the filter is written, as the API's
    // callers keep theirs.
    std::vector<std::string> values;
    values.reserve(input.size());
    while (input.size() >= 3) {
        const auto token = kTokens[static_cast<unsigned char>(input[0]) % std::size(kTokens)];
        const auto syntax = static_cast<unsigned char>(input[1]) % 32u;
        const std::size_t length =
            std::min<std::size_t>(static_cast<unsigned char>(input[2]), input.size() - 3);
        std::string& value = values.emplace_back(input.substr(3, length));
        value.resize(std::max<std::size_t>(value.size(), 4));  // numeric values read 4 bytes
        value.push_back('\0');
        input.remove_prefix(3 + length);
        (void)nw::addFilterToken(cursor, token, value.data(), syntax);
    }
    if (nw::writeFilter(cursor, buffer) == 0) evaluate(buffer);
}

void fromBytes(std::string_view input, nw::BufferImpl& buffer) {
    nw::resetBuffer(buffer, nw::BufferKind::FilterRequest);
    const std::size_t length = std::min<std::size_t>(input.size(), buffer.pub.maxLen);
    std::memcpy(buffer.pub.data, input.data(), length);
    buffer.pub.curLen = static_cast<nuint32>(length);
    evaluate(buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Buffer buffer(nw::allocateBuffer(4096));
    if (!buffer) std::abort();
    const auto input = kestrel::fuzz::text(data + 1, size - 1);
    if (data[0] % 2 == 0)
        fromTokens(input, *buffer);
    else
        fromBytes(input, *buffer);
    return 0;
}

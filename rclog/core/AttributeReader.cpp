#include "AttributeReader.h"

#include <algorithm>
#include <optional>

#include "AttributeValueText.h"
#include "Format.h"
#include "SessionArguments.h"
#include "TextLimit.h"
#include "nwkit/ScopedBuffer.h"
#include "platform/AsciiCase.h"

namespace kestrel::rclog {

namespace {

constexpr std::size_t kBufferSize = 4096;
// Values are read into at least this much zeroed memory, more when the value needs it.
constexpr std::size_t kValueAreaSize = 256;

unsigned hex(NWDSCCODE code) {
    return static_cast<unsigned>(code);
}

}  // namespace

AttributeReader::AttributeReader(Ui& ui, const nw::kit::ClientCalls& calls,
                                 NWDSContextHandle context, std::string caption, bool debug)
    : ui_(ui), calls_(calls), context_(context), caption_(std::move(caption)), debug_(debug) {}

NWDSCCODE AttributeReader::fail(const std::string& text, NWDSCCODE code) {
    ui_.showMessage(text, caption_, Icon::Stop);
    return code;
}

void AttributeReader::diagnose(const std::string& text) {
    if (debug_) ui_.showMessage(text, caption_, Icon::None);
}

NWDSCCODE AttributeReader::read(const std::string& object, const std::vector<std::string>& names,
                                std::vector<std::string>& values) {
    values.resize(names.size());
    nw::kit::ScopedBuffer request(calls_);
    if (NWDSCCODE rc = request.allocate(kBufferSize); rc != 0)
        return fail(format("ReadAttr: NWDSAllocBuf returned: %04X", hex(rc)), 1);
    if (NWDSCCODE rc = calls_.NWDSInitBuf(context_, DSV_READ, request.get()); rc != 0)
        return fail(format("ReadAttr: NWDSInitBuf returned: %04X", hex(rc)), rc);
    for (std::size_t i = 0; i < names.size(); ++i) {
        values[i] = kUnknown;
        if (NWDSCCODE rc = calls_.NWDSPutAttrName(context_, request.get(), names[i].c_str());
            rc != 0)
            return fail(format("ReadAttr: NWDSPutAttrName[%d] returned: %04X", static_cast<int>(i),
                               hex(rc)),
                        rc);
    }
    nw::kit::ScopedBuffer reply(calls_);
    if (NWDSCCODE rc = reply.allocate(kBufferSize); rc != 0)
        return fail(format("ReadAttr: NWDSAllocBuf[2] returned: %04X", hex(rc)), rc);

    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        NWDSCCODE rc = calls_.NWDSRead(context_, object.c_str(), DS_ATTRIBUTE_VALUES, 0,
                                       request.get(), &iteration, reply.get());
        if (rc == ERR_NO_SUCH_ATTRIBUTE)
            return fail("ReadAttr: NWDSRead can't find specified attribute(s)", rc);
        if (rc != 0) return fail(format("ReadAttr: NWDSRead returned: %04X", hex(rc)), rc);
        nuint32 count = 0;
        if (rc = takeAttributes(reply.get(), names, values, &count); rc != 0) return rc;
        // A part without attributes that still promises more would never end.
        if (count == 0 && iteration != NO_MORE_ITERATIONS)
            return fail(format("ReadAttr: NWDSRead returned: %04X", hex(ERR_INVALID_ITERATION)),
                        ERR_INVALID_ITERATION);
    } while (iteration != NO_MORE_ITERATIONS);
    return 0;
}

NWDSCCODE AttributeReader::takeAttributes(pBuf_T reply, const std::vector<std::string>& names,
                                          std::vector<std::string>& values, nuint32* count) {
    if (NWDSCCODE rc = calls_.NWDSGetAttrCount(context_, reply, count); rc != 0)
        return fail(format("ReadAttr: NWDSGetAttrCount returned: %04X", hex(rc)), rc);
    diagnose(format("attrCount = %d", static_cast<int>(*count)));
    for (nuint32 a = 0; a < *count; ++a) {
        char name[MAX_SCHEMA_NAME_BYTES] = {};
        nuint32 valueCount = 0;
        nuint32 syntax = 0;
        if (NWDSCCODE rc = calls_.NWDSGetAttrName(context_, reply, name, &valueCount, &syntax);
            rc != 0)
            return fail(format("ReadAttr: NWDSGetAttrName returned: %04X", hex(rc)), rc);
        diagnose(format("valCount = %d", static_cast<int>(valueCount)));
        const auto match = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
            return platform::equalsIgnoreAsciiCase(n, name);
        });
        const auto index = static_cast<std::size_t>(match - names.begin());
        for (nuint32 v = 0; v < valueCount; ++v) {
            std::string* target = match == names.end() ? nullptr : &values[index];
            if (NWDSCCODE rc = takeValue(reply, syntax, v, target); rc != 0) return rc;
            if (target != nullptr)
                diagnose(format("aValue[%d] = %s", static_cast<int>(index), target->c_str()));
        }
    }
    return 0;
}

// Reads the next value; `value` (null for an attribute nobody asked for) takes its text.
NWDSCCODE AttributeReader::takeValue(pBuf_T reply, nuint32 syntax, nuint32 number,
                                     std::string* value) {
    nuint32 size = 0;
    NWDSCCODE rc = calls_.NWDSComputeAttrValSize(context_, reply, syntax, &size);
    std::vector<unsigned char> area(std::max<std::size_t>(size, kValueAreaSize));
    if (rc == 0) rc = calls_.NWDSGetAttrVal(context_, reply, syntax, area.data());
    if (rc != 0)
        return fail(format("ReadAttr: NWDSGetAttrVal[%d] returned: %04X", static_cast<int>(number),
                           hex(rc)),
                    rc);
    if (value != nullptr) {
        if (std::optional<std::string> text = attributeValueText(syntax, area.data()))
            *value = limitText(std::move(*text), kAttributeValueLimit);
    }
    return 0;
}

}  // namespace kestrel::rclog

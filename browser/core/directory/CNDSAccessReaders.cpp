// Reading the values of one attribute of one object, in the four shapes the details need.
#include <array>
#include <string>
#include <utility>

#include "directory/CNDSAccess.h"
#include "directory/TimeText.h"
#include "nwkit/ScopedBuffer.h"

namespace kestrel::browser {

using nw::kit::ScopedBuffer;

namespace {

constexpr std::size_t kRequestBufferSize = 4096;
constexpr std::size_t kReplyBufferSize = 256;
// A value that does not fit the customary reply buffer is read again with a larger one, up
// to the largest reply the directory sends.
constexpr std::size_t kLargestReplySize = 64 * 1024;
constexpr const char* kError = "ERROR";
constexpr const char* kNoValue = "no value";

}  // namespace

CNDSAccess::ReadOutcome CNDSAccess::ReadValues(const std::string& attribute,
                                               const std::string& object, const ValueSink& take) {
    if (!loaded_) return ReadOutcome::Failed;
    // The leaf is read relative to its container, which becomes the name context.
    auto stop = object.find('.');
    std::string leaf = object.substr(0, stop);
    std::string container = stop == std::string::npos ? std::string() : object.substr(stop + 1);
    if (!Succeeded(client_.NWDSSetContext(context_, DCK_NAME_CONTEXT, container.c_str()))) {
        ui_.showMessage("NDS Error in function: NWDSSetContext.");
        return ReadOutcome::Failed;
    }
    ScopedBuffer request(client_), reply(client_);
    if (!Succeeded(request.allocate(kRequestBufferSize)) ||
        !Succeeded(reply.allocate(kReplyBufferSize))) {
        ui_.showMessage("NDS Error in function: NWDSAllocBuf.");
        return ReadOutcome::Failed;
    }
    if (!Succeeded(client_.NWDSInitBuf(context_, DSV_READ, request.get()))) {
        ui_.showMessage("NDS Error in function: NWDSInitBuf.");
        return ReadOutcome::Failed;
    }
    if (!Succeeded(client_.NWDSPutAttrName(context_, request.get(), attribute.c_str()))) {
        ui_.showMessage("NDS Error in function: NWDSPutAttrName.");
        return ReadOutcome::Failed;
    }
    nint32 iteration = NO_MORE_ITERATIONS;
    std::size_t replySize = kReplyBufferSize;
    for (;;) {
        if (!Succeeded(client_.NWDSRead(context_, leaf.c_str(), DS_ATTRIBUTE_VALUES, 0,
                                        request.get(), &iteration, reply.get()))) {
            if (lastResult_ != ERR_INSUFFICIENT_BUFFER)
                return lastResult_ == ERR_NO_SUCH_ATTRIBUTE ? ReadOutcome::Absent
                                                            : ReadOutcome::Failed;
            if (replySize >= kLargestReplySize) {
                ui_.showMessage("A value of attribute '" + attribute + "' of '" + object +
                                "' is larger than " + std::to_string(kLargestReplySize) +
                                " bytes and cannot be read!");
                return ReadOutcome::Failed;
            }
            // The same part of the object again, into a larger buffer.
            replySize *= 2;
            if (!Succeeded(reply.allocate(replySize))) {
                ui_.showMessage("NDS Error in function: NWDSAllocBuf.");
                return ReadOutcome::Failed;
            }
            continue;
        }
        bool empty = false;
        if (!TakeValues(reply.get(), take, &empty)) return ReadOutcome::Failed;
        if (iteration == NO_MORE_ITERATIONS) return ReadOutcome::Done;
        // A reply without attributes that still promises more would never end.
        if (empty) return ReadOutcome::Failed;
    }
}

bool CNDSAccess::TakeValues(pBuf_T reply, const ValueSink& take, bool* empty) {
    nuint32 attributes = 0;
    if (!Succeeded(client_.NWDSGetAttrCount(context_, reply, &attributes))) {
        ui_.showMessage("NDS Error in function: NWDSGetAttrCount.");
        return false;
    }
    *empty = attributes == 0;
    for (nuint32 a = 0; a < attributes; ++a) {
        std::array<char, MAX_SCHEMA_NAME_BYTES> name{};
        nuint32 values = 0, syntax = 0;
        if (!Succeeded(client_.NWDSGetAttrName(context_, reply, name.data(), &values, &syntax))) {
            ui_.showMessage("NDS Error in function: NWDSGetAttrName.");
            return false;
        }
        for (nuint32 v = 0; v < values; ++v) {
            // Values can outgrow the customary 256 bytes; the area grows with them. Network
            // addresses are told by their syntax.
            nuint32 size = 0;
            if (!Succeeded(client_.NWDSComputeAttrValSize(context_, reply, syntax, &size))) {
                ui_.showMessage("NDS Error in function: NWDSGetAttrVal.");
                return false;
            }
            ValueArea area(size, syntax);
            if (!Succeeded(client_.NWDSGetAttrVal(context_, reply, syntax, area.data()))) {
                ui_.showMessage("NDS Error in function: NWDSGetAttrVal.");
                return false;
            }
            take(std::move(area));
        }
    }
    return true;
}

std::optional<ValueArea> CNDSAccess::ReadLastValue(const std::string& attribute,
                                                   const std::string& object) {
    ValueArea last;
    auto keep = [&last](ValueArea&& area) { last = std::move(area); };
    if (ReadValues(attribute, object, keep) != ReadOutcome::Done) return std::nullopt;
    return last;
}

std::string CNDSAccess::ReadTimeAttr(const std::string& attribute, const std::string& object) {
    auto value = ReadLastValue(attribute, object);
    if (!value) return kError;
    std::string text = timeText(value->number());
    return text.empty() ? kError : text;
}

std::string CNDSAccess::ReadStringAttr(std::string& attribute, const std::string& object) {
    auto value = ReadLastValue(attribute, object);
    if (!value) return kError;
    attribute = value->shownText();
    return attribute;
}

std::string CNDSAccess::ReadOctetAttr(std::string& attribute, const std::string& object) {
    auto value = ReadLastValue(attribute, object);
    if (!value) return kError;
    attribute = value->octetText();
    return value->text();
}

void CNDSAccess::ReadStringListAttr(const std::string& attribute, std::vector<std::string>& values,
                                    const std::string& object) {
    std::vector<std::string> read;
    auto append = [&read](ValueArea&& area) { read.push_back(area.shownText()); };
    switch (ReadValues(attribute, object, append)) {
        case ReadOutcome::Done:
            values.insert(values.end(), read.begin(), read.end());
            break;
        case ReadOutcome::Absent:
            values.push_back(kNoValue);
            break;
        case ReadOutcome::Failed:
            break;
    }
}

}  // namespace kestrel::browser

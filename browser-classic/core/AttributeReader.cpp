// The first edition's single attribute reader and the attribute-name read of the
// workstation information.
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "DirectoryAccess.h"
#include "GermanTime.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/ScopedBuffer.h"
#include "nwkit/Syntax.h"

namespace kestrel::classic {

namespace {

constexpr std::size_t kReadBufferSize = 4096;
constexpr const char* kError = "ERROR";

using nw::kit::isTextSyntax;
using nw::kit::ScopedBuffer;

// Picks the value the mode asks for among the values of one read, in the order they come.
class ValuePicker {
  public:
    ValuePicker(ReadMode mode, int index) : mode_(mode), index_(index) {}

    void offer(nuint32 syntax, const std::vector<unsigned char>& area) {
        int position = seen_++;
        if (picked_) return;
        if (mode_ == ReadMode::ByIndex) {
            if (position != index_) return;
        } else if (isTextSyntax(syntax)) {
            std::string text = textOf(area);
            if (text.find(mode_ == ReadMode::FirstWithColon ? ':' : '.') == std::string::npos)
                return;
        }
        result_ = convert(syntax, area);
        picked_ = true;
    }

    const std::string& result() const { return result_; }

  private:
    static std::string textOf(const std::vector<unsigned char>& area) {
        const char* start = reinterpret_cast<const char*>(area.data());
        return std::string(start, strnlen(start, area.size()));
    }

    static std::string convert(nuint32 syntax, const std::vector<unsigned char>& area) {
        if (isTextSyntax(syntax)) return textOf(area);
        if (syntax != SYN_INTEGER && syntax != SYN_TIME) return {};
        nuint32 number = 0;
        if (area.size() < sizeof number) return {};
        std::memcpy(&number, area.data(), sizeof number);
        if (syntax == SYN_TIME) return germanTimeText(number);
        return std::to_string(static_cast<nint32>(number));
    }

    ReadMode mode_;
    int index_;
    int seen_ = 0;
    bool picked_ = false;
    std::string result_;
};

}  // namespace

std::string DirectoryAccess::readAttribute(const std::string& attribute, const std::string& object,
                                           ReadMode mode, int index) {
    if (!initialized_) return kError;
    ScopedBuffer request(nw::kit::linkedClient()), reply(nw::kit::linkedClient());
    if (request.allocate(kReadBufferSize) != 0) {
        ui_.showMessage("NWDSAllocBuf returned");
        return kError;
    }
    if (NWDSInitBuf(context_, DSV_READ, request.get()) != 0) {
        ui_.showMessage("NWDSInitBuf returned");
        return kError;
    }
    if (NWDSPutAttrName(context_, request.get(), attribute.c_str()) != 0) {
        ui_.showMessage("NWDSPutAttrName returned:");
        return kError;
    }
    if (reply.allocate(kReadBufferSize) != 0) {
        ui_.showMessage("NWDSAllocBuf returned:");
        return kError;
    }
    auto fail = [this](const std::string& message, NWDSCCODE code) {
        ui_.showMessage(message + std::to_string(code));
        return std::string(kError);
    };
    ValuePicker picker(mode, index);
    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        if (NWDSRead(context_, object.c_str(), DS_ATTRIBUTE_VALUES, 0, request.get(), &iteration,
                     reply.get()) != 0)
            return kError;
        nuint32 attributes = 0;
        if (NWDSCCODE rc = NWDSGetAttrCount(context_, reply.get(), &attributes); rc != 0)
            return fail("\nNWDSGetAttrCount returned: ", rc);
        // A reply without attributes that still promises more would never end.
        if (attributes == 0 && iteration != NO_MORE_ITERATIONS) return kError;
        for (nuint32 a = 0; a < attributes; ++a) {
            std::array<char, MAX_SCHEMA_NAME_BYTES> name{};
            nuint32 values = 0, syntax = 0;
            if (NWDSCCODE rc =
                    NWDSGetAttrName(context_, reply.get(), name.data(), &values, &syntax);
                rc != 0)
                return fail("\nNWDSGetAttrName returned:", rc);
            for (nuint32 v = 0; v < values; ++v) {
                nuint32 size = 0;
                if (NWDSCCODE rc = NWDSComputeAttrValSize(context_, reply.get(), syntax, &size);
                    rc != 0)
                    return fail("NWDSComputeAttrValSize returned ", rc);
                std::vector<unsigned char> area;
                try {
                    area.assign(size, 0);
                } catch (const std::bad_alloc&) {
                    ui_.showMessage("Attempt to allocate memory for value failed!");
                    return kError;
                }
                if (NWDSCCODE rc = NWDSGetAttrVal(context_, reply.get(), syntax, area.data());
                    rc != 0)
                    return fail("\nNWDSGetAttrVal returned: ", rc);
                picker.offer(syntax, area);
            }
        }
    } while (iteration != NO_MORE_ITERATIONS);
    return picker.result();
}

std::vector<std::string> DirectoryAccess::readAttributeNames(const std::string& object) {
    std::vector<std::string> names;
    if (!initialized_) return names;
    ScopedBuffer reply(nw::kit::linkedClient());
    if (reply.allocate(kReadBufferSize) != 0) {
        ui_.showMessage("NDSFehler in Funktion: NWDSAllocBuf.");
        return names;
    }
    nint32 iteration = NO_MORE_ITERATIONS;
    do {
        if (NWDSRead(context_, object.c_str(), DS_ATTRIBUTE_NAMES, 1, nullptr, &iteration,
                     reply.get()) != 0) {
            ui_.showMessage("NDSFehler in Funktion: NWDSRead.");
            return {};
        }
        nuint32 attributes = 0;
        if (NWDSGetAttrCount(context_, reply.get(), &attributes) != 0) {
            ui_.showMessage("NDSFehler in Funktion: NWDSGetAttrCount.");
            return {};
        }
        if (attributes == 0 && iteration != NO_MORE_ITERATIONS) return {};
        for (nuint32 a = 0; a < attributes; ++a) {
            std::array<char, MAX_SCHEMA_NAME_BYTES> name{};
            nuint32 values = 0, syntax = 0;
            if (NWDSGetAttrName(context_, reply.get(), name.data(), &values, &syntax) != 0) {
                ui_.showMessage("NDSFehler in Funktion: NWDSGetAttrName.");
                return {};
            }
            names.emplace_back(name.data());
        }
    } while (iteration != NO_MORE_ITERATIONS);
    return names;
}

}  // namespace kestrel::classic

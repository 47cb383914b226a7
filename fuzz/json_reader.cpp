// JSON as the directory file's streaming reader walks it: every value visited, every
// syntax error thrown as JsonSyntaxError and nothing else.
#include "FuzzInput.h"
#include "JsonReader.h"

namespace {

// The reader itself refuses nesting past its limit, so the walk may recurse freely.
void walk(nw::JsonReader& reader) {
    switch (reader.peek()) {
        case nw::JsonKind::Object: {
            reader.beginObject();
            std::string_view key;
            while (reader.nextMember(&key)) walk(reader);
            break;
        }
        case nw::JsonKind::Array:
            reader.beginArray();
            while (reader.nextElement()) walk(reader);
            break;
        case nw::JsonKind::String:
            (void)reader.readString();
            break;
        case nw::JsonKind::Number:
            (void)reader.readNumber();
            break;
        case nw::JsonKind::Boolean:
            (void)reader.readBoolean();
            break;
        case nw::JsonKind::Null:
            reader.readNull();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto json = kestrel::fuzz::text(data, size);
    try {
        nw::JsonReader reader(json);
        walk(reader);
        reader.finish();
    } catch (const nw::JsonSyntaxError&) {
    }
    try {
        nw::JsonReader skipping(json);
        skipping.skipValue();
        skipping.finish();
    } catch (const nw::JsonSyntaxError&) {
    }
    return 0;
}

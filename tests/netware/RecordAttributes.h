// The attributes of an object record as tests compare them, read through the record's views.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ObjectRecord.h"

namespace nwtest {

struct RecordAttribute {
    std::string name;
    std::uint32_t syntax = 0;
    std::vector<std::string> values;
    bool operator==(const RecordAttribute&) const = default;
};

// Every attribute in stored order; each attribute's value count must match its values.
inline std::vector<RecordAttribute> attributesOf(const nw::ObjectView& object) {
    std::vector<RecordAttribute> out;
    auto attributes = object.attributes();
    nw::AttributeView attribute;
    while (attributes.next(&attribute)) {
        RecordAttribute entry{std::string(attribute.name()), attribute.syntax(), {}};
        auto values = attribute.values();
        std::string_view value;
        while (values.next(&value)) entry.values.emplace_back(value);
        EXPECT_EQ(entry.values.size(), attribute.valueCount()) << entry.name;
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace nwtest

// Records made by the writer read back field for field through the views, and a record cut
// short reads as less, never as more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ObjectRecord.h"
#include "ObjectRecordWriter.h"
#include "RecordAttributes.h"
#include "nwnet.h"

using namespace nw;

namespace {

using Attribute = nwtest::RecordAttribute;
using nwtest::attributesOf;

WireValues wire(const std::vector<std::string>& values) {
    WireValues out;
    for (const std::string& value : values) out.add(value);
    return out;
}

const std::string kBinary("\0\xff\x01", 3);

// An object whose attributes come partly straight and partly written ahead, in this order.
std::string sampleRecord(ObjectRecordWriter& writer) {
    AttributeRecords ahead;
    ahead.add(SYN_OCTET_STRING, "ZEN:INV NIC Type", wire({kBinary, ""}));
    ahead.add(SYN_CI_STRING, "WM:NAME Computer", wire({"WS17"}));
    writer.begin("CN=Admin.O=Acme", "User", "$6$salt$hash");
    writer.add(SYN_CLASS_NAME, "Object Class", wire({"User", "Top"}));
    writer.add(ahead);
    return writer.record();
}

const std::vector<Attribute> kSampleAttributes = {
    {"Object Class", SYN_CLASS_NAME, {"User", "Top"}},
    {"ZEN:INV NIC Type", SYN_OCTET_STRING, {kBinary, ""}},
    {"WM:NAME Computer", SYN_CI_STRING, {"WS17"}},
};

TEST(ObjectRecord, WhatTheWriterWritesTheViewsRead) {
    ObjectRecordWriter writer;
    const std::string record = sampleRecord(writer);
    ObjectView object(record);
    EXPECT_EQ(object.name(), "CN=Admin.O=Acme");
    EXPECT_EQ(object.baseClass(), "User");
    EXPECT_EQ(object.passwordHash(), "$6$salt$hash");
    EXPECT_EQ(object.attributes().size(), 3u);
    EXPECT_EQ(attributesOf(object), kSampleAttributes);

    // The head alone reads as the same object without attributes.
    const std::string head = record.substr(0, ObjectView::headSize(record));
    ObjectView headOnly(head);
    EXPECT_EQ(headOnly.name(), "CN=Admin.O=Acme");
    EXPECT_EQ(headOnly.passwordHash(), "$6$salt$hash");
    EXPECT_TRUE(attributesOf(headOnly).empty());
}

TEST(ObjectRecord, EachRecordStartsAfresh) {
    ObjectRecordWriter writer;
    sampleRecord(writer);
    writer.begin("O=Acme", "Organization");
    ObjectView bare(writer.record());
    EXPECT_EQ(bare.name(), "O=Acme");
    EXPECT_EQ(bare.baseClass(), "Organization");
    EXPECT_EQ(bare.passwordHash(), "");
    EXPECT_EQ(bare.attributes().size(), 0u);

    // Attributes with no values and an empty set written ahead still count right.
    writer.add(SYN_CI_STRING, "Description", WireValues{});
    writer.add(AttributeRecords{});
    writer.add(SYN_INTEGER, "Count", wire({std::string("\x2a\0\0\0", 4)}));
    const std::string record = writer.take();
    EXPECT_EQ(attributesOf(ObjectView(record)),
              (std::vector<Attribute>{{"Description", SYN_CI_STRING, {}},
                                      {"Count", SYN_INTEGER, {std::string("\x2a\0\0\0", 4)}}}));
}

TEST(ObjectRecord, ARecordCutShortReadsOnlyItsWholeAttributes) {
    ObjectRecordWriter writer;
    const std::string record = sampleRecord(writer);
    ObjectView whole(record);
    // Where the last attribute begins: every cut inside it loses it, and only it.
    std::size_t lastStart = record.size() - (4 + 4 + 16 + 4 + 4 + 4 + 4);
    for (std::size_t cut = lastStart; cut < record.size(); ++cut) {
        const std::string shorter = record.substr(0, cut);
        EXPECT_EQ(attributesOf(ObjectView(shorter)),
                  (std::vector<Attribute>{kSampleAttributes[0], kSampleAttributes[1]}))
            << "cut at " << cut;
    }
    for (std::size_t cut = 0; cut < ObjectView::headSize(record); ++cut) {
        ObjectView broken(record.substr(0, cut));
        EXPECT_TRUE(attributesOf(broken).empty()) << "cut at " << cut;
    }
    EXPECT_EQ(attributesOf(whole).size(), 3u);
}

}  // namespace

// Directory files as the embedded backend loads them: the JSON compiled into object records
// and tree indexes, then every record, link and index read back the way listings, reads
// and searches read them.
#include "DirectoryLoader.h"
#include "DirectoryName.h"
#include "FuzzInput.h"
#include "ObjectRecord.h"

namespace {

void readObject(const nw::Tree& tree, int index) {
    const nw::ObjectView object = tree.object(index);
    nw::AttributeList attributes = object.attributes();
    nw::AttributeView attribute;
    while (attributes.next(&attribute)) {
        auto values = attribute.values();
        std::string_view value;
        while (values.next(&value)) {
        }
    }
    (void)tree.head(index).name();
    (void)tree.parent(index);
    (void)tree.depth(index);
    const nw::NumberArray children = tree.children(index);
    for (std::size_t i = 0; i < children.size(); ++i) (void)tree.isWithin(children[i], index);

    const auto name = nw::resolveName(object.name(), nw::AbsoluteName{}, false);
    if (name) (void)tree.find(*name);
    (void)tree.withPosting(nw::baseClassPosting(object.baseClass()));
    const auto parts = nw::splitStoredName(object.name());
    if (!parts.empty()) (void)tree.namedLike(nw::asciiLower(nw::componentValue(parts.front())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto loaded = nw::parseDirectory(kestrel::fuzz::text(data, size), "fuzz.json");
    if (!loaded) return 0;
    for (const nw::Tree& tree : (*loaded)->trees()) {
        (void)tree.children(nw::kRootIndex);
        for (std::size_t i = 0; i < tree.size(); ++i) readObject(tree, static_cast<int>(i));
    }
    return 0;
}

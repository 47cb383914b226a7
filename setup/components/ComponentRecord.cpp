#include "components/ComponentRecord.h"

#include <algorithm>
#include <string>

namespace kestrel::setup {

namespace {

constexpr std::size_t kTextField = 256;

class RecordWriter {
  public:
    explicit RecordWriter(std::uint8_t* out) : out_(out) {}

    void text(const std::string& value) {
        const std::size_t length = std::min(value.size(), kTextField - 1);
        std::copy_n(reinterpret_cast<const std::uint8_t*>(value.data()), length, out_);
        std::fill_n(out_ + length, kTextField - length, std::uint8_t{0});
        out_ += kTextField;
    }
    void number(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            *out_++ = static_cast<std::uint8_t>(value >> shift);
    }
    void number(std::int64_t value) { number(static_cast<std::uint32_t>(value)); }
    void number(int value) { number(static_cast<std::uint32_t>(value)); }
    void number(bool value) { number(value ? 1U : 0U); }

  private:
    std::uint8_t* out_;
};

}  // namespace

ComponentRecord componentRecord(const Component& component, std::uint32_t dependencyList) {
    ComponentRecord record{};
    RecordWriter out(record.data());
    out.text(component.name);
    out.text(component.text);
    out.text(component.description);
    out.number(component.flags);
    out.number(component.icon);
    out.number(component.size);
    out.number(component.parent);
    out.number(component.firstChild);
    out.number(component.lastChild);
    out.number(component.nextSibling);
    out.number(component.previousSibling);
    out.number(component.level);
    out.number(component.group);
    out.number(component.groupKind);
    out.number(component.selected);
    out.number(component.savedSelection);
    out.number(component.installed);
    out.number(static_cast<int>(component.dependencies.size()));
    out.number(dependencyList);
    return record;
}

std::vector<std::uint8_t> dependencyListBytes(const Component& component) {
    std::vector<std::uint8_t> bytes(component.dependencies.size() * 4);
    RecordWriter out(bytes.data());
    for (int dependency : component.dependencies) out.number(dependency);
    return bytes;
}

}  // namespace kestrel::setup

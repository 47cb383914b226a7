#include "MemoryDirectory.h"

namespace nw {

namespace {

class MemoryRecords : public TreeRecords {
  public:
    MemoryRecords(std::vector<std::string> objects, TreeIndex index)
        : objects_(std::move(objects)), index_(std::move(index)) {}

    std::size_t size() const override { return objects_.size(); }
    std::string_view object(std::uint32_t index) const override {
        return index < objects_.size() ? std::string_view(objects_[index]) : std::string_view();
    }
    std::string_view head(std::uint32_t index) const override { return object(index); }
    std::string_view links() const override { return index_.links; }
    std::string_view children(std::uint32_t slot) const override {
        return slot < index_.children.size() ? std::string_view(index_.children[slot])
                                             : std::string_view();
    }
    std::optional<std::uint32_t> find(std::string_view key) const override {
        auto it = index_.byKey.find(std::string(key));
        if (it == index_.byKey.end()) return std::nullopt;
        return it->second;
    }
    std::string_view postings(std::string_view key) const override {
        auto it = index_.postings.find(std::string(key));
        return it == index_.postings.end() ? std::string_view() : std::string_view(it->second);
    }

    std::string_view components() const override { return index_.components; }
    std::string_view componentStarts() const override { return index_.componentStarts; }
    std::string_view trigrams(std::uint32_t key) const override {
        auto it = index_.trigrams.find(key);
        return it == index_.trigrams.end() ? std::string_view() : std::string_view(it->second);
    }

  private:
    std::vector<std::string> objects_;
    TreeIndex index_;
};

}  // namespace

void MemoryDirectory::beginTree() {
    objects_.clear();
}

void MemoryDirectory::putObject(std::uint32_t, std::string_view record) {
    objects_.emplace_back(record);
}

void MemoryDirectory::endTree(const std::string& name, TreeIndex index) {
    directory_->trees().emplace_back(
        name, std::make_shared<MemoryRecords>(std::move(objects_), std::move(index)));
    objects_.clear();
}

}  // namespace nw

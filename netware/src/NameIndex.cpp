#include "NameIndex.h"

#include <algorithm>

#include "Directory.h"

namespace nw {

namespace {

// Once this few candidates are left, reading their components is cheaper than narrowing
// them further through the postings of more runs.
constexpr std::size_t kFewCandidates = 32;

// The components and where each begins, read by object index.
class Components {
  public:
    explicit Components(const TreeRecords& records)
        : text_(records.components()), starts_(records.componentStarts()) {}

    std::size_t size() const { return starts_.size(); }
    // Where component `index` begins; the text's end for the one past the last.
    std::size_t start(std::size_t index) const {
        return index < starts_.size() ? starts_[index] : text_.size();
    }
    std::string_view at(std::size_t index) const {
        std::size_t start = this->start(index), end = this->start(index + 1);
        // A damaged index reads as empty components, never outside the text.
        if (start >= end || end > text_.size()) return {};
        return text_.substr(start, end - start - 1);  // without the NUL
    }
    // The object holding text position `at`: the last one that starts at or before it.
    std::size_t holding(std::size_t at) const {
        return starts_.lowerBound(static_cast<std::uint32_t>(at) + 1);  // one past it
    }
    std::string_view text() const { return text_; }

  private:
    std::string_view text_;
    NumberArray starts_;
};

// Every component read for the text: for texts too short to have runs.
std::vector<std::uint32_t> scan(const Components& components, std::string_view lowerText) {
    std::vector<std::uint32_t> found;
    std::string_view text = components.text();
    for (std::size_t at = text.find(lowerText); at != std::string_view::npos;) {
        std::size_t entry = components.holding(at);
        if (entry == 0) break;
        found.push_back(static_cast<std::uint32_t>(entry - 1));
        // On to the next component: one hit per object is enough.
        at = text.find(lowerText, components.start(entry));
    }
    return found;
}

// The candidates every run of the text holds, read from the shortest postings on.
std::vector<std::uint32_t> candidates(const TreeRecords& records, std::string_view lowerText) {
    std::vector<NumberArray> postings;
    for (std::size_t at = 0; at + kTrigramBytes <= lowerText.size(); ++at) {
        NumberArray posting(records.trigrams(trigramKey(lowerText.substr(at, kTrigramBytes))));
        if (posting.empty()) return {};
        postings.push_back(posting);
    }
    std::sort(postings.begin(), postings.end(),
              [](const NumberArray& a, const NumberArray& b) { return a.size() < b.size(); });
    std::vector<std::uint32_t> kept;
    for (std::size_t i = 0; i < postings.front().size(); ++i) kept.push_back(postings.front()[i]);
    for (std::size_t p = 1; p < postings.size() && kept.size() > kFewCandidates; ++p)
        std::erase_if(kept, [&](std::uint32_t index) {
            std::size_t at = postings[p].lowerBound(index);
            return at == postings[p].size() || postings[p][at] != index;
        });
    return kept;
}

}  // namespace

std::uint32_t trigramKey(std::string_view three) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(three[0])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(three[1])) << 8 |
           static_cast<unsigned char>(three[2]);
}

void postTrigrams(TrigramPostings& postings, std::string_view component, std::uint32_t index) {
    for (std::size_t at = 0; at + kTrigramBytes <= component.size(); ++at) {
        std::string& posting = postings[trigramKey(component.substr(at, kTrigramBytes))];
        // A run that occurs twice in one component is posted once.
        if (posting.size() >= 4 && numberAt(posting, posting.size() - 4) == index) continue;
        appendNumber(posting, index);
    }
}

std::vector<std::uint32_t> componentsContaining(const TreeRecords& records,
                                                std::string_view lowerText) {
    Components components(records);
    if (lowerText.size() < kTrigramBytes) return scan(components, lowerText);
    std::vector<std::uint32_t> found = candidates(records, lowerText);
    // The runs only say that a component may hold the text: each says whether it does.
    std::erase_if(found, [&](std::uint32_t index) {
        return index >= components.size() ||
               components.at(index).find(lowerText) == std::string_view::npos;
    });
    return found;
}

}  // namespace nw

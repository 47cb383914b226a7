// Search filters: the token list a caller builds with NWDSAddFilterToken, its form inside a
// filter buffer, and the expression the search evaluates for each object.
//
// Grammar (infix, as the tokens arrive):
//   filter := or END
//   or     := and { OR and }
//   and    := unary { AND unary }
//   unary  := NOT unary | LPAREN or RPAREN | item
//   item   := ANAME (EQ | GE | LE | APPROX) AVAL | PRESENT ANAME | BASECLS AVAL | RDN AVAL
//           | NAME_CONTAINS AVAL
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Directory.h"
#include "ReplyBuffer.h"
#include "nwnet.h"

struct Filter_Cursor_T {
    struct Token {
        std::uint16_t token = 0;
        std::uint32_t syntax = 0;
        std::string text;          // names and text values
        std::uint32_t number = 0;  // numeric values
        void* callerValue = nullptr;
    };
    std::vector<Token> tokens;
};

namespace nw {

// One node of a filter's expression: an AND, OR or NOT of its children, or an item.
struct FilterNode {
    std::uint16_t kind = 0;  // an FTOK_* value
    std::vector<std::unique_ptr<FilterNode>> children;
    std::string attribute;
    Filter_Cursor_T::Token value;

    bool matches(const ObjectView& object, std::string_view name) const;
    bool compare(std::uint32_t syntax, std::string_view wire) const;
    std::optional<std::string> posting() const;
    const FilterNode* required(std::uint16_t wanted) const;
};

class SearchFilter {
  public:
    SearchFilter();
    SearchFilter(SearchFilter&&) noexcept;
    SearchFilter& operator=(SearchFilter&&) noexcept;
    ~SearchFilter();

    // `name` is the object's name as the search returns it (needed when needsName()).
    bool matches(const ObjectView& object, std::string_view name) const;
    bool needsName() const;
    // The text every match's name must contain, when the filter requires one.
    std::optional<std::string> namePart() const;
    // The class posting (see Tree::withPosting) that holds every object the filter can
    // match, when the filter names one.
    std::optional<std::string> classPosting() const;
    // The expression, for backends that hand it on; null for an empty filter.
    const FilterNode* root() const { return root_.get(); }

  private:
    friend NWDSCCODE readFilter(BufferImpl& buffer, SearchFilter* filter);
    std::unique_ptr<FilterNode> root_;
};

NWDSCCODE addFilterToken(Filter_Cursor_T& cursor, std::uint16_t token, void* value,
                         std::uint32_t syntax);
// Checks the grammar and stores the tokens in a filter buffer.
NWDSCCODE writeFilter(const Filter_Cursor_T& cursor, BufferImpl& buffer);
// Reads the tokens back from a filter buffer and builds the expression.
NWDSCCODE readFilter(BufferImpl& buffer, SearchFilter* filter);

}  // namespace nw

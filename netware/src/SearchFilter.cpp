#include "SearchFilter.h"

#include <cstring>

#include "nwkit/Syntax.h"

namespace nw {

using kit::isNumericSyntax;
using kit::isTextSyntax;

namespace {

using Token = Filter_Cursor_T::Token;

// GE, LE or (any other comparing token) EQ of two numbers or two texts.
template <class T>
bool ordered(std::uint16_t kind, const T& have, const T& want) {
    return kind == FTOK_GE ? have >= want : kind == FTOK_LE ? have <= want : have == want;
}

constexpr std::size_t kMaxTokens = 1024;

std::uint32_t wireNumber(std::string_view bytes) {
    std::uint32_t value = 0;
    if (bytes.size() == 4) std::memcpy(&value, bytes.data(), 4);
    return value;
}

}  // namespace

bool FilterNode::compare(std::uint32_t syntax, std::string_view wire) const {
    if (isNumericSyntax(syntax)) {
        std::uint32_t have = wireNumber(wire);
        std::uint32_t want =
            isNumericSyntax(value.syntax)
                ? value.number
                : static_cast<std::uint32_t>(std::strtoul(value.text.c_str(), nullptr, 10));
        return ordered(kind, have, want);
    }
    std::string want = isNumericSyntax(value.syntax) ? std::to_string(value.number) : value.text;
    if (kind == FTOK_APPROX) return wildcardMatch(wire, want);
    bool exactCase = syntax == SYN_CE_STRING || !isTextSyntax(syntax);
    std::string have = exactCase ? std::string(wire) : asciiLower(wire);
    if (!exactCase) want = asciiLower(want);
    return ordered(kind, have, want);
}

bool FilterNode::matches(const ObjectView& object, std::string_view name) const {
    switch (kind) {
        case FTOK_OR:
            for (const auto& child : children)
                if (child->matches(object, name)) return true;
            return false;
        case FTOK_AND:
            for (const auto& child : children)
                if (!child->matches(object, name)) return false;
            return true;
        case FTOK_NOT:
            return !children.front()->matches(object, name);
        case FTOK_BASECLS:
            return equalsIgnoreAsciiCase(object.baseClass(), value.text);
        case FTOK_NAME_CONTAINS:
            return value.text == "*" || name.find(value.text) != std::string_view::npos;
        case FTOK_RDN: {
            std::string_view leaf = splitStoredName(object.name()).front();
            return equalsIgnoreAsciiCase(leaf, value.text) ||
                   equalsIgnoreAsciiCase(componentValue(leaf), value.text);
        }
        default:
            break;
    }
    auto attributes = object.attributes();
    AttributeView attr;
    while (attributes.next(&attr)) {
        if (!equalsIgnoreAsciiCase(attr.name(), attribute)) continue;
        if (kind == FTOK_PRESENT) return true;
        auto values = attr.values();
        std::string_view wire;
        while (values.next(&wire))
            if (compare(attr.syntax(), wire)) return true;
    }
    return false;
}

// A class every match must have, when the filter says so at its top level (alone or as a
// term of an AND): the search then reads only the objects of that class.
std::optional<std::string> FilterNode::posting() const {
    if (kind == FTOK_AND) {
        for (const auto& child : children)
            if (auto found = child->posting()) return found;
        return std::nullopt;
    }
    if (isNumericSyntax(value.syntax)) return std::nullopt;
    if (kind == FTOK_BASECLS) return baseClassPosting(value.text);
    if (kind == FTOK_EQ && equalsIgnoreAsciiCase(attribute, kObjectClassAttribute))
        return objectClassPosting(value.text);
    return std::nullopt;
}

// An item of the given kind that every match must satisfy (the filter itself or a term of
// its top-level AND), or null.
const FilterNode* FilterNode::required(std::uint16_t wanted) const {
    if (kind == wanted) return this;
    if (kind != FTOK_AND) return nullptr;
    for (const auto& child : children)
        if (const FilterNode* found = child->required(wanted)) return found;
    return nullptr;
}

namespace {

class Parser {
  public:
    explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    std::unique_ptr<FilterNode> parse() {
        auto root = parseOr();
        if (!root || !take(FTOK_END) || pos_ != tokens_.size()) return nullptr;
        return root;
    }

  private:
    bool at(std::uint16_t token) const {
        return pos_ < tokens_.size() && tokens_[pos_].token == token;
    }
    bool take(std::uint16_t token) {
        if (!at(token)) return false;
        ++pos_;
        return true;
    }

    using Rule = std::unique_ptr<FilterNode> (Parser::*)();

    // operand { joiner operand }, one node for the whole run.
    std::unique_ptr<FilterNode> parseJoined(std::uint16_t joiner, Rule operand) {
        auto first = (this->*operand)();
        if (!first || !at(joiner)) return first;
        auto node = std::make_unique<FilterNode>();
        node->kind = joiner;
        node->children.push_back(std::move(first));
        while (take(joiner)) {
            auto next = (this->*operand)();
            if (!next) return nullptr;
            node->children.push_back(std::move(next));
        }
        return node;
    }
    std::unique_ptr<FilterNode> parseOr() { return parseJoined(FTOK_OR, &Parser::parseAnd); }
    std::unique_ptr<FilterNode> parseAnd() { return parseJoined(FTOK_AND, &Parser::parseUnary); }

    std::unique_ptr<FilterNode> parseUnary() {
        if (++depth_ > 64) return nullptr;  // nesting is bounded: no stack exhaustion
        std::unique_ptr<FilterNode> node;
        if (take(FTOK_NOT)) {
            auto operand = parseUnary();
            if (operand) {
                node = std::make_unique<FilterNode>();
                node->kind = FTOK_NOT;
                node->children.push_back(std::move(operand));
            }
        } else if (take(FTOK_LPAREN)) {
            node = parseOr();
            if (!take(FTOK_RPAREN)) node.reset();
        } else {
            node = parseItem();
        }
        --depth_;
        return node;
    }

    std::unique_ptr<FilterNode> parseItem() {
        auto node = std::make_unique<FilterNode>();
        if (take(FTOK_PRESENT)) {
            if (!at(FTOK_ANAME)) return nullptr;
            node->kind = FTOK_PRESENT;
            node->attribute = tokens_[pos_++].text;
            return node;
        }
        if (at(FTOK_BASECLS) || at(FTOK_RDN) || at(FTOK_NAME_CONTAINS)) {
            node->kind = tokens_[pos_++].token;
            if (!at(FTOK_AVAL)) return nullptr;
            node->value = tokens_[pos_++];
            return node;
        }
        if (!at(FTOK_ANAME)) return nullptr;
        node->attribute = tokens_[pos_++].text;
        if (!(at(FTOK_EQ) || at(FTOK_GE) || at(FTOK_LE) || at(FTOK_APPROX))) return nullptr;
        node->kind = tokens_[pos_++].token;
        if (!at(FTOK_AVAL)) return nullptr;
        node->value = tokens_[pos_++];
        return node;
    }

    const std::vector<Token>& tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

namespace {

bool hasKind(const FilterNode& node, std::uint16_t kind) {
    if (node.kind == kind) return true;
    for (const auto& child : node.children)
        if (hasKind(*child, kind)) return true;
    return false;
}

}  // namespace

SearchFilter::SearchFilter() = default;
SearchFilter::SearchFilter(SearchFilter&&) noexcept = default;
SearchFilter& SearchFilter::operator=(SearchFilter&&) noexcept = default;
SearchFilter::~SearchFilter() = default;

bool SearchFilter::matches(const ObjectView& object, std::string_view name) const {
    return root_ && root_->matches(object, name);
}

bool SearchFilter::needsName() const {
    return root_ && hasKind(*root_, FTOK_NAME_CONTAINS);
}

std::optional<std::string> SearchFilter::namePart() const {
    const FilterNode* item = root_ ? root_->required(FTOK_NAME_CONTAINS) : nullptr;
    if (item == nullptr || item->value.text == "*") return std::nullopt;
    return item->value.text;
}

std::optional<std::string> SearchFilter::classPosting() const {
    return root_ ? root_->posting() : std::nullopt;
}

NWDSCCODE addFilterToken(Filter_Cursor_T& cursor, std::uint16_t token, void* value,
                         std::uint32_t syntax) {
    if (cursor.tokens.size() >= kMaxTokens) return ERR_TOO_MANY_TOKENS;
    Token entry;
    entry.token = token;
    entry.syntax = syntax;
    entry.callerValue = value;
    switch (token) {
        case FTOK_END:
        case FTOK_OR:
        case FTOK_AND:
        case FTOK_NOT:
        case FTOK_LPAREN:
        case FTOK_RPAREN:
        case FTOK_EQ:
        case FTOK_GE:
        case FTOK_LE:
        case FTOK_APPROX:
        case FTOK_PRESENT:
        case FTOK_BASECLS:
        case FTOK_RDN:
        case FTOK_NAME_CONTAINS:
            break;
        case FTOK_ANAME:
            if (value == nullptr) return ERR_NULL_POINTER;
            entry.text = static_cast<const char*>(value);
            if (entry.text.empty() || utf8Length(entry.text) > MAX_SCHEMA_NAME_CHARS)
                return ERR_ATTR_NAME_TOO_LONG;
            break;
        case FTOK_AVAL:
            if (value == nullptr) return ERR_NULL_POINTER;
            if (isNumericSyntax(syntax))
                entry.number = *static_cast<const nuint32*>(value);
            else if (isTextSyntax(syntax))
                entry.text = static_cast<const char*>(value);
            else
                return ERR_INVALID_ATTR_SYNTAX;
            break;
        default:
            return ERR_BAD_VERB;
    }
    cursor.tokens.push_back(std::move(entry));
    return 0;
}

NWDSCCODE writeFilter(const Filter_Cursor_T& cursor, BufferImpl& buffer) {
    if (!Parser(cursor.tokens).parse()) return ERR_INVALID_FILTER_SYNTAX;
    std::size_t size = BufferWriter::numberSize();
    for (const auto& token : cursor.tokens)
        size += 2 * BufferWriter::numberSize() + BufferWriter::textSize(token.text) + 4;
    if (size > buffer.pub.maxLen) return ERR_BUFFER_FULL;
    resetBuffer(buffer, BufferKind::FilterRequest);
    BufferWriter out(buffer);
    out.putNumber(static_cast<std::uint32_t>(cursor.tokens.size()));
    for (const auto& token : cursor.tokens) {
        out.putNumber(token.token);
        out.putNumber(token.syntax);
        if (isNumericSyntax(token.syntax) && token.token == FTOK_AVAL) {
            std::string bytes(4, '\0');
            std::memcpy(bytes.data(), &token.number, 4);
            out.putText(bytes);
        } else {
            out.putText(token.text);
        }
    }
    return 0;
}

NWDSCCODE readFilter(BufferImpl& buffer, SearchFilter* filter) {
    if (buffer.kind != BufferKind::FilterRequest) return ERR_INVALID_FILTER_SYNTAX;
    BufferReader in(buffer);
    in.rewind();
    std::uint32_t count = 0;
    if (!in.number(&count) || count > kMaxTokens) return ERR_INVALID_FILTER_SYNTAX;
    std::vector<Token> tokens(count);
    for (auto& token : tokens) {
        std::uint32_t kind = 0;
        std::string_view payload;
        if (!in.number(&kind) || !in.number(&token.syntax) || !in.text(&payload))
            return ERR_INVALID_FILTER_SYNTAX;
        token.token = static_cast<std::uint16_t>(kind);
        token.text = std::string(payload);
        if (isNumericSyntax(token.syntax) && token.token == FTOK_AVAL)
            token.number = wireNumber(token.text);
    }
    filter->root_ = Parser(tokens).parse();
    return filter->root_ ? 0 : ERR_INVALID_FILTER_SYNTAX;
}

}  // namespace nw

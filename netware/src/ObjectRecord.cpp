#include "ObjectRecord.h"

namespace nw {

bool RecordCursor::number(std::uint32_t* value) {
    if (rest_.size() < 4) return false;
    std::memcpy(value, rest_.data(), 4);
    rest_.remove_prefix(4);
    return true;
}

bool RecordCursor::bytes(std::size_t count, std::string_view* value) {
    if (rest_.size() < count) return false;
    *value = rest_.substr(0, count);
    rest_.remove_prefix(count);
    return true;
}

bool RecordCursor::text(std::string_view* value) {
    std::uint32_t length = 0;
    return number(&length) && bytes(length, value);
}

bool AttributeList::next(AttributeView* attribute) {
    if (count_ == 0) return false;
    --count_;
    std::uint32_t valueBytes = 0;
    bool whole = wire_.number(&attribute->syntax_) && wire_.text(&attribute->name_) &&
                 wire_.number(&attribute->valueCount_) && wire_.number(&valueBytes) &&
                 wire_.bytes(valueBytes, &attribute->values_);
    if (!whole) count_ = 0;
    return whole;
}

ObjectView::ObjectView(std::string_view record) {
    RecordCursor in(record);
    if (in.text(&name_) && in.text(&baseClass_) && in.text(&passwordHash_) &&
        in.number(&attributeCount_)) {
        attributes_ = in.rest();
    } else {
        attributeCount_ = 0;
    }
}

std::size_t ObjectView::headSize(std::string_view record) {
    ObjectView object(record);
    return 12 + object.name_.size() + object.baseClass_.size() + object.passwordHash_.size();
}

std::size_t NumberArray::lowerBound(std::uint32_t value) const {
    std::size_t low = 0, high = size();
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        if ((*this)[middle] < value)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

}  // namespace nw

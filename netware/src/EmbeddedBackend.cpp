#include "EmbeddedBackend.h"

#include "Context.h"
#include "ShownName.h"
#include "nwkit/PasswordHash.h"

namespace nw {

namespace {

// The candidates of a search in directory order: position i of the scan is object i for a
// subtree, the i-th child for the subordinates, the base itself for the entry scope. A
// subtree search whose filter requires a class or a part of the name walks only the objects
// the indexes give for it.
struct Scan {
    const Tree& tree;
    int base;
    nint scope;
    std::optional<NumberArray> candidates;
    std::string namedLike;  // the candidates by name, when they came from the name index

    std::size_t size() const {
        if (scope == DS_SEARCH_ENTRY) return 1;
        if (scope == DS_SEARCH_SUBORDINATES) return tree.children(base).size();
        return tree.size();
    }
    // The first position from `position` on that may hold a candidate.
    std::size_t skip(std::size_t position) const {
        if (!candidates) return position;
        std::size_t at = candidates->lowerBound(static_cast<std::uint32_t>(position));
        return at == candidates->size() ? size() : (*candidates)[at];
    }
    // The object at a position, or kRootIndex when that position is not a candidate.
    int at(std::size_t position) const {
        if (scope == DS_SEARCH_ENTRY) return base;
        if (scope == DS_SEARCH_SUBORDINATES) return static_cast<int>(tree.children(base)[position]);
        int index = static_cast<int>(position);
        return tree.isWithin(index, base) ? index : kRootIndex;
    }
};

// Candidates from the indexes: the name index when the filter requires a part of the name
// that lies within one component (so that the component holds it), else the class.
void narrow(Scan& scan, const SearchFilter& filter) {
    if (auto part = filter.namePart(); part && part->find('.') == std::string::npos) {
        for (std::uint32_t index : scan.tree.namedLike(asciiLower(*part)))
            appendNumber(scan.namedLike, index);
        scan.candidates = NumberArray(scan.namedLike);
    } else if (auto posting = filter.classPosting()) {
        scan.candidates = scan.tree.withPosting(*posting);
    }
}

}  // namespace

std::vector<std::string> EmbeddedBackend::trees() const {
    std::vector<std::string> names;
    for (const Tree& tree : directory_->trees()) names.push_back(tree.name());
    return names;
}

NWDSCCODE EmbeddedBackend::locate(const std::string& tree, const AbsoluteName& name,
                                  Located* found) const {
    const Tree* in = directory_->findTree(tree);
    if (in == nullptr) return ERR_NO_CONNECTION;
    auto index = in->find(name);
    if (!index) return ERR_NO_SUCH_ENTRY;
    *found = Located{in, *index};
    return 0;
}

NWDSCCODE EmbeddedBackend::list(const Context& context, const AbsoluteName& name, nint32* iteration,
                                ObjectReply& reply) {
    Located container;
    if (NWDSCCODE rc = locate(context.tree, name, &container); rc != 0) return rc;
    const auto& children = container.tree->children(container.index);
    std::size_t next = *iteration == NO_MORE_ITERATIONS ? 0 : static_cast<std::size_t>(*iteration);
    if (next > children.size()) return ERR_INVALID_ITERATION;
    if (!reply.usable()) return ERR_INSUFFICIENT_BUFFER;
    for (; next < children.size(); ++next) {
        int child = static_cast<int>(children[next]);
        auto entry = describeObject(*container.tree, child,
                                    shownName(container.tree->head(child).name(), context));
        if (!reply.add(entry)) break;
    }
    if (reply.count() == 0 && next < children.size()) return ERR_INSUFFICIENT_BUFFER;
    *iteration = next == children.size() ? NO_MORE_ITERATIONS : static_cast<nint32>(next);
    return 0;
}

NWDSCCODE EmbeddedBackend::read(const Context& context, const AbsoluteName& name,
                                FoundObject* found) {
    Located object;
    if (NWDSCCODE rc = locate(context.tree, name, &object); rc != 0) return rc;
    found->root = object.index == kRootIndex;
    if (!found->root) found->view = object.tree->object(object.index);
    return 0;
}

NWDSCCODE EmbeddedBackend::search(const Context& context, const SearchQuery& query,
                                  nint32* iteration, ObjectReply& reply, nint32* examined) {
    Located base;
    if (NWDSCCODE rc = locate(context.tree, *query.base, &base); rc != 0) return rc;
    const SearchFilter* filter = query.filter;
    Scan scan{*base.tree, base.index, query.scope, std::nullopt, {}};
    if (filter != nullptr && query.scope == DS_SEARCH_SUBTREE) narrow(scan, *filter);
    std::size_t next = *iteration == NO_MORE_ITERATIONS ? 0 : static_cast<std::size_t>(*iteration);
    if (*iteration < NO_MORE_ITERATIONS || next > scan.size()) return ERR_INVALID_ITERATION;
    if (!reply.usable()) return ERR_INSUFFICIENT_BUFFER;

    bool filterNeedsName = filter != nullptr && filter->needsName();
    for (; (next = scan.skip(next)) < scan.size(); ++next) {
        if (query.countObjectsToSearch > 0 && *examined >= query.countObjectsToSearch) break;
        int index = scan.at(next);
        if (index == kRootIndex) continue;
        ObjectView object = base.tree->object(index);
        ++*examined;
        // Names are made for the filter only when it looks at them, else for the matches.
        std::string name;
        if (filterNeedsName) name = shownName(object.name(), context);
        if (filter != nullptr && !filter->matches(object, name)) continue;
        if (!filterNeedsName) name = shownName(object.name(), context);
        auto entry = describeObject(*base.tree, index, std::move(name));
        auto attributes = query.allAttrs || !query.requested.empty()
                              ? selectAttributes(object, query.allAttrs, query.requested)
                              : std::vector<AttributeView>{};
        if (!reply.add(entry, attributes)) {
            if (reply.count() == 0) return ERR_INSUFFICIENT_BUFFER;
            break;
        }
    }
    *iteration = next == scan.size() ? NO_MORE_ITERATIONS : static_cast<nint32>(next);
    return 0;
}

NWDSCCODE EmbeddedBackend::describe(const Context& context, const AbsoluteName& name,
                                    ObjectDescription* description) {
    Located found;
    if (NWDSCCODE rc = locate(context.tree, name, &found); rc != 0) return rc;
    const Tree& tree = *found.tree;
    int index = found.index;
    description->root = index == kRootIndex;
    description->entryId = static_cast<std::uint32_t>(index + 1);
    description->subordinates = tree.childCount(index);
    description->container = description->root || description->subordinates > 0;
    if (description->root) return 0;
    ObjectView head = tree.head(index);
    description->baseClass = head.baseClass();
    description->name = head.name();
    int parent = tree.parent(index);
    description->parentId = static_cast<std::uint32_t>(parent + 1);
    if (parent != kRootIndex) description->parentName = tree.head(parent).name();
    return 0;
}

NWDSCCODE EmbeddedBackend::authenticate(const std::string& treeName, const AbsoluteName& user,
                                        std::string_view password, std::string* storedUser) {
    const Tree* tree = directory_->findTree(treeName);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    // A wrong name and a wrong password fail alike, and take the same time.
    auto index = user.isRoot() ? std::nullopt : tree->find(user);
    ObjectView object = index ? tree->head(*index) : ObjectView();
    if (object.passwordHash().empty()) {
        kit::spendVerificationTime(password);
        return ERR_FAILED_AUTHENTICATION;
    }
    if (!kit::verifyPassword(password, std::string(object.passwordHash())))
        return ERR_FAILED_AUTHENTICATION;
    *storedUser = object.name();
    return 0;
}

}  // namespace nw

// Searches for a part of the name over LDAP: the server narrows them to the objects whose
// own names hold the part, unless a container's name may hold it.
#include "LdapBackend.h"
#include "LdapName.h"
#include "LdapNameParts.h"

namespace nw {

bool LdapBackend::namedContainerInReach(TreeState& tree, const SearchQuery& query,
                                        const std::vector<std::string>& nameParts) {
    if (!query.base->isRoot() && mayHoldNamePart(query.base->text(), nameParts)) return true;
    // Below the base only a subtree search reaches containers.
    if (query.scope != DS_SEARCH_SUBTREE) return false;
    Iteration probe;
    probe.base = toDn(*query.base, tree.tree.baseDn);
    probe.filter = namedContainersFilter(nameParts, schemaOf(tree));
    probe.scope = LdapConnection::Scope::Subtree;
    LdapPage got;
    // Where the server cannot tell, the search takes every object and decides by itself.
    if (page(tree, probe, 0, &got) != 0) return true;
    return !got.entries.empty();
}

}  // namespace nw

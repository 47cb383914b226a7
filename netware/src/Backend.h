// What the entry points ask of the directory, whichever keeps it: the directory file
// (EmbeddedBackend) or an LDAP server (LdapBackend). The entry points check their arguments,
// resolve names against the context and fill the replies; a backend finds the objects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DirectoryName.h"
#include "ObjectRecord.h"
#include "ReplyEncoding.h"
#include "SearchFilter.h"
#include "nwnet.h"

namespace nw {

struct Context;

// An object read whole: a record the backend owns for the call (or one in its store).
struct FoundObject {
    // Given by the caller: the only attributes it will look at (null: all of them), which a
    // backend may use to leave the others out.
    const std::vector<std::string>* wanted = nullptr;
    bool root = false;
    std::string owned;  // the record, when it was made for this call
    ObjectView view;
};

// What the directory information of an object is made of.
struct ObjectDescription {
    bool root = false;
    std::string baseClass;
    std::string name;        // stored typed full name
    std::string parentName;  // empty below the root
    std::uint32_t entryId = 0, parentId = 0, subordinates = 0;
    bool container = false;
};

struct SearchQuery {
    const AbsoluteName* base = nullptr;
    nint scope = DS_SEARCH_SUBTREE;
    const SearchFilter* filter = nullptr;  // null: every object
    bool allAttrs = false;
    std::vector<std::string> requested;
    nint32 countObjectsToSearch = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // The trees in the order a scan returns them.
    virtual std::vector<std::string> trees() const = 0;

    // The subordinates of `container` from the position in `iteration` on, as many as fit.
    virtual NWDSCCODE list(const Context& context, const AbsoluteName& container, nint32* iteration,
                           ObjectReply& reply) = 0;
    virtual NWDSCCODE read(const Context& context, const AbsoluteName& name,
                           FoundObject* found) = 0;
    virtual NWDSCCODE search(const Context& context, const SearchQuery& query, nint32* iteration,
                             ObjectReply& reply, nint32* examined) = 0;
    virtual NWDSCCODE describe(const Context& context, const AbsoluteName& name,
                               ObjectDescription* description) = 0;
    // Forgets what an unfinished listing or search kept between calls.
    virtual void closeIteration(nint32 /*iteration*/) {}

    // Checks a login; on success `user` is the user's typed full name as the directory
    // spells it. Says nothing about which part was wrong.
    virtual NWDSCCODE authenticate(const std::string& tree, const AbsoluteName& user,
                                   std::string_view password, std::string* storedUser) = 0;
    // Whether the session's login to `tree` can still be used by this process.
    virtual bool loginUsable(const std::string& /*tree*/) { return true; }
    // Ends what the backend holds for a login to `tree`, for every program of the user.
    virtual void loggedOut(const std::string& /*tree*/) {}
};

}  // namespace nw

// An LDAP server as the directory's backend. Each tree is a base DN on a server; a login is
// a simple bind with the user's DN whose password the kernel keyring shares with the user's
// other programs (LoginKeyring.h). Listings and searches are paged (RFC 2696) in pages sized
// to the caller's buffer; what a page brought beyond the reply waits for the next call
// under the iteration handle.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "Backend.h"
#include "ClientConfig.h"
#include "LdapConnection.h"
#include "LdapFilter.h"
#include "LdapObjects.h"
#include "LdapReplicas.h"
#include "LdapSchemaSource.h"
#include "LoginKeyring.h"
#include "SessionStore.h"
#include "TakenEntries.h"

namespace nw {

class LdapBackend : public Backend {
  public:
    LdapBackend(const ClientConfig& config, SessionStore& session);

    std::vector<std::string> trees() const override;
    NWDSCCODE list(const Context& context, const AbsoluteName& container, nint32* iteration,
                   ObjectReply& reply) override;
    NWDSCCODE read(const Context& context, const AbsoluteName& name, FoundObject* found) override;
    NWDSCCODE search(const Context& context, const SearchQuery& query, nint32* iteration,
                     ObjectReply& reply, nint32* examined) override;
    NWDSCCODE describe(const Context& context, const AbsoluteName& name,
                       ObjectDescription* description) override;
    void closeIteration(nint32 iteration) override;
    NWDSCCODE authenticate(const std::string& tree, const AbsoluteName& user,
                           std::string_view password, std::string* storedUser) override;
    bool loginUsable(const std::string& tree) override;
    void loggedOut(const std::string& tree) override;

  private:
    struct TreeState {
        LdapTree tree;
        LdapReplicas replicas;
        std::unique_ptr<LdapConnection> connection;
        std::optional<LdapSchema> schema;
        SchemaCheck schemaCheck;  // sent ahead of the first read
        std::string reported;     // the last failure said, so that it is said once
        // Why the servers before the one in use were left, said once a connection is made.
        std::string handedOver;
    };
    // A listing or search between calls: where the server is, and what it sent that did not
    // fit the last reply.
    struct Iteration {
        std::string tree, base, filter;
        LdapConnection::Scope scope = LdapConnection::Scope::OneLevel;
        std::vector<std::string> attributes;
        bool withAttributes = false;
        std::string cookie;
        bool serverDone = false;
        TakenEntries taken;  // passed over when the search starts again
        std::deque<LdapObject> pending;
    };
    // How the objects of one call are checked and shown.
    struct Delivery {
        const Context& context;
        const SearchQuery* query = nullptr;   // null for a listing
        const SearchFilter* check = nullptr;  // the filter, where the server's was wider
        nint32* examined = nullptr;
    };

    TreeState* state(const std::string& tree);
    // The tree's connection, bound as the logged-in user.
    NWDSCCODE connect(TreeState& tree);
    // A connection made after other servers of the tree did not answer says so once.
    void sayHandOver(TreeState& tree, const std::string& passedOver);
    const LdapSchema& schemaOf(TreeState& tree);
    // The result code for a failure, said once on standard error where the user must know.
    NWDSCCODE fail(TreeState& tree, const LdapError& error);
    // One page, going on with the next server of the tree (or the same one again, restarted)
    // when the connection was lost.
    NWDSCCODE page(TreeState& tree, Iteration& iteration, int pageSize, LdapPage* out);
    NWDSCCODE fetch(TreeState& tree, Iteration& iteration, const Delivery& delivery, int pageSize);
    NWDSCCODE run(nint32* handle, Iteration fresh, const Delivery& delivery, ObjectReply& reply);
    // Whether objects of the search may match a part of the name through a container's
    // name (the base's, one above it, or one below it) rather than their own.
    bool namedContainerInReach(TreeState& tree, const SearchQuery& query,
                               const std::vector<std::string>& nameParts);
    // The object of `name`: one base search, for the `wanted` attributes only when given.
    NWDSCCODE entry(const Context& context, const AbsoluteName& name, bool withAttributes,
                    std::optional<LdapObject>* object,
                    const std::vector<std::string>* wanted = nullptr);
    std::optional<Secret> credential(const std::string& tree);

    std::vector<TreeState> trees_;
    SessionStore& session_;
    LoginKeyring keyring_;
    // Logins that the key service could not share stay in this process.
    std::map<std::string, Secret> ownLogins_;
    std::map<nint32, Iteration> iterations_;
    nint32 nextIteration_ = 1;
};

}  // namespace nw

#include "LdapBackend.h"

#include <ldap.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "Context.h"
#include "LdapName.h"
#include "ShownName.h"

namespace nw {

namespace {

using Scope = LdapConnection::Scope;

// A login not used for this long ends by itself.
constexpr std::uint32_t kLoginIdleSeconds = 8 * 3600;
// Callers that abandon listings cannot make this process keep their pages without bound.
constexpr std::size_t kMaxIterations = 256;
// A page holds about as many objects as the caller's buffer: its size over the smallest
// object a reply can hold (header, a short class and a short name).
constexpr std::size_t kSmallestObject = 48;
constexpr int kMaxPageSize = 1000;
constexpr const char* kEveryEntry = "(objectClass=*)";

NWDSCCODE resultCode(const LdapError& error) {
    if (isConnectionError(error)) return ERR_NO_CONNECTION;
    switch (error.code) {
        case LDAP_NO_SUCH_OBJECT:
            return ERR_NO_SUCH_ENTRY;
        case LDAP_NO_SUCH_ATTRIBUTE:
        case LDAP_UNDEFINED_TYPE:
            return ERR_NO_SUCH_ATTRIBUTE;
        case LDAP_INVALID_CREDENTIALS:
        case LDAP_INAPPROPRIATE_AUTH:
            return ERR_FAILED_AUTHENTICATION;
        case LDAP_INSUFFICIENT_ACCESS:
        case LDAP_CONFIDENTIALITY_REQUIRED:
            return ERR_NO_ACCESS;
        case LDAP_INVALID_DN_SYNTAX:
            return ERR_INVALID_OBJECT_NAME;
        case LDAP_FILTER_ERROR:
            return ERR_INVALID_FILTER_SYNTAX;
        case LDAP_REFERRAL:
            return ERR_ALL_REFERRALS_FAILED;
        default:
            return ERR_TRANSPORT_FAILURE;
    }
}

// Failures the caller reports in its own words need no message of ours.
bool callerReports(NWDSCCODE code) {
    return code == ERR_NO_SUCH_ENTRY || code == ERR_NO_SUCH_ATTRIBUTE ||
           code == ERR_FAILED_AUTHENTICATION || code == ERR_INVALID_OBJECT_NAME;
}

// A stable number for an object, as entry ids are: its name's FNV-1a hash (never 0).
std::uint32_t entryIdOf(std::string_view storedName) {
    std::uint32_t hash = 2166136261u;
    for (char c : asciiLower(storedName)) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash == 0 ? 1 : hash;
}

std::string parentOf(std::string_view storedName) {
    auto parts = splitStoredName(storedName);
    if (parts.size() < 2) return {};
    return std::string(
        storedName.substr(static_cast<std::size_t>(parts[1].data() - storedName.data())));
}

// A server keeps one paged search per connection: continuing one that another replaced
// is refused, as a protocol error (slapd 2.5) or as unwilling to perform (older ones).
bool isCookieRefused(const LdapError& error, const std::string& cookie) {
    return !cookie.empty() &&
           (error.code == LDAP_PROTOCOL_ERROR || error.code == LDAP_UNWILLING_TO_PERFORM);
}

std::vector<std::string> attributesFor(bool withAttributes) {
    std::vector<std::string> names = kDescriptionAttributes;
    if (withAttributes) names.push_back("*");
    return names;
}

}  // namespace

LdapBackend::LdapBackend(const ClientConfig& config, SessionStore& session)
    : session_(session),
      keyring_(std::filesystem::absolute(config.sessionFile).string(), kLoginIdleSeconds) {
    const LdapServer settings{{}, config.startTls, config.timeoutSeconds, config.plainBind};
    for (const LdapTree& tree : config.ldapTrees)
        trees_.push_back(TreeState{tree, LdapReplicas(tree.servers, settings), {}, {}, {}, {}, {}});
}

std::vector<std::string> LdapBackend::trees() const {
    std::vector<std::string> names;
    for (const TreeState& tree : trees_) names.push_back(tree.tree.name);
    return names;
}

LdapBackend::TreeState* LdapBackend::state(const std::string& tree) {
    for (TreeState& state : trees_)
        if (equalsIgnoreAsciiCase(state.tree.name, tree)) return &state;
    return nullptr;
}

std::optional<Secret> LdapBackend::credential(const std::string& tree) {
    auto own = ownLogins_.find(treeKey(tree));
    if (own != ownLogins_.end()) return Secret(own->second.text());
    return keyring_.fetch(tree);
}

NWDSCCODE LdapBackend::fail(TreeState& tree, const LdapError& error) {
    NWDSCCODE code = resultCode(error);
    if (code == ERR_NO_CONNECTION) tree.connection.reset();
    if (!callerReports(code)) {
        std::string message =
            error.server.empty() ? error.message : error.server + ": " + error.message;
        if (message != tree.reported) std::fprintf(stderr, "nwclient: %s\n", message.c_str());
        tree.reported = message;
    }
    return code;
}

void LdapBackend::sayHandOver(TreeState& tree, const std::string& passedOver) {
    if (!passedOver.empty()) tree.handedOver += (tree.handedOver.empty() ? "" : "; ") + passedOver;
    // One server that came back after a restart is no hand-over.
    if (tree.handedOver.empty() || tree.replicas.size() < 2) {
        tree.handedOver.clear();
        return;
    }
    std::fprintf(stderr, "nwclient: %s; going on with %s\n", tree.handedOver.c_str(),
                 tree.replicas.current().c_str());
    tree.handedOver.clear();
}

NWDSCCODE LdapBackend::connect(TreeState& tree) {
    if (tree.connection && !tree.connection->ownedHere()) tree.connection.reset();
    if (tree.connection) return 0;
    const Login* login = session_.current().loginFor(tree.tree.name);
    auto secret = credential(tree.tree.name);
    auto user = login ? resolveName(login->user, AbsoluteName{}, false) : std::nullopt;
    if (!secret || !user) return ERR_NO_ACCESS;
    std::string passedOver;
    auto opened = tree.replicas.open(toDn(*user, tree.tree.baseDn), secret->text(), &passedOver);
    if (!opened) {
        tree.handedOver.clear();  // what the failure says supersedes it
        // A password changed on the server ends the login here as well.
        if (opened.error().code == LDAP_INVALID_CREDENTIALS) {
            fail(tree,
                 LdapError{opened.error().code,
                           "the login of " + login->user + " is no longer accepted; log in again",
                           opened.error().server});
            return ERR_NO_ACCESS;
        }
        return fail(tree, opened.error());
    }
    tree.connection = std::move(*opened);
    sayHandOver(tree, passedOver);
    return 0;
}

const LdapSchema& LdapBackend::schemaOf(TreeState& tree) {
    if (tree.schema) return *tree.schema;
    tree.schema.emplace();
    if (!tree.connection) return *tree.schema;  // derived names until the server can say
    tree.schema = serverSchema(*tree.connection, schemaCacheFile(tree.replicas.current()),
                               std::exchange(tree.schemaCheck, {}))
                      .schema;
    return *tree.schema;
}

NWDSCCODE LdapBackend::page(TreeState& tree, Iteration& iteration, int pageSize, LdapPage* out) {
    // Each server of the tree may fail once in a call: the one that failed first is tried
    // again last, since it may just have been restarted.
    for (std::size_t attempt = 0;; ++attempt) {
        if (NWDSCCODE rc = connect(tree); rc != 0) return rc;
        auto got = tree.connection->search(iteration.base, iteration.scope, iteration.filter,
                                           iteration.attributes, pageSize, iteration.cookie);
        if (got) {
            tree.reported.clear();
            *out = std::move(*got);
            return 0;
        }
        LdapError error = got.error();
        error.server = tree.replicas.current();
        const bool lost = isConnectionError(error);
        if ((!lost && !isCookieRefused(error, iteration.cookie)) || attempt >= tree.replicas.size())
            return fail(tree, error);
        // The server went away (down, or restarted), or another paged search on the
        // connection took the place of this one: the cookie is no longer good, so the search
        // starts again (on the next server, or a new connection) and passes over what was
        // already taken.
        if (lost) {
            tree.connection.reset();
            tree.handedOver +=
                (tree.handedOver.empty() ? "" : "; ") + error.server + ": " + error.message;
            tree.replicas.failed();
        }
        iteration.cookie.clear();
        iteration.taken.restart();
    }
}

NWDSCCODE LdapBackend::fetch(TreeState& tree, Iteration& iteration, const Delivery& delivery,
                             int pageSize) {
    LdapPage got;
    if (NWDSCCODE rc = page(tree, iteration, pageSize, &got); rc != 0) return rc;
    iteration.cookie = std::move(got.cookie);
    iteration.serverDone = iteration.cookie.empty();
    const LdapSchema& schema = schemaOf(tree);
    for (const LdapEntry& entry : got.entries) {
        if (!iteration.taken.first(entry.dn)) continue;
        auto object = objectOf(entry, tree.tree.baseDn, schema, iteration.withAttributes);
        if (!object) continue;  // the tree's own entry, or one outside the tree
        if (delivery.examined != nullptr) ++*delivery.examined;
        if (delivery.check != nullptr) {
            const Context& context = delivery.context;
            std::string shown = shownName(object->name, context);
            if (!delivery.check->matches(ObjectView(object->record), shown)) continue;
        }
        iteration.pending.push_back(std::move(*object));
    }
    return 0;
}

NWDSCCODE LdapBackend::run(nint32* handle, Iteration fresh, const Delivery& delivery,
                           ObjectReply& reply) {
    bool started = *handle == NO_MORE_ITERATIONS;
    nint32 id = *handle;
    auto found = iterations_.find(id);
    if (started) {
        if (iterations_.size() >= kMaxIterations) iterations_.erase(iterations_.begin());
        id = nextIteration_;
        nextIteration_ = nextIteration_ == INT32_MAX ? 1 : nextIteration_ + 1;
        found = iterations_.insert_or_assign(id, std::move(fresh)).first;
    } else if (found == iterations_.end() || found->second.base != fresh.base ||
               found->second.filter != fresh.filter || found->second.scope != fresh.scope ||
               !equalsIgnoreAsciiCase(found->second.tree, fresh.tree)) {
        // A handle is good for the listing or search that made it, nothing else.
        return ERR_INVALID_ITERATION;
    }
    Iteration& iteration = found->second;
    auto abandon = [&](NWDSCCODE rc) {
        if (started) iterations_.erase(found);
        return rc;
    };
    if (!reply.usable()) return abandon(ERR_INSUFFICIENT_BUFFER);
    TreeState* tree = state(iteration.tree);
    if (tree == nullptr) return abandon(ERR_NO_CONNECTION);
    int pageSize = static_cast<int>(
        std::clamp<std::size_t>(reply.capacity() / kSmallestObject, 1, kMaxPageSize));
    const Context& context = delivery.context;
    const SearchQuery* query = delivery.query;
    bool withAttributes = query != nullptr && (query->allAttrs || !query->requested.empty());
    bool full = false;
    while (!full) {
        while (!iteration.pending.empty()) {
            const LdapObject& object = iteration.pending.front();
            ObjectEntry entry;
            entry.flags = object.container ? DS_CONTAINER_ENTRY : 0;
            entry.subordinates = object.hasSubordinates ? 1 : 0;
            entry.baseClass = object.baseClass;
            entry.name = shownName(object.name, context);
            auto attributes = withAttributes ? selectAttributes(ObjectView(object.record),
                                                                query->allAttrs, query->requested)
                                             : std::vector<AttributeView>{};
            if (!reply.add(entry, attributes)) {
                full = true;
                break;
            }
            iteration.pending.pop_front();
        }
        bool enough = query != nullptr && query->countObjectsToSearch > 0 &&
                      *delivery.examined >= query->countObjectsToSearch;
        if (full || iteration.serverDone || enough) break;
        if (NWDSCCODE rc = fetch(*tree, iteration, delivery, pageSize); rc != 0) return abandon(rc);
    }
    if (reply.count() == 0 && !iteration.pending.empty()) return abandon(ERR_INSUFFICIENT_BUFFER);
    if (iteration.pending.empty() && iteration.serverDone) {
        iterations_.erase(found);
        *handle = NO_MORE_ITERATIONS;
    } else {
        *handle = id;
    }
    return 0;
}

NWDSCCODE LdapBackend::list(const Context& context, const AbsoluteName& container,
                            nint32* iteration, ObjectReply& reply) {
    TreeState* tree = state(context.tree);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    Iteration fresh;
    fresh.tree = tree->tree.name;
    fresh.base = toDn(container, tree->tree.baseDn);
    fresh.filter = kEveryEntry;
    fresh.scope = Scope::OneLevel;
    fresh.attributes = kDescriptionAttributes;
    return run(iteration, std::move(fresh), Delivery{context, nullptr, nullptr, nullptr}, reply);
}

NWDSCCODE LdapBackend::search(const Context& context, const SearchQuery& query, nint32* iteration,
                              ObjectReply& reply, nint32* examined) {
    TreeState* tree = state(context.tree);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    if (NWDSCCODE rc = connect(*tree); rc != 0) return rc;
    LdapFilter filter = toLdapFilter(query.filter, schemaOf(*tree), true);
    if (!filter.nameParts.empty()) {
        // A search goes on as it began: only its start asks the server about containers.
        auto going = iterations_.find(*iteration);
        LdapFilter wide = toLdapFilter(query.filter, schemaOf(*tree));
        bool started = *iteration != NO_MORE_ITERATIONS && going != iterations_.end();
        if (started ? going->second.filter == wide.text
                    : namedContainerInReach(*tree, query, filter.nameParts))
            filter = std::move(wide);
    }
    Iteration fresh;
    fresh.tree = tree->tree.name;
    fresh.base = toDn(*query.base, tree->tree.baseDn);
    fresh.filter = filter.text;
    fresh.scope = query.scope == DS_SEARCH_ENTRY          ? Scope::Base
                  : query.scope == DS_SEARCH_SUBORDINATES ? Scope::OneLevel
                                                          : Scope::Subtree;
    bool wanted = query.allAttrs || !query.requested.empty();
    fresh.withAttributes = !filter.exact || wanted;
    fresh.attributes = attributesFor(wanted);
    // Entries that are checked here bring what the check compares, not all they hold.
    if (!wanted && !filter.exact)
        for (std::string& name : comparedAttributes(query.filter, schemaOf(*tree)))
            fresh.attributes.push_back(std::move(name));
    Delivery delivery{context, &query, filter.exact ? nullptr : query.filter, examined};
    return run(iteration, std::move(fresh), delivery, reply);
}

NWDSCCODE LdapBackend::entry(const Context& context, const AbsoluteName& name, bool withAttributes,
                             std::optional<LdapObject>* object,
                             const std::vector<std::string>* wanted) {
    TreeState* tree = state(context.tree);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    // A program that reads one object asks whether the schema it kept is current beside it.
    if (!tree->schema && tree->schemaCheck.connection == 0 && connect(*tree) == 0)
        tree->schemaCheck =
            sendSchemaCheck(*tree->connection, schemaCacheFile(tree->replicas.current()));
    Iteration one;
    one.base = toDn(name, tree->tree.baseDn);
    one.filter = kEveryEntry;
    one.scope = Scope::Base;
    // The server sends what the caller reads, not all the object holds: named as the schema
    // names them, or (while the question about it is under way) the kept copy.
    std::shared_ptr<const ServerSchema> kept = tree->schema ? nullptr : tree->schemaCheck.kept;
    const LdapSchema* names = tree->schema ? &*tree->schema : kept ? &kept->schema : nullptr;
    auto attributesOf = [&](const LdapSchema* schema) {
        std::vector<std::string> asked = attributesFor(withAttributes && !(wanted && schema));
        if (withAttributes && wanted && schema)
            for (const std::string& attribute : *wanted)
                asked.push_back(schema->ldapAttribute(attribute));
        return asked;
    };
    one.attributes = attributesOf(names);
    LdapPage got;
    if (NWDSCCODE rc = page(*tree, one, 0, &got); rc != 0) return rc;
    // A kept copy that is no longer the server's may have named them otherwise.
    if (std::vector<std::string> current = attributesOf(&schemaOf(*tree));
        kept && current != one.attributes) {
        one.attributes = std::move(current);
        if (NWDSCCODE rc = page(*tree, one, 0, &got); rc != 0) return rc;
    }
    if (!got.entries.empty())
        *object = objectOf(got.entries.front(), tree->tree.baseDn, schemaOf(*tree), withAttributes);
    return object->has_value() ? 0 : ERR_NO_SUCH_ENTRY;
}

NWDSCCODE LdapBackend::read(const Context& context, const AbsoluteName& name, FoundObject* found) {
    if (name.isRoot()) {
        found->root = true;
        return 0;
    }
    std::optional<LdapObject> object;
    if (NWDSCCODE rc = entry(context, name, true, &object, found->wanted); rc != 0) return rc;
    found->owned = std::move(object->record);
    found->view = ObjectView(found->owned);
    return 0;
}

NWDSCCODE LdapBackend::describe(const Context& context, const AbsoluteName& name,
                                ObjectDescription* description) {
    if (name.isRoot()) {
        description->root = true;
        description->container = true;
        return 0;
    }
    std::optional<LdapObject> object;
    if (NWDSCCODE rc = entry(context, name, false, &object); rc != 0) return rc;
    description->baseClass = object->baseClass;
    description->name = object->name;
    description->parentName = parentOf(object->name);
    description->entryId = entryIdOf(object->name);
    description->parentId =
        description->parentName.empty() ? 0 : entryIdOf(description->parentName);
    description->subordinates = object->hasSubordinates ? 1 : 0;
    description->container = object->container;
    return 0;
}

void LdapBackend::closeIteration(nint32 iteration) {
    iterations_.erase(iteration);
}

NWDSCCODE LdapBackend::authenticate(const std::string& treeName, const AbsoluteName& user,
                                    std::string_view password, std::string* storedUser) {
    TreeState* tree = state(treeName);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    // An empty password would make an unauthenticated bind (RFC 4513), which proves nothing.
    if (user.isRoot() || password.empty()) return ERR_FAILED_AUTHENTICATION;
    std::string dn = toDn(user, tree->tree.baseDn);
    std::string passedOver;
    auto opened = tree->replicas.open(dn, password, &passedOver);
    if (!opened) {
        // Which part was wrong is not said; an unreachable server is, and a password that is
        // not sent at all.
        const LdapError& error = opened.error();
        if (error.code == LDAP_CONFIDENTIALITY_REQUIRED) {
            fail(*tree, error);
            return ERR_FAILED_AUTHENTICATION;
        }
        NWDSCCODE code = resultCode(error);
        return code == ERR_NO_CONNECTION ? fail(*tree, error) : ERR_FAILED_AUTHENTICATION;
    }
    // The name as the directory spells it, not as it was typed.
    auto self = (*opened)->search(dn, Scope::Base, kEveryEntry, {}, 0, "");
    auto spelled = self && !self->entries.empty()
                       ? fromDn(self->entries.front().dn, tree->tree.baseDn)
                       : std::nullopt;
    *storedUser = spelled && !spelled->empty() ? *spelled : user.text();

    std::string key = treeKey(treeName);
    ownLogins_.erase(key);
    if (auto stored = keyring_.store(tree->tree.name, password); !stored) {
        ownLogins_.emplace(key, Secret(password));
        std::fprintf(stderr,
                     "nwclient: the login to %s is kept by this program only; the kernel key "
                     "service cannot share it with the user's other programs (%s)\n",
                     tree->tree.name.c_str(), stored.error().c_str());
    }
    std::erase_if(iterations_, [&](const auto& entry) {
        return equalsIgnoreAsciiCase(entry.second.tree, treeName);
    });
    tree->connection = std::move(*opened);
    tree->reported.clear();
    sayHandOver(*tree, passedOver);
    return 0;
}

bool LdapBackend::loginUsable(const std::string& treeName) {
    bool usable = ownLogins_.contains(treeKey(treeName)) || keyring_.holds(treeName);
    // Logged out by another program: this one lets the connection go as well.
    if (!usable)
        if (TreeState* tree = state(treeName)) tree->connection.reset();
    return usable;
}

void LdapBackend::loggedOut(const std::string& treeName) {
    keyring_.revoke(treeName);
    ownLogins_.erase(treeKey(treeName));
    if (TreeState* tree = state(treeName)) tree->connection.reset();
    std::erase_if(iterations_, [&](const auto& entry) {
        return equalsIgnoreAsciiCase(entry.second.tree, treeName);
    });
}

}  // namespace nw

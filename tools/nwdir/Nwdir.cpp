#include <algorithm>
#include <map>

#include "CommandContext.h"
#include "Invocation.h"
#include "nwcalls.h"
#include "platform/AsciiCase.h"

namespace nwdir {

namespace {

constexpr const char* kUsageText =
    "Usage: nwdir [--tree TREE] [--long] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  trees                         the trees the workstation can reach\n"
    "  list CONTAINER                the objects directly below CONTAINER\n"
    "  read OBJECT [ATTRIBUTE...]    values of the attributes (all without names)\n"
    "  search CLASS PATTERN BASE     objects of CLASS below BASE whose name contains\n"
    "                                PATTERN (case matters; \"*\" matches every name)\n"
    "  login TREE USER               log in; the password is read from the terminal or\n"
    "                                from standard input\n"
    "  logout TREE                   log out of TREE\n"
    "  whoami [TREE]                 the user logged in to TREE (default tree without)\n"
    "  hash                          read a password and print its SHA-512 crypt hash\n"
    "\n"
    "Names are full typed names such as CN=WS17.OU=Sales.O=Acme; \"[Root]\" is the root.\n"
    "Options:\n"
    "  -t, --tree TREE   work on TREE instead of the client's default tree\n"
    "  -l, --long        list and search: print the class after a tab\n"
    "  -h, --help        this text\n"
    "\n"
    "Exit codes: 0 done, 1 not found or not logged in, 2 usage, 3 client failure.\n"
    "The client configuration is the file named by NWCLIENT_CONFIG, else\n"
    "$XDG_CONFIG_HOME/kestrel/nwclient.ini.\n";

struct Command {
    int (*run)(const Invocation&);
    std::size_t minOperands;
    std::size_t maxOperands;
};

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"trees", {runTrees, 0, 0}},      {"list", {runList, 1, 1}},
        {"read", {runRead, 1, SIZE_MAX}}, {"search", {runSearch, 3, 3}},
        {"login", {runLogin, 2, 2}},      {"logout", {runLogout, 1, 1}},
        {"whoami", {runWhoami, 0, 1}},    {"hash", {runHash, 0, 0}},
    };
    return table;
}

int usageError(std::ostream& err, const std::string& problem) {
    err << "nwdir: " << problem << "\nTry 'nwdir --help'.\n";
    return kUsage;
}

// Whether `tree` (empty: the default tree) is one the client is configured for.
bool isKnownTree(const std::string& tree) {
    TreeScan scan = scanTrees(tree);
    if (scan.error != 0) return false;
    if (tree.empty()) return !scan.trees.empty();
    return std::any_of(scan.trees.begin(), scan.trees.end(), [&](const std::string& name) {
        return kestrel::platform::equalsIgnoreAsciiCase(name, tree);
    });
}

}  // namespace

int runNwdir(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Invocation run{{}, {}, false, out, err};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "-h" || word == "--help") {
            out << kUsageText;
            return kDone;
        }
        if (word == "-l" || word == "--long") {
            run.longFormat = true;
        } else if (word == "-t" || word == "--tree") {
            if (++i == arguments.size()) return usageError(err, word + " needs a tree name");
            run.tree = arguments[i];
        } else if (word.rfind("--tree=", 0) == 0) {
            run.tree = word.substr(7);
        } else if (word == "--") {
            run.words.insert(run.words.end(), arguments.begin() + static_cast<long>(i) + 1,
                             arguments.end());
            break;
        } else if (word.size() > 1 && word[0] == '-' && run.words.empty()) {
            return usageError(err, "unknown option " + word);
        } else {
            run.words.push_back(word);
        }
    }
    if (run.words.empty()) return usageError(err, "no command given");
    auto command = commands().find(run.words.front());
    if (command == commands().end()) return usageError(err, "unknown command " + run.words.front());
    std::size_t operands = run.words.size() - 1;
    if (operands < command->second.minOperands || operands > command->second.maxOperands)
        return usageError(err, "wrong number of arguments for " + run.words.front());
    if (run.words.front() != "hash" && NWCallsInit(nullptr, nullptr) != 0) {
        err << "nwdir: the directory client is not usable (see the message above)\n";
        return kClientError;
    }
    return command->second.run(run);
}

int reportError(const Invocation& run, NWDSCCODE code, const std::string& subject) {
    std::string tree = run.tree.empty() ? std::string("the default tree") : run.tree;
    switch (code) {
        case ERR_NO_SUCH_ENTRY:
            run.err << "nwdir: " << subject << ": no such object\n";
            return kNotFound;
        case ERR_NO_SUCH_ATTRIBUTE:
            run.err << "nwdir: " << subject << ": no such attribute\n";
            return kNotFound;
        case ERR_NO_ACCESS:
        case ERR_NOT_LOGGED_IN:
            run.err << "nwdir: not logged in to " << tree << "\n";
            return kNotFound;
        case ERR_NO_CONNECTION:
            // A tree the workstation knows whose server did not answer: the client has said why.
            if (isKnownTree(run.tree)) {
                run.err << "nwdir: no connection to " << tree << "\n";
                return kNotFound;
            }
            run.err << "nwdir: no directory tree " << (run.tree.empty() ? "is configured" : tree)
                    << (run.tree.empty() ? "" : " is known") << "\n";
            return kNotFound;
        case ERR_INVALID_OBJECT_NAME:
        case ERR_INVALID_DS_NAME:
        case ERR_DN_TOO_LONG:
            run.err << "nwdir: " << subject << ": not a valid directory name\n";
            return kUsage;
        default:
            run.err << "nwdir: " << subject << ": directory client error " << code << "\n";
            return kClientError;
    }
}

}  // namespace nwdir

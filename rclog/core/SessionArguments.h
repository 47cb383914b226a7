// The caller's arguments as the session sees them: which entries name the target (-w), the
// action (-c) and the tree (-n), the values the logs show, and the entries the viewer gets.
#pragma once

#include <string>
#include <vector>

namespace kestrel::rclog {

// The index shown for a role that no entry carries.
inline constexpr int kNoEntry = 14;
inline constexpr const char* kUnknown = "Unknown";
inline constexpr std::size_t kTargetLimit = 259;
inline constexpr std::size_t kActionLimit = 99;

class SessionArguments {
  public:
    // All entries, argument 0 (the program as the caller named it) first.
    explicit SessionArguments(std::vector<std::string> entries);

    int count() const { return static_cast<int>(entries_.size()); }
    int targetIndex() const { return target_; }
    int actionIndex() const { return action_; }
    int treeIndex() const { return tree_; }

    // The entry without its switch and surrounding blanks; "Unknown" for a missing role.
    std::string target() const;
    std::string action() const;
    std::string tree() const;

    // "argc = N\n| entry | entry | "
    std::string summary() const;
    // "argc = N\nActionIndex = A\nTreeIndex = T\nTargetIndex = W"
    std::string indexSummary() const;

    // The entries in the caller's order as the viewer's command line holds them, to be joined
    // by single blanks: the target as -w"<target>", a remote-control or remote-view action as
    // -c"Remote Control" or -c"Remote View", and every entry quoted by the C runtime rules
    // where it needs it, so that each reaches the viewer whole and none can split off
    // arguments of its own.
    std::vector<std::string> viewerEntries() const;

  private:
    std::string fieldOf(int index, std::size_t limit) const;

    std::vector<std::string> entries_;
    int target_ = kNoEntry;
    int action_ = kNoEntry;
    int tree_ = kNoEntry;
};

}  // namespace kestrel::rclog

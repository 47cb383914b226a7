// Keys and values the installer made in the system's own stores, which the system keeps as
// its own structure once they are there (the spooler's driver versions and printer list, an
// event log and its list of sources, the user's printer connections). An installation that
// found them leaves them when it goes; one that made them takes them away again once they
// hold nothing. What was made is noted in the same hive under
// Software\UsageCount\Setup\Created, one value per key ("<key>") or value ("<key>:<name>");
// a note goes with what it is about, and the notes' key with its last note.
#pragma once

#include <string>
#include <string_view>

#include "ops/RegistryServices.h"

namespace kestrel::setup {

class CreatedEntries {
  public:
    CreatedEntries(RegistryServices& registry, platform::RegistryRoot root)
        : registry_(registry), root_(root) {}

    // Before the key is made: notes it and each of its parents that is missing, up to
    // (not counting) `below`.
    void noteMissingKeys(std::string_view key, std::string_view below);
    // The same for the parents of a key that goes again with deleteTree.
    void noteMissingParents(std::string_view key, std::string_view below);
    // Before the value is set: notes it when it is missing.
    void noteMissingValue(std::string_view key, std::string_view name);

    // Deletes the key, then each parent, while it is empty and was noted as made.
    void removeEmptyMadeKeys(std::string_view key);
    // Deletes the key with everything below it, then the parents it leaves empty that were
    // made; the error of the deletion.
    long deleteTree(std::string_view key);
    // Whether the value was made by an installation; the note is gone afterwards.
    bool takeMadeValue(std::string_view key, std::string_view name);

  private:
    void note(const std::string& entry);
    bool take(const std::string& entry);

    RegistryServices& registry_;
    platform::RegistryRoot root_;
};

}  // namespace kestrel::setup

#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "ops/TextFileLines.h"

namespace kestrel::setup {

// A TCP/IP database file an IP section edits, and how many leading words name an entry in
// it: a service is its name and port ("ftp 21/tcp"), a host its address and name, every
// other entry its first word.
struct IpDatabase {
    std::string_view file;
    std::size_t keyWords;
};

// "IP Services", "IP Hosts:own text"... nullopt for a section of no such kind.
std::optional<IpDatabase> ipDatabaseOf(std::string_view section);

// Replaces the first line with the entry's key (compared without case) by the entry, or
// appends it.
void addIpEntry(TextFileLines& lines, std::string_view entry, std::size_t keyWords);
// Drops every line with the entry's key.
void removeIpEntry(TextFileLines& lines, std::string_view entry, std::size_t keyWords);

}  // namespace kestrel::setup

#pragma once

#include <string>
#include <string_view>

namespace kestrel::setup {

// The file an INI or batch-file section names: "[prefix.]file.ini". The part before the
// last colon counts (the rest tells sections of the same kind apart); when what follows its
// first dot is longer than three characters and holds another dot, that is the file, so
// several sections (one per component, say) can address one file: "Tools.Acme.ini" and
// "Acme.ini" both name Acme.ini.
std::string sectionFileName(std::string_view section);

}  // namespace kestrel::setup

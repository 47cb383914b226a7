// Where the product's files come from (Src), as the script's settings move it.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::setup {

// Src after [Application] SrcDir (expanded): an absolute SrcDir (with a colon or a leading
// backslash) replaces Src, a relative one is appended with its ".." steps folded. With a
// trailing backslash.
std::string sourceWithSrcDir(std::string_view source, std::string_view srcDir);

// The source of an administrator copy: the copied script lies SetupInfDir below the copied
// files, so Src (as it was before SrcDir) goes up as many folders as SetupInfDir holds
// backslashes (with its trailing one), never above its drive. With a trailing backslash.
std::string sourceAboveScriptCopy(std::string_view source, std::string_view setupInfDir);

}  // namespace kestrel::setup

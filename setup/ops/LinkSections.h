#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/LinkServices.h"
#include "ops/Operation.h"
#include "plan/Plan.h"
#include "plan/SectionReader.h"

namespace kestrel::setup {

// The two kinds of link section: "Shell" (shell links of the Explorer shell) and "Progman"
// (groups of the program manager), by the part of the name before its last colon; a
// "Progman.<component>" section is of the second kind too.
enum class LinkSectionKind { None, Shell, Progman };
LinkSectionKind linkSectionKind(std::string_view section);

// Roots older than Windows 4.0 have no Explorer shell: their links are program-manager items.
bool usesProgramManager(const platform::MachineRoot& machine);

// The link section of a component (its name with parent parts, "Parent\Child"), or nullopt:
// Explorer: "Shell:<component>", then for a child "Shell:<<parent>>", shared by its siblings.
// Program manager: "Progman:<component>", "Progman.<component>", "Progman:<<parent>>", and
// else the Explorer section, whose links then become items.
std::optional<std::string> findShellSection(const ScriptText& script, std::string_view component);
std::optional<std::string> findProgmanSection(const ScriptText& script, std::string_view component);

// Read a section into a plan step titled with its Caption or string 5005. Explorer: one
// operation per link line. Program manager: the section's Group key and "Group=" lines
// start groups; an item whose location has a folder part (below %Programs%) goes to that
// group instead.
std::optional<PlanStep> readShellSection(OperationContext& context, LinkServices& services,
                                         std::string_view section);
std::optional<PlanStep> readProgmanSection(OperationContext& context, LinkServices& services,
                                           std::string_view section);

// How a "Shell" or "Progman" section named in a component's section list is read: Shell
// sections only on roots of Windows 4.0 and later (others pass them over).
SectionReading linkSections(OperationContext& context, LinkServices& services);

// The link sections of the components, in the order given (installation: parents before
// children; uninstallation: children before parents), each section once. false when one
// failed, which ends the walk.
bool processComponentLinks(OperationContext& context, LinkServices& services,
                           const std::vector<std::string>& components, Direction direction);

}  // namespace kestrel::setup

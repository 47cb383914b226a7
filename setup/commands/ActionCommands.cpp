#include "commands/ActionCommands.h"

#include <initializer_list>
#include <string_view>

#include "commands/ActionHandlers.h"

namespace kestrel::setup::commands {

namespace {

using Handler = bool (*)(CommandCall&, ActionServices&);

struct Semantics {
    bool needsArgument = true;
    bool bothDirections = false;
    bool hasCounterpart = false;
    bool pictureOrSound = false;
};

void add(CommandTable& table, std::initializer_list<std::string_view> words, Handler handler,
         ActionServices& services, Semantics semantics) {
    CommandSpec spec;
    spec.handler = [handler, &services](CommandCall& call) { return handler(call, services); };
    spec.needsArgument = semantics.needsArgument;
    spec.bothDirections = semantics.bothDirections;
    spec.hasCounterpart = semantics.hasCounterpart;
    spec.pictureOrSound = semantics.pictureOrSound;
    for (const std::string_view word : words) table.add(word, spec);
}

}  // namespace

void registerActionCommands(CommandTable& table, ActionServices& services) {
    add(table, {"Copy"}, copyFiles, services, {.hasCounterpart = true});
    add(table, {"Del", "Erase"}, deleteFiles, services, {});
    add(table, {"DelTree"}, deleteTree, services, {});
    add(table, {"MD", "MkDir"}, makeDirectory, services, {.hasCounterpart = true});
    add(table, {"RD", "RmDir"}, removeDirectory, services, {});
    add(table, {"Ren", "Rename"}, renameFile, services, {.hasCounterpart = true});
    add(table, {"Call"}, callProgram, services, {});
    add(table, {"DDE"}, sendDde, services, {});
    add(table, {"Sleep"}, sleepFor, services, {});
    add(table, {"WaitUntilFileExists"}, waitUntilFileExists, services, {});
    add(table, {"Beep"}, beep, services, {.needsArgument = false, .bothDirections = true});
    // Without an argument PlaySound stops the sound and ShowPicture removes the picture.
    add(table, {"PlaySound"}, playSound, services,
        {.needsArgument = false, .pictureOrSound = true});
    add(table, {"ShowPicture"}, showPicture, services,
        {.needsArgument = false, .pictureOrSound = true});
    registerSystemCommands(table, services.system);

    CommandSpec fallback;
    fallback.handler = [&services](CommandCall& call) { return startLine(call, services); };
    table.setFallback(std::move(fallback));
}

}  // namespace kestrel::setup::commands

#include "platform/Wow64Registry.h"

#include <algorithm>
#include <vector>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kWow64Node = "Wow6432Node";

// The keys below HKLM\Software that both views share on Windows 7, as Wine 8 keeps them:
// found by writing through one view of a Wine 8 prefix and reading through the other. Wine
// spells some unlike Windows (Microsoft\Clients, Transaction Server, Registered Applications)
// and adds its own Wine\Ports; each holds its subkeys too.
constexpr std::string_view kSharedKeys[] = {
    "Classes\\AppID",
    "Classes\\Protocols",
    "Classes\\TypeLib",
    "Microsoft\\Clients",
    "Microsoft\\Cryptography\\Calais\\Current",
    "Microsoft\\Cryptography\\Calais\\Readers",
    "Microsoft\\Cryptography\\Services",
    "Microsoft\\CTF\\SystemShared",
    "Microsoft\\CTF\\TIP",
    "Microsoft\\DFS",
    "Microsoft\\Driver Signing",
    "Microsoft\\EnterpriseCertificates",
    "Microsoft\\EventSystem",
    "Microsoft\\MSMQ",
    "Microsoft\\Non-Driver Signing",
    "Microsoft\\Notepad\\DefaultFonts",
    "Microsoft\\OLE",
    "Microsoft\\RAS",
    "Microsoft\\RPC",
    "Microsoft\\SystemCertificates",
    "Microsoft\\TermServLicensing",
    "Microsoft\\Transaction Server",
    "Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    "Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    "Microsoft\\Windows\\CurrentVersion\\Group Policy",
    "Microsoft\\Windows\\CurrentVersion\\Policies",
    "Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    "Microsoft\\Windows\\CurrentVersion\\Setup",
    "Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    "Microsoft\\Windows NT\\CurrentVersion\\Console",
    "Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    "Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    "Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    "Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    "Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    "Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    "Microsoft\\Windows NT\\CurrentVersion\\LanguagePack",
    "Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    "Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    "Microsoft\\Windows NT\\CurrentVersion\\Ports",
    "Microsoft\\Windows NT\\CurrentVersion\\Print",
    "Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    "Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
    "Policies",
    "Registered Applications",
    "Wine\\Ports",
};

// Whether the key `components` (below Software) is a shared key or lies in one. Every key a
// 64-bit root's run writes is looked up here, so the table is split into names only once.
bool shared(const std::vector<std::string>& components) {
    static const std::vector<std::vector<std::string>> sharedKeys = [] {
        std::vector<std::vector<std::string>> keys;
        for (std::string_view key : kSharedKeys) keys.push_back(registryKeyComponents(key));
        return keys;
    }();
    return std::ranges::any_of(sharedKeys, [&](const std::vector<std::string>& keyComponents) {
        return keyComponents.size() <= components.size() &&
               std::equal(keyComponents.begin(), keyComponents.end(), components.begin(),
                          [](const std::string& a, const std::string& b) {
                              return equalsIgnoreAsciiCase(a, b);
                          });
    });
}

std::string joined(const std::vector<std::string>& components) {
    std::string path;
    for (const std::string& component : components) path += (path.empty() ? "" : "\\") + component;
    return path;
}

}  // namespace

RegistryLocation redirectFor32BitProgram(RegistryRoot root, std::string_view path) {
    const bool classesRoot = root == RegistryRoot::ClassesRoot;
    std::vector<std::string> components = registryKeyComponents(path);
    std::string software;
    if (classesRoot) {
        components.insert(components.begin(), "Classes");  // HKCR is HKLM\Software\Classes
    } else if (root == RegistryRoot::LocalMachine && !components.empty() &&
               equalsIgnoreAsciiCase(components.front(), "Software")) {
        software = components.front();
        components.erase(components.begin());
    } else {
        return {root, std::string(path)};  // outside Software and the user's keys: one view
    }
    const auto named = [&](std::size_t index, std::string_view name) {
        return components.size() > index && equalsIgnoreAsciiCase(components[index], name);
    };
    // The classes keep the 32-bit view inside them.
    const std::size_t at = named(0, "Classes") ? 1 : 0;
    if (components.size() <= at || named(at, kWow64Node) || shared(components))
        return {root, std::string(path)};
    components.insert(components.begin() + static_cast<std::ptrdiff_t>(at),
                      std::string(kWow64Node));
    if (classesRoot) {
        components.erase(components.begin());
    } else {
        components.insert(components.begin(), software);
    }
    return {root, joined(components)};
}

}  // namespace kestrel::platform

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ops/RegistryServices.h"

namespace kestrel::setup {

// key=value pairs in the order the section gives them.
using OdbcAttributes = std::vector<std::pair<std::string, std::string>>;

// The root's ODBC installer library: what ODBCCP32.DLL's functions do, kept where Windows'
// ODBC keeps it, so that the ODBC of Wine and of Windows programs in the prefix finds it.
// Software\ODBC\ODBCINST.INI (machine) holds the driver manager's usage count under "ODBC
// Core", the lists "ODBC Drivers" and "ODBC Translators" (name = "Installed") and one key per
// driver or translator with its attributes and REG_DWORD UsageCount; Software\ODBC\ODBC.INI
// holds data sources, user ones in the user's hive and system ones in the machine's: the list
// "ODBC Data Sources" (name = driver) and one key per source with its attributes and the
// driver's library as Driver. Every call returns false when the request cannot be done.
class OdbcInstaller {
  public:
    // Stands for the version resource of ODBCCP32.DLL, which the installer checks before it
    // installs anything (at least 2.10.24.01): this implementation keeps the layout of the
    // ODBC 3.52 installer, and says so.
    static constexpr std::uint64_t kVersion = 0x0003'0034'0000'0000;  // 3.52.0.0
    static constexpr std::string_view kLibrary = "ODBCCP32.DLL";

    explicit OdbcInstaller(RegistryServices& registry) : registry_(registry) {}

    bool installDriverManager();
    bool removeDriverManager();
    // SQLInstallDriverEx with ODBC_INSTALL_COMPLETE: `attributes` as the section gives them,
    // with the library's bare name in Driver (or Translator); `directory` goes before the bare
    // names of the library and its Setup library. A component installed before is counted
    // once more.
    bool installDriver(std::string_view name, const OdbcAttributes& attributes,
                       std::string_view directory);
    bool installTranslator(std::string_view name, const OdbcAttributes& attributes,
                           std::string_view directory);
    // One use less; the last one takes the component away. A component that is not there
    // has nothing left to take.
    bool removeDriver(std::string_view name);
    bool removeTranslator(std::string_view name);

    // SQLConfigDataSource: adds (or replaces) a data source of an installed driver, or
    // removes one.
    bool addDataSource(bool system, std::string_view driver, const OdbcAttributes& attributes);
    bool removeDataSource(bool system, std::string_view dsn);

  private:
    bool installComponent(std::string_view list, std::string_view name,
                          const OdbcAttributes& attributes, std::string_view directory);
    bool removeComponent(std::string_view list, std::string_view name);
    bool addUse(const std::string& key);
    // Takes one use off; true when none is left.
    bool lastUse(const std::string& key);
    void tidy(platform::RegistryRoot root, const std::string& key);

    RegistryServices& registry_;
};

}  // namespace kestrel::setup

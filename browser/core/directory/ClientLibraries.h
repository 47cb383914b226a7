// The three client libraries, opened by name, and the binding of the entry points in them.
#pragma once

#include <filesystem>
#include <string>
#include <utility>

#include "nwkit/LibraryBinding.h"
#include "platform/Places.h"
#include "platform/SharedLibrary.h"

namespace kestrel::browser {

// File names the libraries are looked up under (the dynamic linker's search order).
struct ClientLibraryNames {
    std::string calwin32 = "libcalwin32.so";
    std::string clxwin32 = "libclxwin32.so";
    std::string netwin32 = "libnetwin32.so";
};

class ClientLibraries {
  public:
    ClientLibraries() = default;
    // As seen by a program in `programDirectory`, whose library folders beside it come first.
    explicit ClientLibraries(std::filesystem::path programDirectory)
        : programDirectory_(std::move(programDirectory)) {}
    ~ClientLibraries();
    ClientLibraries(const ClientLibraries&) = delete;
    ClientLibraries& operator=(const ClientLibraries&) = delete;

    // Opens all three or none.
    bool load(const ClientLibraryNames& names);
    // Every entry point of the three, or the first one missing.
    kestrel::platform::Expected<nw::kit::ClientCalls, nw::kit::BindError> bind() const;
    void unload();

  private:
    platform::SharedLibrary open(const std::string& name) const;

    std::filesystem::path programDirectory_ = platform::programDirectory();
    platform::SharedLibrary calwin32_;
    platform::SharedLibrary clxwin32_;
    platform::SharedLibrary netwin32_;
};

}  // namespace kestrel::browser

// The directory file as a backend: trees of objects found by their indexes in the compiled
// store (or in memory), logins checked against the password hashes of the file.
#pragma once

#include <memory>

#include "Backend.h"
#include "Directory.h"

namespace nw {

class EmbeddedBackend : public Backend {
  public:
    explicit EmbeddedBackend(std::shared_ptr<const Directory> directory)
        : directory_(std::move(directory)) {}

    std::vector<std::string> trees() const override;
    NWDSCCODE list(const Context& context, const AbsoluteName& container, nint32* iteration,
                   ObjectReply& reply) override;
    NWDSCCODE read(const Context& context, const AbsoluteName& name, FoundObject* found) override;
    NWDSCCODE search(const Context& context, const SearchQuery& query, nint32* iteration,
                     ObjectReply& reply, nint32* examined) override;
    NWDSCCODE describe(const Context& context, const AbsoluteName& name,
                       ObjectDescription* description) override;
    NWDSCCODE authenticate(const std::string& tree, const AbsoluteName& user,
                           std::string_view password, std::string* storedUser) override;

  private:
    struct Located {
        const Tree* tree = nullptr;
        int index = kRootIndex;
    };
    NWDSCCODE locate(const std::string& tree, const AbsoluteName& name, Located* found) const;

    std::shared_ptr<const Directory> directory_;
};

}  // namespace nw

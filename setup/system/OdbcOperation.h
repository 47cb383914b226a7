#pragma once

#include <optional>
#include <string>

#include "ops/Operation.h"
#include "system/OdbcSection.h"

namespace kestrel::setup {

// One ODBC section, read into what it installs through the root's ODBC installer and undoes
// at uninstallation. A failure shows the ODBC message for the section; Ignore goes on.
class OdbcOperation final : public Operation {
  public:
    // `refused`: the first line without '=': the section does nothing but say so.
    // `doneBefore`: an earlier installation applied the section (plan/SectionUsage.h), so a
    // driver or translator it installed is taken away before it is installed again.
    OdbcOperation(std::string section, OdbcKind kind, OdbcAttributes attributes,
                  std::optional<std::string> refused, bool doneBefore)
        : section_(std::move(section)),
          kind_(kind),
          attributes_(std::move(attributes)),
          refused_(std::move(refused)),
          doneBefore_(doneBefore) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;

  private:
    bool installed(OperationContext& context);
    bool removed(OperationContext& context);
    bool failed(OperationContext& context) const;
    // The file data source's Windows path; nullopt when the section names none.
    std::optional<std::string> fileDsn(OperationContext& context, bool install) const;

    std::string section_;
    OdbcKind kind_;
    OdbcAttributes attributes_;
    std::optional<std::string> refused_;
    bool doneBefore_;
};

}  // namespace kestrel::setup

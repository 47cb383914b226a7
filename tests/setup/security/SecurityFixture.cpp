#include "SecurityFixture.h"

namespace kestrel::setup::test {

void SecurityFixture::loadSecurity(const std::string& lines, const std::string& version,
                                   const std::string& machineKey) {
    security_.reset();
    load("[Setup]\nVersion=" + version +
         "\n[Application]\nApplicationDir=C:\\Acme\nMachineKeyName=" + machineKey +
         "\n[Security]\n" + lines);
    progress_ = std::make_unique<ProgressWindow>(session_->messages(), session_->run());
    services_.emplace(SystemServices{session_->context(), starter_, *progress_});
    security_ = std::make_unique<SecurityOperations>(*services_);
}

long SecurityFixture::usage(std::string_view kind, std::string_view name) {
    platform::RegistryValue value;
    if (session_->registry().readValue(platform::RegistryRoot::LocalMachine,
                                       "Software\\UsageCount\\Setup\\" + std::string(kind), name,
                                       &value) != 0)
        return -1;
    return value.dwordValue();
}

}  // namespace kestrel::setup::test

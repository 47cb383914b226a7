#pragma once

#include <ctime>
#include <string>

#include "platform/MachineRoot.h"

namespace kestrel::setup {

// Dates as the installer shows them: day, month, four-digit year and hour, minute, two digits
// each, with the separators the root's WIN.INI [intl] names (sDate, default a point; sTime,
// default a colon).
class SystemDate {
  public:
    explicit SystemDate(const platform::MachineRoot& machine);

    std::string date(const std::tm& local) const;  // "%02d%s%02d%s%04d"
    std::string time(const std::tm& local) const;  // "%02d%s%02d"
    std::string dateAndTime(const std::tm& local) const { return date(local) + ' ' + time(local); }

  private:
    std::string dateSeparator_;
    std::string timeSeparator_;
};

}  // namespace kestrel::setup

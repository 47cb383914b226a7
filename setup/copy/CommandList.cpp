#include "copy/CommandList.h"

#include "platform/CommandLine.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::copy {

bool CommandList::add(const Entry& entry) {
    if (form_ == Form::List) {
        const bool blank = entry.name.find(' ') != std::string::npos;
        out_ << (blank ? "\"" + entry.name + "\"" : entry.name) << "\n";
    } else {
        // Paths with blanks are quoted, or the commands would take them for two words.
        const std::string directory =
            platform::quoteArgument(platform::directoryPart(entry.destination));
        out_ << "@if not exist " << directory << " md " << directory << ">NUL\n";
        const std::string_view command =
            entry.cabinetMember ? "extract" : (entry.compressed ? "expand" : "copy");
        const std::string& target = entry.cabinetMember ? entry.name : entry.destination;
        out_ << command << " " << platform::quoteArgument(entry.source) << " "
             << platform::quoteArgument(target) << "\n";
    }
    out_.flush();
    return static_cast<bool>(out_);
}

}  // namespace kestrel::setup::copy

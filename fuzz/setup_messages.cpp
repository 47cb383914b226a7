// The installer's message strings: a language file replacing the built-in table, and every
// string of it formatted with texts and numbers as the message boxes format them.
#include <limits>

#include "FuzzInput.h"
#include "messages/MessageFormat.h"
#include "messages/StringTable.h"

namespace {

using kestrel::setup::MessageArg;

const std::vector<MessageArg>& arguments() {
    static const std::vector<MessageArg> args = {"C:\\Program Files\\Acme\\",
                                                 std::numeric_limits<std::int64_t>::min(),
                                                 -1,
                                                 "",
                                                 std::numeric_limits<std::int64_t>::max(),
                                                 "%s%d%n",
                                                 0};
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input is also a format of its own, as a translator's text becomes one.
    (void)kestrel::setup::formatMessage(kestrel::fuzz::text(data, size), arguments());

    const kestrel::fuzz::MemoryFile file(data, size);
    kestrel::setup::StringTable table;
    (void)table.loadLanguageFile(file.path());
    for (const auto& [first, last] : {std::pair{5000, 5037}, std::pair{5500, 5566}}) {
        for (int number = first; number <= last; ++number) {
            (void)table.message(number);
            (void)table.format(number, arguments());
        }
    }
    return 0;
}

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::setup {

// The notify window of /W<number>. On Windows a calling setup passes its window's handle
// and the child posts it message 6702 (with the restart kind) and a close request. Here the
// number names a Unix socket in the abstract namespace, "kestrel-setup-notify.<number>",
// that the caller listens on while it waits for the child: nothing to pass down through
// Wine or a shell, nothing left on disk, and gone with the caller as a window would be.
// Each side checks that the other runs as the same user. The child writes text lines:
// "6702 <kind>" when it decided a restart, then "close".
inline constexpr int kNotifyRestartMessage = 6702;

// The restart kinds sent with 6702 and written into WIN.INI's [Reboot].
enum class RestartKind { None = 0, Windows = 1, Computer = 2 };

// The child's side: tells the caller's window of the end (the restart kind first when
// one was decided). false when the window does not exist (any longer).
bool notifyCaller(long window, RestartKind restart);

// The caller's side: a window a child run reports to.
class NotifyWindow {
  public:
    // Listens under a number of its own; why not, when it cannot.
    [[nodiscard]] static platform::Expected<NotifyWindow, std::string> open();
    NotifyWindow(NotifyWindow&& other) noexcept;
    NotifyWindow& operator=(NotifyWindow&&) = delete;
    NotifyWindow(const NotifyWindow&) = delete;
    ~NotifyWindow();

    // The number to pass as /W<number>.
    long number() const { return number_; }

    struct Received {
        RestartKind restart = RestartKind::None;  // the kind of the last 6702
        bool closed = false;                      // a close request came
    };
    // What the children that ended have sent (reads without waiting).
    Received receive();

  private:
    NotifyWindow(int socket, long number) : socket_(socket), number_(number) {}

    int socket_;
    long number_;
};

}  // namespace kestrel::setup

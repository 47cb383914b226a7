// IP Ping and WakeUp PC (via IP): both go to the IP address the workstation registered.
#include <chrono>

#include "ClassicBrowser.h"
#include "WakeOnLan.h"
#include "platform/EchoProbe.h"
#include "platform/IPv4Address.h"
#include "platform/UdpSocket.h"

namespace kestrel::classic {

namespace {

constexpr const char* kError = "ERROR";
constexpr std::chrono::milliseconds kEchoTimeout{500};

}  // namespace

void ClassicBrowser::ipPing() {
    std::string object = selectedWorkstation();
    if (object.empty()) return;
    std::string ip =
        directory_.readAttribute("WM:Network Address", "." + object, ReadMode::FirstWithFullStop);
    if (ip == kError) {
        ui_.showMessage("Could not read IP Address!");
        return;
    }
    platform::EchoResult result;
    {
        WaitCursor wait(ui_);
        // Text that is no address, or one that is not a single host (0.0.0.0, broadcast,
        // multicast), must never make an echo go anywhere.
        auto address = platform::parseIPv4(ip);
        if (!address || !platform::isHostAddress(*address)) {
            result.status = platform::EchoStatus::NotSent;
            result.error = "not a host address";
        } else if (services_.echo == nullptr) {
            result.status = platform::EchoStatus::NoSocket;
            result.error = "no echo available";
        } else {
            result = services_.echo->send({*address, std::string(), kEchoTimeout});
        }
    }
    switch (result.status) {
        case platform::EchoStatus::Reply:
            ui_.showMessage("Reply from " + ip + ": Time= " + std::to_string(result.roundTripMs) +
                            "ms  TTL=" + std::to_string(result.ttl));
            break;
        case platform::EchoStatus::TimedOut:
            ui_.showMessage("Request to " + ip + " timed out.");
            break;
        case platform::EchoStatus::NotSent:
        case platform::EchoStatus::NoSocket:
            // A value of another syntax reads as empty text: there is no address to name.
            ui_.showMessage(ip.empty() ? "Request not sent: no IP address could be read for the "
                                         "workstation."
                                       : "Request to " + ip + " not sent: " + result.error + ".");
            break;
    }
}

void ClassicBrowser::wakeUp() {
    std::string object = selectedWorkstation();
    if (object.empty()) return;
    object.insert(0, ".");
    std::string ip =
        directory_.readAttribute("WM:Network Address", object, ReadMode::FirstWithFullStop);
    if (ip == kError) {
        ui_.showMessage("Could not read IP Address!");
        return;
    }
    std::string ipx =
        directory_.readAttribute("WM:Network Address", object, ReadMode::FirstWithColon);
    if (ipx == kError) return;
    auto hardware = hardwareAddressFromIpx(ipx);
    if (!hardware) {
        // Short or garbled text has no node number to read; guessing one would wake nobody.
        ui_.showMessage("Could not read the hardware address from IPX Address '" + ipx + "'!");
        return;
    }
    auto address = platform::parseIPv4(ip);
    // One workstation without a usable address is no reason to end the whole program.
    if (!address) {
        ui_.showMessage("Bad IP address.");
        return;
    }
    platform::UdpSocket socket;
    if (auto error = socket.open()) ui_.showMessage("socket error: " + error.message());
    if (socket.isOpen() && socket.bind(services_.wakeOnLan.local)) ui_.showMessage("bind error");
    auto datagram = wakeOnLanDatagram(*hardware);
    auto sent = socket.sendTo(*address, services_.wakeOnLan.target, datagram);
    if (sent)
        ui_.showMessage(std::to_string(*sent) + " Bytes send to IP Address: " + ip);
    else
        ui_.showMessage("Request to " + ip + " timed out.");
}

}  // namespace kestrel::classic

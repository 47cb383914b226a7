#include "SlapdServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <sstream>
#include <thread>

#include "ChildProcess.h"

namespace kestrel::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kSlapd = "/usr/sbin/slapd";
const fs::path kSlapadd = "/usr/sbin/slapadd";
const fs::path kPython = "/usr/bin/python3";
// slapadd of 100,000 workstations takes minutes on a loaded machine.
constexpr auto kPrepareLimit = std::chrono::minutes(15);
constexpr auto kAnswerLimit = 20s;
constexpr int kPortTries = 5;

fs::path helperScript() {
    return fs::path(KESTREL_SOURCE_DIR) / "examples/directory/private_slapd.py";
}

class Socket {
  public:
    Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int freePort() {
    Socket s;
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (::bind(s.fd(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(s.fd(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

// True when an anonymous bind on the port gets slapd's success answer: a listening socket
// alone does not mean the database is open yet.
bool answersBind(int port) {
    Socket s;
    const timeval limit{1, 0};
    ::setsockopt(s.fd(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(s.fd(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const sockaddr_in address = loopback(port);
    if (::connect(s.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return false;
    }
    // BindRequest, message 1: version 3, empty name, empty simple password.
    constexpr std::array<unsigned char, 14> request{0x30, 0x0c, 0x02, 0x01, 0x01, 0x60, 0x07,
                                                    0x02, 0x01, 0x03, 0x04, 0x00, 0x80, 0x00};
    if (::send(s.fd(), request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return false;
    }
    std::array<unsigned char, 64> reply{};
    const ssize_t n = ::recv(s.fd(), reply.data(), reply.size(), 0);
    // SEQUENCE { 1, BindResponse { ENUMERATED success ... } }
    return n >= 10 && reply[0] == 0x30 && reply[5] == 0x61 && reply[7] == 0x0a && reply[9] == 0;
}

// `key value` or `key "value"` of a slapd.conf line.
std::string confValue(const std::string& line, std::string_view key) {
    std::string value = line.substr(key.size());
    value.erase(0, value.find_first_not_of(" \t"));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string SlapdServer::unavailable() {
    for (const fs::path& program : {kSlapd, kSlapadd, kPython}) {
        if (::access(program.c_str(), X_OK) != 0) {
            return program.string() +
                   " is not installed: no private LDAP server (scripts/bootstrap installs "
                   "slapd, ldap-utils and python3)";
        }
    }
    return {};
}

platform::Expected<std::unique_ptr<SlapdServer>, std::string> SlapdServer::start(
    const SlapdSeed& seed) {
    if (std::string why = unavailable(); !why.empty()) return platform::unexpected(why);
    std::unique_ptr<SlapdServer> server(new SlapdServer());
    if (Result done = server->prepare(seed, {}); !done) return platform::unexpected(done.error());
    if (Result done = server->launch(true, seed.tls); !done) {
        return platform::unexpected(done.error());
    }
    return server;
}

platform::Expected<SlapdMirrors, std::string> SlapdServer::startMirrors(const SlapdSeed& seed) {
    if (std::string why = unavailable(); !why.empty()) return platform::unexpected(why);
    SlapdMirrors mirrors{std::unique_ptr<SlapdServer>(new SlapdServer()),
                         std::unique_ptr<SlapdServer>(new SlapdServer())};
    SlapdServer& first = *mirrors.first;
    SlapdServer& second = *mirrors.second;
    // Each names the other in its configuration: both ports are chosen before either starts.
    first.port_ = freePort();
    do {
        second.port_ = freePort();
    } while (second.port_ == first.port_);
    SlapdSeed plain = seed;
    plain.tls = false;
    if (Result done = first.prepare(plain, {"--server-id", "1", "--peer", second.url()}); !done)
        return platform::unexpected(done.error());
    if (Result done = second.prepare(plain, {"--server-id", "2", "--peer", first.url(), "--copy-of",
                                             first.folder().string()});
        !done)
        return platform::unexpected(done.error());
    for (SlapdServer* server : {&first, &second})
        if (Result done = server->launch(false, false); !done)
            return platform::unexpected(done.error());
    return mirrors;
}

SlapdServer::Result SlapdServer::prepare(const SlapdSeed& seed,
                                         const std::vector<std::string>& more) {
    std::vector<std::string> command{kPython.string(), helperScript().string(),
                                     "prepare",        folder().string(),
                                     "--directory",    seed.directory.string()};
    for (const fs::path& ldif : seed.extraLdif) {
        command.insert(command.end(), {"--ldif", ldif.string()});
    }
    if (seed.tls) command.emplace_back("--tls");
    command.insert(command.end(), more.begin(), more.end());
    if (Result done = runChild(command, folder() / "prepare.log", kPrepareLimit); !done) {
        return platform::unexpected("loading the directory failed: " + done.error());
    }
    return readSettings();
}

SlapdServer::~SlapdServer() {
    stop();
}

SlapdServer::Result SlapdServer::readSettings() {
    std::istringstream conf(readFile(folder() / "slapd.conf"));
    for (std::string line; std::getline(conf, line);) {
        if (line.starts_with("suffix ")) suffix_ = confValue(line, "suffix");
        if (line.starts_with("rootdn ")) adminDn_ = confValue(line, "rootdn");
        if (line.starts_with("rootpw ")) adminPassword_ = confValue(line, "rootpw");
    }
    std::istringstream trees(readFile(folder() / "trees"));
    for (std::string line; std::getline(trees, line);) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            trees_.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    if (suffix_.empty() || adminDn_.empty() || trees_.empty()) {
        return platform::unexpected("the prepared server in " + folder().string() +
                                    " has no suffix, admin or trees");
    }
    return {};
}

SlapdServer::Result SlapdServer::launch(bool anyPort, bool tls) {
    const fs::path log = folder() / "slapd.log";
    for (int attempt = 0; attempt < kPortTries; ++attempt) {
        if (anyPort) {
            port_ = freePort();
            tlsPort_ = tls ? freePort() : 0;
        }
        const std::string listeners = tlsPort_ != 0 ? url() + " " + ldapsUrl() : url();
        pid_ = spawnChild(
            {kSlapd.string(), "-f", (folder() / "slapd.conf").string(), "-h", listeners, "-d", "0"},
            log);
        if (pid_ < 0) return platform::unexpected(kSlapd.string() + " could not be started");
        const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (const std::optional<int> status = waitChild(pid_, 0ms)) {
                pid_ = -1;
                const std::string said = readFile(log);
                // Another process took the port between our probe and slapd's bind.
                if (anyPort && said.find("Address already in use") != std::string::npos) break;
                return platform::unexpected("slapd on " + url() + " ended at start (status " +
                                            std::to_string(*status) + "): " + said);
            }
            if (answersBind(port_)) return {};
            std::this_thread::sleep_for(50ms);
        }
        if (pid_ > 0) {
            stop();
            return platform::unexpected("slapd on " + url() + " did not answer within " +
                                        std::to_string(kAnswerLimit.count()) + " s");
        }
    }
    return platform::unexpected("slapd found no free port in " + std::to_string(kPortTries) +
                                " tries");
}

std::string SlapdServer::url() const {
    return "ldap://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string SlapdServer::ldapsUrl() const {
    return tlsPort_ != 0 ? "ldaps://127.0.0.1:" + std::to_string(tlsPort_) + "/" : std::string();
}

fs::path SlapdServer::caCertificate() const {
    return tlsPort_ != 0 ? folder() / "tls" / "cert.pem" : fs::path();
}

std::string SlapdServer::treeBase(std::string_view tree) const {
    for (const auto& [name, base] : trees_) {
        if (name == tree) return base;
    }
    return {};
}

std::string SlapdServer::treeUrl(std::string_view tree) const {
    std::string escaped;
    for (const unsigned char c : treeBase(tree)) {
        if (std::isalnum(c) ||
            std::string_view("-._~,=").find(static_cast<char>(c)) != std::string_view::npos) {
            escaped += static_cast<char>(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            escaped += {'%', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return url() + escaped;
}

void SlapdServer::stop() {
    if (pid_ > 0) endChild(pid_);
    pid_ = -1;
}

SlapdServer::Result SlapdServer::restart() {
    stop();
    return launch(false, tlsPort_ != 0);
}

std::string SlapdServer::clientConfigText(ClientConfig config, const SlapdServer* replica) const {
    config.directory = url();
    if (replica != nullptr) config.directory += " " + replica->url();
    std::string text = config.text() + "[Trees]" + config.lineEnd;
    for (const auto& [name, base] : trees_) {
        text += name + "=" + treeUrl(name);
        if (replica != nullptr) text += " " + replica->treeUrl(name);
        text += config.lineEnd;
    }
    return text;
}

void SlapdServer::writeClientConfig(const fs::path& file, ClientConfig config,
                                    const SlapdServer* replica) const {
    writeFile(file, clientConfigText(std::move(config), replica));
}

}  // namespace kestrel::test

#include "LoopbackSsh.h"

#include "support/Wait.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clipforge::test {
namespace {

const char* const Sshd = "/usr/sbin/sshd";

// A port nothing listens on at address right now.
int freePort(const std::string& address)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    ::inet_pton(AF_INET, address.c_str(), &bound.sin_addr);
    socklen_t size = sizeof bound;
    const bool ok = ::bind(socket, reinterpret_cast<sockaddr*>(&bound), size) == 0 &&
                    ::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &size) == 0;
    ::close(socket);
    return ok ? ntohs(bound.sin_port) : 0;
}

}  // namespace

LoopbackSsh::LoopbackSsh(const std::vector<std::string>& addresses) : addresses_(addresses)
{
    if (::access(Sshd, X_OK) != 0) {
        problem_ = "no sshd (Debian package openssh-server)";
        return;
    }
    // sshd refuses to start without its privilege separation folder, which only its service
    // makes; it is an empty folder owned by root.
    ::mkdir("/run/sshd", 0755);
    port_ = freePort(addresses.front());
    if (!folder_.isValid() || port_ == 0 || !makeKeys()) {
        problem_ = "no keys or port for sshd";
        return;
    }
    writeConfiguration(addresses);
    server_ = std::make_unique<BatchProcess>(
        "setpriv", std::vector<std::string>{"--pdeathsig", "KILL", Sshd, "-D", "-e", "-f", path("sshd_config")});
    if (!listening(addresses))
        problem_ = "sshd did not start: " + server_->errSoFar();
}

std::string LoopbackSsh::sshCommand() const
{
    return "ssh -F " + path("ssh_config");
}

std::string LoopbackSsh::loginFile() const
{
    std::string hosts;
    for (const std::string& address : addresses_)
        hosts += "1/" + address + "\n";
    return hosts;
}

bool LoopbackSsh::makeKeys()
{
    for (const char* key : {"host_key", "user_key"}) {
        if (runProgram("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", path(key)}).exitCode != 0)
            return false;
    }
    writeFile(path("authorized_keys"), readFile(path("user_key.pub")));
    return true;
}

void LoopbackSsh::writeConfiguration(const std::vector<std::string>& addresses)
{
    std::string server = "Port " + std::to_string(port_) + "\n";
    for (const std::string& address : addresses)
        server += "ListenAddress " + address + "\n";
    // The keys live in the test's temporary folder, which sshd's owner checks would refuse.
    server += "HostKey " + path("host_key") + "\nAuthorizedKeysFile " + path("authorized_keys") +
              "\nPasswordAuthentication no\nKbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\n"
              "StrictModes no\nUsePAM no\nPidFile none\n";
    writeFile(path("sshd_config"), server);
    writeFile(path("ssh_config"), "Host *\n  Port " + std::to_string(port_) + "\n  IdentityFile " + path("user_key") +
                                      "\n  IdentitiesOnly yes\n  BatchMode yes\n  StrictHostKeyChecking no\n"
                                      "  UserKnownHostsFile /dev/null\n  LogLevel ERROR\n");
}

// sshd says so on standard error once it listens on an address.
bool LoopbackSsh::listening(const std::vector<std::string>& addresses)
{
    const auto allListening = [&] {
        const std::string log = server_->errSoFar();
        for (const std::string& address : addresses) {
            if (log.find("Server listening on " + address + " port " + std::to_string(port_) + ".") == std::string::npos)
                return false;
        }
        return true;
    };
    return waitFor([&] { return allListening() || server_->ended(); }) && allListening();
}

}  // namespace clipforge::test

#pragma once

#include <functional>
#include <optional>
#include <string>

namespace Vellmar::Platform {

// How a second launcher asks the first to come forward on any desktop: the holder of a name
// listens on a socket beside its lock file, and the asker sends its activation token (the
// XDG_ACTIVATION_TOKEN its own starter gave it, possibly empty) as one line. Only the window's
// owner can raise it on Wayland; the socket's folder is the user's own, so nobody else can ask.
class ActivationSocket {
public:
    // Listens at `path`, replacing a socket a killed holder left; Fd() is -1 when that failed.
    explicit ActivationSocket(std::string path);
    ActivationSocket(const ActivationSocket&) = delete;
    ActivationSocket& operator=(const ActivationSocket&) = delete;
    ~ActivationSocket();

    int Fd() const { return fd; }
    const std::string& Path() const { return path; }

    // The token of one waiting request ("" for a request without one); nothing when no request
    // waits or it was malformed. Never blocks for long: a silent asker is dropped.
    std::optional<std::string> Accept() const;

    // Sends a request to the holder listening at `path`, with the token that `token` makes once
    // a holder is there (making one may ask the compositor); false when nobody listens.
    static bool Request(const std::string& path, const std::function<std::string()>& token);
    // The socket that belongs to a lock file (…/name.lock → …/name.sock); "" when the path
    // would be too long for a socket address.
    static std::string PathForLock(const std::string& lockPath);

    // Told when a socket starts (true) or stops (false) listening, on the thread that made it.
    // The window's side watches the sockets with it; one observer per process.
    using Observer = std::function<void(ActivationSocket& socket, bool listening)>;
    static void SetObserver(Observer observer);

private:
    std::string path;
    int fd = -1;
};

} // namespace Vellmar::Platform

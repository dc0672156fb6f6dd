// Starts pcscd for one card rig on a listening socket of our own, handed over the way systemd
// hands over sockets. pcscd then binds no /run/pcscd/pcscd.comm and skips its check for another
// daemon, so several rigs run side by side. Where a mount namespace may be made, /run/pcscd is
// also swapped for a folder of the rig, so the daemon's pid file stays private too.
//   rig_pcscd SOCKET [--run-dir DIR] -- PROGRAM ARGS...
// Exit 1 when a daemon already answers on SOCKET or the socket cannot be made, 2 on bad
// arguments; otherwise this process becomes PROGRAM.
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// systemd's first handed-over descriptor (SD_LISTEN_FDS_START).
constexpr int kListenFd = 3;

int Usage()
{
    std::fprintf(stderr, "usage: rig_pcscd SOCKET [--run-dir DIR] -- PROGRAM ARGS...\n");
    return 2;
}

bool Answers(const sockaddr_un& address)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

// The listening socket on fd 3, or false with the reason printed.
bool ListenOn(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "rig_pcscd: socket path too long: %s\n", path.c_str());
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    // A socket file a daemon still answers on belongs to that daemon; one nobody answers on was
    // left behind by a daemon that ended.
    if (Answers(address)) {
        std::fprintf(stderr, "rig_pcscd: a daemon already answers on %s\n", path.c_str());
        return false;
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "rig_pcscd: cannot remove %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        std::fprintf(stderr, "rig_pcscd: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    // Clients of every user may talk to it, as to the machine's own pcscd.
    ::chmod(path.c_str(), 0666);
    if (fd != kListenFd) {
        if (::dup2(fd, kListenFd) < 0) {
            std::fprintf(stderr, "rig_pcscd: dup2: %s\n", std::strerror(errno));
            return false;
        }
        ::close(fd);
    }
    return true;
}

// Puts the folder in place of /run/pcscd for this process and what it becomes. Returns false
// (and changes nothing for other processes) where no mount namespace may be made.
bool PrivateRunDir(const std::string& dir)
{
    if (::unshare(CLONE_NEWNS) != 0)
        return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    if (::mkdir("/run/pcscd", 0755) != 0 && errno != EEXIST)
        return false;
    return ::mount(dir.c_str(), "/run/pcscd", nullptr, MS_BIND, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const std::string socketPath = argv[1];
    std::string runDir;
    int i = 2;
    if (std::string_view(argv[i]) == "--run-dir") {
        if (i + 1 >= argc)
            return Usage();
        runDir = argv[i + 1];
        i += 2;
    }
    if (i + 1 >= argc || std::string_view(argv[i]) != "--")
        return Usage();
    char** program = argv + i + 1;

    if (!ListenOn(socketPath))
        return 1;
    if (!runDir.empty() && !PrivateRunDir(runDir))
        std::fprintf(stderr, "rig_pcscd: no mount namespace here (%s); the pid file goes to /run/pcscd\n",
                     std::strerror(errno));
    const std::string pid = std::to_string(::getpid());
    ::setenv("LISTEN_FDS", "1", 1);
    ::setenv("LISTEN_PID", pid.c_str(), 1);
    ::unsetenv("LISTEN_FDNAMES");
    std::fflush(stderr);
    ::execvp(program[0], program);
    std::fprintf(stderr, "rig_pcscd: cannot run %s: %s\n", program[0], std::strerror(errno));
    return 1;
}

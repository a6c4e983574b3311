#pragma once

#include <filesystem>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace morvaw::test {

// Runs work on a thread and says whether it ended within the time. A reader
// blocked on a named pipe is set free by opening the pipe for writing.
inline bool FinishesWithin(std::chrono::seconds limit, const std::function<void()>& work,
                           const std::filesystem::path& pipe = {})
{
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(limit) == std::future_status::ready)
        return true;
    if (!pipe.empty()) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    done.wait();
    return false;
}

// Runs check as a user without root's privileges: as it is when the tests run
// as such a user, else in a child process switched to "nobody" (65534).
inline bool AsUnprivileged(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace morvaw::test

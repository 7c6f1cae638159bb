// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clockdeck::test {

/// A shell script run as user nobody (through setpriv) for the cases that need a second, untrusted user; only root
/// can start one. It says "ready" once it has done its part, and is ended when this object goes. Null: no script.
class OtherUser
{
public:
    static bool available() { return ::geteuid() == 0; }

    OtherUser(const char* script, const std::string& arg1, const std::string& arg2 = {})
    {
        if (!script) {
            return;
        }
        int out[2];
        const int piped = ::pipe(out);
        EXPECT_EQ(piped, 0) << "a pipe for the other user's script";
        if (piped != 0) {
            return;
        }
        if ((m_pid = ::fork()) == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c", script, "sh",
                     arg1.c_str(), arg2.c_str(), nullptr);
            ::_exit(127);
        }
        char said[8] = {}; // "ready\n" is one write, so one read takes it whole
        ::close(out[1]);
        const ssize_t got = ::read(out[0], said, sizeof said - 1);
        ::close(out[0]);
        EXPECT_GE(got, 0) << "the other user's script: " << script;
        EXPECT_STREQ(said, "ready\n") << "the other user's script: " << script;
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;
    ~OtherUser()
    {
        if (m_pid > 0 && ::kill(m_pid, SIGKILL) == 0) {
            ::waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
};

/// What @p step returns when run in a child process as user nobody (as this user when that is not root), so that a
/// root-only file cannot be read; @p folder is opened to everyone first.
inline std::string asNobody(const std::string& folder, const std::function<std::string()>& step)
{
    int out[2];
    const int piped = ::pipe(out);
    EXPECT_EQ(piped, 0);
    if (::fork() == 0) {
        ::chmod(folder.c_str(), 0755);
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        const std::string seen = dropped ? step() : "cannot become nobody";
        ::_exit(::write(out[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size()) ? 0 : 1);
    }
    ::close(out[1]);
    char seen[512] = {};
    EXPECT_GE(::read(out[0], seen, sizeof seen - 1), 0);
    ::close(out[0]);
    ::wait(nullptr);
    return seen;
}

} // namespace clockdeck::test

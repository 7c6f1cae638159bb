// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace clockdeck::test {

/// A shell script run as user nobody (through setpriv), for the cases that need a second, untrusted user: it
/// holds a lock, plants a link. Only root can start one; tests skip otherwise. The script says "ready" on its
/// standard output once it has done its part, and is ended when this object goes. A null script does nothing.
class OtherUser
{
public:
    static bool available() { return ::geteuid() == 0; }

    OtherUser(const char* script, const std::string& arg1, const std::string& arg2 = {})
    {
        if (!script)
            return;
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c", script, "sh",
                     arg1.c_str(), arg2.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            m_said += c;
        ::close(out[0]);
        EXPECT_EQ(m_said, "ready") << "the other user's script: " << script;
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;
    ~OtherUser()
    {
        if (m_pid < 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }

private:
    pid_t m_pid = -1;
    std::string m_said;
};

} // namespace clockdeck::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/resultsfile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <limits>
#include <sched.h>
#include <utility>

namespace clockdeck::test {

/// The results file's device with faults put in on purpose: writes that fail once @c failAfter bytes are in (with
/// @c error), writes interrupted by a signal first, short writes of at most @c chunk bytes, and a hook that runs
/// once just before the first try at the lock (to let another process in between).
class FailingDevice final : public AppendDevice
{
public:
    std::size_t failAfter = std::numeric_limits<std::size_t>::max();
    int error = ENOSPC;
    int interruptions = 0;
    std::size_t chunk = std::numeric_limits<std::size_t>::max();
    std::function<void()> beforeLock;
    std::size_t written = 0;

    int tryLock(int fd) override
    {
        if (beforeLock)
            std::exchange(beforeLock, nullptr)();
        return AppendDevice::tryLock(fd);
    }

    ssize_t write(int fd, const char* data, std::size_t size) override
    {
        if (interruptions > 0 || written >= failAfter) {
            errno = interruptions-- > 0 ? EINTR : error;
            return -1;
        }
        const ssize_t n = AppendDevice::write(fd, data, std::min({size, chunk, failAfter - written}));
        written += n > 0 ? std::size_t(n) : 0;
        if (chunk != std::numeric_limits<std::size_t>::max())
            ::sched_yield(); // short writes: give a writer that ignores the lock its chance to come in between
        return n;
    }
};

} // namespace clockdeck::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/resultsfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <sched.h>
#include <utility>

namespace clockdeck::test {

/// The results file's device with faults put in on purpose: the first @c interruptions writes interrupted by a
/// signal, writes that fail with @c error once @c failAfter more bytes are in, short writes of at most @c chunk bytes
/// (each followed by a yield, to let in a writer that ignores the lock), and a hook run once just before the lock.
class FailingDevice final : public AppendDevice
{
public:
    std::size_t failAfter = SIZE_MAX, chunk = SIZE_MAX;
    int error = ENOSPC, interruptions = 0;
    std::function<void()> beforeLock;

    int tryLock(int fd) override
    {
        if (beforeLock) {
            std::exchange(beforeLock, nullptr)();
        }
        return AppendDevice::tryLock(fd);
    }

    ssize_t write(int fd, const char* data, std::size_t size) override
    {
        if (interruptions > 0 || failAfter == 0) {
            errno = interruptions-- > 0 ? EINTR : error;
            return -1;
        }
        const ssize_t n = AppendDevice::write(fd, data, std::min({size, chunk, failAfter}));
        failAfter -= n > 0 ? std::size_t(n) : 0;
        ::sched_yield();
        return n;
    }
};

} // namespace clockdeck::test

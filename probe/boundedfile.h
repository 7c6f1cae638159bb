// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace clockdeck {

// The most the probe reads of any one file. /proc/cpuinfo of a machine with a few hundred processors stays well
// below it; anything larger is not a file the probe understands.
inline constexpr std::size_t MaxProbeFileBytes = std::size_t{1024} * 1024;

// Reads a regular file as text, with a bound. Gives nothing when the file is missing or unreadable, is not a
// regular file (a folder, a pipe, a device such as /dev/zero), holds a NUL byte, or is larger than @p maxBytes
// (by its recorded size, or, for /proc files that record none, by what is read). With @p stopAfter, the text
// ends with the first occurrence of that marker and the bytes after it are not looked at: the first record of
// /proc/cpuinfo is all the probe needs, and the kernel then need not format the others. Only a failed allocation
// throws.
[[nodiscard]] std::optional<std::string> readTextFile(const std::filesystem::path& path,
                                                      std::size_t maxBytes = MaxProbeFileBytes,
                                                      std::string_view stopAfter = {});

// Why a binary file gave no bytes.
enum class FileFault : std::uint8_t
{
    None,       // read
    Missing,    // no such file (or a folder on its path is missing)
    Denied,     // the file's permissions keep this user out
    Unreadable, // not a regular file (a folder, a pipe, a device), or the read failed
};

struct BinaryFile
{
    std::string bytes;              // at most the bytes asked for, from the start of the file
    std::uint64_t recordedSize = 0; // the size the file system records: sysfs records the whole register space
                                    // even where it gives an unprivileged reader only its start
    FileFault fault = FileFault::None;
};

/// Reads at most @p maxBytes from the start of a regular file, without blocking on a pipe planted at the path.
/// Fewer bytes come back when the file ends or the kernel gives no more; the fault says why there are none.
/// Only a failed allocation throws.
[[nodiscard]] BinaryFile readBinaryFile(const std::filesystem::path& path, std::size_t maxBytes);

// The first line of a text: everything before the first line end ("\n" or "\r\n"), or the whole text.
[[nodiscard]] std::string_view firstLine(std::string_view text);

} // namespace clockdeck

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers every part of the core shares. Header-only and free of everything else, so the probe, the report
// and the command line use them without depending on each other.

namespace clockdeck {

/// One UTF-8 sequence read from the start of a text.
struct Utf8Sequence
{
    /// Bytes taken. A well-formed sequence: its length. A broken one: its first byte and every continuation byte
    /// (10xxxxxx) right after it, so that one broken sequence counts once. An empty text: 0.
    std::size_t length = 0;
    char32_t codePoint = 0; ///< the character of a well-formed sequence; 0 otherwise
    bool valid = false;
};

/// Reads the sequence at the start of @p text. Well-formed is what Unicode allows: 1 to 4 bytes, no overlong form,
/// no surrogate (U+D800-U+DFFF), nothing above U+10FFFF, nothing cut short. Everything else is broken, the 5- and
/// 6-byte forms of old included.
[[nodiscard]] constexpr Utf8Sequence readUtf8(std::string_view text) noexcept
{
    if (text.empty()) {
        return {};
    }
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto broken = [&] {
        std::size_t n = 1;
        while (n < text.size() && (byte(n) & 0xC0) == 0x80) {
            ++n;
        }
        return Utf8Sequence{n, 0, false};
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {1, lead, true};
    }
    std::size_t length = 0;
    char32_t smallest = 0; // below it the same character has a shorter form
    if (lead >= 0xC0 && lead <= 0xDF) {
        length = 2;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
        length = 4;
        smallest = 0x10000;
    } else {
        return broken();
    }
    if (text.size() < length) {
        return broken();
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return broken();
        }
        c = c << 6 | (byte(i) & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return broken();
    }
    return {length, c, true};
}

/// Whether a character may reach a terminal, the clipboard or a file as it is. Not: the C0 controls, DEL and the C1
/// controls (a terminal reads U+009B as CSI), and the bidirectional overrides and isolates U+202A-U+202E and
/// U+2066-U+2069, which turn the text after them around.
[[nodiscard]] constexpr bool printableCharacter(char32_t c) noexcept
{
    return c >= 0x20 && !(c >= 0x7F && c <= 0x9F) && !(c >= 0x202A && c <= 0x202E) && !(c >= 0x2066 && c <= 0x2069);
}

/// @p text with every character that is not printableCharacter() replaced by "?", and so every byte 0x80-0x9F that
/// is not part of a well-formed sequence (a terminal with an 8-bit character set reads it as a C1 control). Other
/// bytes that are not UTF-8 stay as they are: a terminal shows them in its own character set, and the results file's
/// conversion turns them into "?". Every untrusted text (from a machine profile, the command line) goes through
/// this before it reaches a terminal, the clipboard or a file: profiles are shared between users.
[[nodiscard]] inline std::string printableText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const Utf8Sequence sequence = readUtf8(text);
        const auto byte = static_cast<unsigned char>(text.front());
        if (sequence.valid ? !printableCharacter(sequence.codePoint) : byte >= 0x80 && byte <= 0x9F) {
            result += '?';
        } else {
            result.append(text.substr(0, sequence.valid ? sequence.length : 1));
        }
        text.remove_prefix(sequence.valid ? sequence.length : 1);
    }
    return result;
}

} // namespace clockdeck

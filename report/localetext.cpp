// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "localetext.h"

#include "base/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace clockdeck {

namespace {

// Each broken sequence as one '?'. iconv cannot be trusted with them: some versions pass sequences above U+10FFFF
// and the old 5-byte forms through unchanged.
std::string wellFormed(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Utf8Sequence sequence = readUtf8(utf8);
        if (sequence.valid) {
            out.append(utf8.substr(0, sequence.length));
        } else {
            out.push_back('?');
        }
        utf8.remove_prefix(sequence.length);
    }
    return out;
}

std::string asciiOnly(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Utf8Sequence sequence = readUtf8(utf8);
        out.push_back(sequence.valid && sequence.codePoint < 0x80 ? utf8[0] : '?');
        utf8.remove_prefix(sequence.length);
    }
    return out;
}

} // namespace

std::string toCharset(std::string_view utf8, const char* charset)
{
    iconv_t cd = ::iconv_open(charset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return asciiOnly(utf8);
    }

    const std::string valid = wellFormed(utf8);
    std::string_view rest = valid;
    std::string out;
    char buffer[1024];
    while (!rest.empty()) {
        char* in = const_cast<char*>(rest.data());
        std::size_t inLeft = rest.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        rest.remove_prefix(rest.size() - inLeft);
        if (error == EILSEQ || error == EINVAL) {
            // A character the target set lacks: one '?' for its whole sequence.
            out.push_back('?');
            rest.remove_prefix(readUtf8(rest).length);
        } else if (error != 0 && error != E2BIG) {
            out.append(asciiOnly(rest));
            break;
        }
    }
    // Flush any shift state the target set keeps.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    ::iconv_close(cd);
    return out;
}

std::string toLocaleText(std::string_view utf8)
{
    return toCharset(utf8, ::nl_langinfo(CODESET));
}

} // namespace clockdeck

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Arbitrary bytes through the number texts and the recomputation: no crash, no UB; computed texts parse back.
#include "calc/numbertext.h"
#include "support/recordingsink.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace clockdeck;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double parsed = ParseLeadingNumber(text);
    (void)strictNumber(text);

    test::RecordingSink sink;
    Calculator calc(sink);
    // Any double, from the raw bytes when there are enough of them: NaNs, infinities and denormals included.
    double raw = parsed;
    if (size >= sizeof raw) {
        std::memcpy(&raw, data, sizeof raw);
    }
    for (const double x : {parsed, raw}) {
        const std::string written = NumberToText(x);
        // A computed text must be stable under parse and write. (Within 5e292 of the largest double the
        // 15-digit text lies beyond the double range and parses as an infinity.)
        const double back = ParseLeadingNumber(written);
        if (std::isfinite(x) && std::isfinite(back) && NumberToText(back) != written) {
            std::abort();
        }
        for (const auto pattern : {"##0.#0", "###.0", "0.#0", "###.0#", "###.#0", "###"}) {
            (void)FormatNumberPattern(x, pattern);
        }
        (void)calc.Ceil(x); // and the 15-digit text it rounds by
    }

    // The same bytes as a field text through every change handler.
    for (std::size_t i = 0; i < InputFieldCount; ++i) {
        calc.setText(static_cast<Field>(i), text);
    }
    calc.setText(Field::Label17, text);
    calc.Label17_MouseUp(1);
    return 0;
}

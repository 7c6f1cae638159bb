// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "sweep.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

struct LiveReadings;

// Every field's text, by Field.
using FieldTexts = std::array<std::string, FieldCount>;

/// A number as JSON writes it: the shortest text that reads back the same ("11.5", "2200").
std::string jsonNumber(double x);

/// A text as a JSON string, quotes included; bytes that are not UTF-8 become U+FFFD.
std::string quotedJson(std::string_view text);

/// Appends a text as a JSON string, quoted and escaped; bytes that are not UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view text);

/// The lines of a report, without their CR LF.
std::vector<std::string_view> reportLines(std::string_view report);

/// The live readings as report-style lines (" Label........ value"), one per reading; an unavailable reading is
/// one line saying why and what to do.
std::string liveText(const LiveReadings& live);

/// The whole output as one JSON object: "fields" (every input and derived field by name, as the window shows
/// it), "report" (its lines), and "sweep", "best" (a JSON value made by the caller) and
/// "live" when given. Texts that are not UTF-8 get U+FFFD.
std::string jsonDocument(const FieldTexts& fields, std::string_view report, std::span<const SweepAxis> axes,
                         std::span<const SweepRow> rows, const LiveReadings* live, std::string_view best = {});

} // namespace clockdeck

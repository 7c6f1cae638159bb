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

/// The JSON object is written in pieces, so a sweep's rows go out as they are computed: the head ("fields", every
/// input and derived field by name as the window shows it, "recognised", whether the processor is an Athlon 64
/// family one whose stock values the load knows, and "report", its lines), then for a sweep its head, rows and end,
/// then the tail ("best", a JSON value made by the caller, and "live", when given). Texts that are not UTF-8 get
/// U+FFFD for each broken byte; characters that printableText() would replace are written as \uXXXX escapes, kept
/// but harmless.
std::string jsonHead(const FieldTexts& fields, bool recognised, std::string_view report);
std::string jsonSweepHead(std::span<const SweepAxis> axes);
std::string jsonSweepRow(std::span<const SweepAxis> axes, const SweepRow& row, bool first);
inline constexpr std::string_view JsonSweepEnd = "\n  ]}";
std::string jsonTail(const LiveReadings* live, std::string_view best);

} // namespace clockdeck

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "output.h"

#include "hardware.h"

#include "base/utf8.h"
#include "probe/live.h"

#include <charconv>
#include <cstdio>

namespace clockdeck {

namespace {

std::string fixed(double x, int decimals)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// A JSON string. Broken UTF-8 gets U+FFFD for each byte; the controls and the characters a terminal would act on
// (C1 controls, DEL, bidirectional overrides) are escaped, so the text stays whole and harmless where it is shown.
void appendString(std::string& out, std::string_view text)
{
    out += '"';
    while (!text.empty()) {
        const char c = text.front();
        const Utf8Sequence sequence = readUtf8(text);
        if (!sequence.valid) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out.append(1, '\\').append(1, c);
        } else if (!printableCharacter(sequence.codePoint)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(sequence.codePoint));
            out += escape;
        } else {
            out.append(text.substr(0, sequence.length));
        }
        text.remove_prefix(sequence.length);
    }
    out += '"';
}

std::string orNull(std::string_view text)
{
    return text.empty() ? "null" : quotedJson(text);
}

std::string fidVidJson(const FidVid& code, bool decoded)
{
    std::string out = "{\"fid\": " + std::to_string(code.fid) + ", \"vid\": " + std::to_string(code.vid);
    if (decoded) {
        const auto multiplier = fidMultiplier(code.fid);
        const auto volts = vidVolts(code.vid);
        out += ", \"multiplier\": " + (multiplier ? jsonNumber(*multiplier) : "null");
        out += ", \"mhz_at_200\": " + (multiplier ? jsonNumber(*multiplier * 200) : "null");
        out += ", \"vcore\": " + (volts ? fixed(*volts, 3) : "null");
    }
    return out + "}";
}

std::string liveJson(const LiveReadings& live)
{
    std::string out = "{\n    \"clock_mhz\": " + (live.clockMHz ? jsonNumber(*live.clockMHz) : "null");
    out += ",\n    \"clock_source\": " + orNull(live.clockSource);
    out += ",\n    \"clock_unavailable\": " + orNull(live.clockUnavailable);
    out += ",\n    \"fidvid\": ";
    if (const auto& status = live.fidVid) {
        char raw[24];
        std::snprintf(raw, sizeof raw, "0x%016llx", static_cast<unsigned long long>(status->raw));
        out += "{\"raw\": \"" + std::string(raw) + "\", \"decoded\": " + (status->decoded ? "true" : "false");
        out += ",\n        \"current\": " + fidVidJson(status->current, status->decoded);
        out += ",\n        \"start\": " + fidVidJson(status->start, status->decoded);
        out += ",\n        \"max\": " + fidVidJson(status->max, status->decoded) + "}";
    } else {
        out += "null";
    }
    out += ",\n    \"fidvid_unavailable\": " + orNull(live.fidVidUnavailable);
    out += hardwareJson(live);
    return out + "\n  }";
}

std::string fidVidText(const FidVid& code, bool decoded)
{
    std::string text = "FID " + std::to_string(code.fid);
    if (decoded) {
        const auto multiplier = fidMultiplier(code.fid);
        text += multiplier ? " (" + jsonNumber(*multiplier) + "x, " + jsonNumber(*multiplier * 200) + " MHz at 200 MHz)"
                           : " (reserved)";
    }
    text += ", VID " + std::to_string(code.vid);
    if (decoded) {
        const auto volts = vidVolts(code.vid);
        text += volts ? " (" + fixed(*volts, 3) + " V)" : " (core voltage off)";
    }
    return text;
}

} // namespace

std::string jsonNumber(double x)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::string quotedJson(std::string_view text)
{
    std::string out;
    appendString(out, text);
    return out;
}

void appendJsonString(std::string& out, std::string_view text)
{
    appendString(out, text);
}

std::vector<std::string_view> reportLines(std::string_view report)
{
    std::vector<std::string_view> lines;
    while (!report.empty()) {
        const auto end = report.find("\r\n");
        lines.push_back(report.substr(0, end));
        report = end == std::string_view::npos ? std::string_view() : report.substr(end + 2);
    }
    return lines;
}

std::string liveText(const LiveReadings& live)
{
    std::string text = " Clock now..... ";
    text += live.clockMHz ? jsonNumber(*live.clockMHz) + " MHz (cpufreq " + live.clockSource + ")"
                          : "unavailable: " + live.clockUnavailable;
    text += '\n';
    const auto& status = live.fidVid;
    if (!status) {
        text += " FID/VID....... unavailable: " + live.fidVidUnavailable + "\n";
    } else {
        const std::string note = status->decoded ? "" : " (raw codes: not decoded on revision F and later)";
        text += " FID/VID now... " + fidVidText(status->current, status->decoded) + note + "\n";
        text += " FID/VID start. " + fidVidText(status->start, status->decoded) + "\n";
        text += " FID/VID max... " + fidVidText(status->max, status->decoded) + "\n";
    }
    return text + hardwareText(live);
}

std::string jsonHead(const FieldTexts& fields, bool recognised, std::string_view report)
{
    std::string out = "{\n  \"fields\": {";
    for (std::size_t i = 0; i < index(Field::PCxxxxMHz); ++i) {
        const auto field = static_cast<Field>(i);
        out += i == 0 ? "\n    " : ",\n    ";
        appendString(out, fieldName(field));
        out += ": ";
        appendString(out, fields[i]);
    }
    out += std::string("\n  },\n  \"recognised\": ") + (recognised ? "true" : "false") + ",\n  \"report\": [";
    bool first = true;
    for (const auto line : reportLines(report)) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        appendString(out, line);
    }
    return out + "\n  ]";
}

std::string jsonSweepHead(std::span<const SweepAxis> axes)
{
    std::string out = ",\n  \"sweep\": {\"fields\": [";
    for (std::size_t a = 0; a < axes.size(); ++a) {
        out += a == 0 ? "" : ", ";
        appendString(out, fieldName(axes[a].field));
    }
    return out + "], \"rows\": [";
}

std::string jsonSweepRow(std::span<const SweepAxis> axes, const SweepRow& row, bool first)
{
    std::string out = first ? "\n    {\"fields\": {" : ",\n    {\"fields\": {";
    for (std::size_t a = 0; a < axes.size(); ++a) {
        out += a == 0 ? "" : ", ";
        out += quotedJson(fieldName(axes[a].field)) + ": " + quotedJson(row.swept[a]);
    }
    for (std::size_t c = 0; c < SweepColumns.size(); ++c) {
        out += ", " + quotedJson(fieldName(SweepColumns[c])) + ": " + quotedJson(row.derived[c]);
    }
    return out + "}, \"clamped\": " + (row.clamped ? "true" : "false") +
           ", \"link_over_1000\": " + (row.linkOver1000 ? "true" : "false") +
           ", \"memory_over_rated\": " + (row.memoryOverRated ? "true" : "false") + "}";
}

std::string jsonTail(const LiveReadings* live, std::string_view best)
{
    std::string out;
    if (!best.empty()) {
        out.append(",\n  \"best\": ").append(best);
    }
    if (live != nullptr) {
        out += ",\n  \"live\": " + liveJson(*live);
    }
    return out + "\n}\n";
}

} // namespace clockdeck

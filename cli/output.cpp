// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "output.h"

#include "hardware.h"

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

// The length of a well-formed UTF-8 sequence at the start of @p s, or 0.
std::size_t utf8Length(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || length > s.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and code points above U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) || (lead == 0xF0 && byte(1) < 0x90) ||
        (lead == 0xF4 && byte(1) > 0x8F)) {
        return 0;
    }
    return length;
}

void appendString(std::string& out, std::string_view text)
{
    out += '"';
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = utf8Length(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out.append(1, '\\').append(1, c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
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

std::string jsonDocument(const FieldTexts& fields, std::string_view report, std::span<const SweepAxis> axes,
                         std::span<const SweepRow> rows, const LiveReadings* live, std::string_view best)
{
    std::string out = "{\n  \"fields\": {";
    for (std::size_t i = 0; i < index(Field::PCxxxxMHz); ++i) {
        const auto field = static_cast<Field>(i);
        out += i == 0 ? "\n    " : ",\n    ";
        appendString(out, fieldName(field));
        out += ": ";
        appendString(out, fields[i]);
    }
    out += "\n  },\n  \"report\": [";
    bool first = true;
    for (const auto line : reportLines(report)) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        appendString(out, line);
    }
    out += "\n  ]";
    if (!axes.empty()) {
        out += ",\n  \"sweep\": {\"fields\": [";
        for (std::size_t a = 0; a < axes.size(); ++a) {
            out += a == 0 ? "" : ", ";
            appendString(out, fieldName(axes[a].field));
        }
        out += "], \"rows\": [";
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const SweepRow& row = rows[r];
            out += r == 0 ? "\n    {\"fields\": {" : ",\n    {\"fields\": {";
            for (std::size_t a = 0; a < axes.size(); ++a) {
                out += a == 0 ? "" : ", ";
                out += quotedJson(fieldName(axes[a].field)) + ": " + quotedJson(row.swept[a]);
            }
            for (std::size_t c = 0; c < SweepColumns.size(); ++c) {
                out += ", " + quotedJson(fieldName(SweepColumns[c])) + ": " + quotedJson(row.derived[c]);
            }
            out += std::string("}, \"clamped\": ") + (row.clamped ? "true" : "false") +
                   ", \"link_over_1000\": " + (row.linkOver1000 ? "true" : "false") +
                   ", \"memory_over_rated\": " + (row.memoryOverRated ? "true" : "false") + "}";
        }
        out += "\n  ]}";
    }
    if (!best.empty()) {
        out.append(",\n  \"best\": ").append(best);
    }
    if (live != nullptr) {
        out += ",\n  \"live\": " + liveJson(*live);
    }
    return out + "\n}\n";
}

} // namespace clockdeck

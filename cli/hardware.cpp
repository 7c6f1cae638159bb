// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "hardware.h"

#include "base/utf8.h"
#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "probe/boundedfile.h"
#include "probe/live.h"

#include <array>
#include <cmath>

namespace clockdeck {

namespace {

// Ceil reports no fault for the positive quotients it is given here; a fault would give divisor 0, which the
// caller refuses.
class QuietSink final : public MessageSink
{
public:
    void updateFault(std::string_view) override {}
    void ceilFault(std::string_view) override {}
};

// The controller's true clocks behind the settings named 133, 166, 266 and 333 MHz: 200 MHz times 2/3, 5/6,
// 4/3 and 5/3. With them multiplier 10 at 166 gives divisor 12, as the hardware divides, where the
// calculator's constant 166.66666666666 gives 13.
struct TrueClock
{
    unsigned mhz;
    double clock;
};
constexpr std::array<TrueClock, 4> TrueClocks{{
    {133, 400.0 / 3},
    {166, 500.0 / 3},
    {266, 800.0 / 3},
    {333, 1000.0 / 3},
}};

// To the hundredth, as the report shows clocks; dividing by 100 gives the double nearest the decimal text.
double hundredths(double x)
{
    return std::round(x * 100) / 100;
}

std::string mhzText(double x)
{
    return jsonNumber(hundredths(x));
}

std::string casText(const std::vector<double>& latencies, std::string_view separator)
{
    std::string text;
    for (const double cl : latencies) {
        text += (text.empty() ? "" : std::string(separator)) + jsonNumber(cl);
    }
    return text;
}

std::string typeName(const SpdModule& module)
{
    return module.type == MemoryType::Ddr2 ? "DDR2" : "DDR";
}

std::string memoryClockWhyNot(const LiveReadings& live)
{
    if (!live.clockMHz) {
        return "no cpufreq clock";
    }
    if (!live.fidVid) {
        return "no FID reading (" + live.fidVidUnavailable + ")";
    }
    return "reserved FID " + std::to_string(live.fidVid->current.fid);
}

} // namespace

std::optional<double> liveMultiplier(const LiveReadings& live)
{
    if (!live.fidVid) {
        return std::nullopt;
    }
    // Revision F keeps the FID table (clock 800 + 100 x FID MHz at 200 MHz) and gives the odd codes the half
    // multipliers: AMD BKDG for revision F (32559), FIDVID_STATUS; cross-checked with Linux's powernow-k8
    // (find_freq_from_fid).
    const unsigned fid = live.fidVid->current.fid;
    return live.fidVid->decoded ? fidMultiplier(fid) : std::optional<double>(4 + fid / 2.0);
}

std::optional<double> liveReferenceMHz(const LiveReadings& live)
{
    const auto multiplier = liveMultiplier(live);
    if (!multiplier || !live.clockMHz) {
        return std::nullopt;
    }
    return *live.clockMHz / *multiplier;
}

std::optional<LiveMemoryClock> liveMemoryClock(const LiveReadings& live)
{
    const auto& memory = live.northbridge.memory.value;
    const auto multiplier = liveMultiplier(live);
    if (!memory || !multiplier || !live.clockMHz) {
        return std::nullopt;
    }
    double memClk = memory->memClkMHz;
    for (const auto& row : TrueClocks) {
        memClk = row.mhz == memory->memClkMHz ? row.clock : memClk;
    }
    QuietSink sink;
    Calculator calc(sink);
    // Ceil leaves a quotient whose 15-digit text is whole as it is (12.000000000000002); the divisor is whole.
    const double divisor = std::round(calc.Ceil(*multiplier / (memClk / 200)));
    if (divisor <= 0) {
        return std::nullopt;
    }
    return LiveMemoryClock{divisor, *live.clockMHz / divisor};
}

double liveLinkMHz(const HtLink& link, const LiveReadings& live)
{
    const auto reference = liveReferenceMHz(live);
    return reference ? link.multiplier * *reference : link.mhz;
}

std::string moduleRating(const SpdModule& module)
{
    if (module.type == MemoryType::Ddr2) {
        const auto peak = static_cast<unsigned>(std::floor(16000 / module.cycleTimeNs / 100 + 1e-6)) * 100;
        return "PC2-" + std::to_string(peak);
    }
    // The list's clocks are whole MHz as modules are named: 166 for PC2700, 183 for PC3000 (5.5 ns gives 181).
    for (std::size_t i = 0; i < ModuleClockEntries.size(); ++i) {
        if (std::abs(ParseLeadingNumber(ModuleClockEntries[i]) - module.ratedMHz) <= 2) {
            return std::string(ModuleRatingEntries[i]);
        }
    }
    return "DDR" + std::to_string(2 * module.ratedMHz);
}

std::string hardwareText(const LiveReadings& live)
{
    std::string text = " Link.......... ";
    if (const auto& link = live.northbridge.link.value) {
        const auto reference = liveReferenceMHz(live);
        text += mhzText(liveLinkMHz(*link, live)) + " MHz (" + jsonNumber(link->multiplier) + "x " +
                (reference ? "of " + mhzText(*reference) + " MHz" : "at the 200 MHz reference clock") + "), " +
                std::to_string(link->widthIn) + " bits in, " + std::to_string(link->widthOut) + " bits out\n";
    } else {
        text += "unavailable: " + live.northbridge.link.unavailable + "\n";
    }
    const auto& memory = live.northbridge.memory;
    if (memory.value) {
        text += " Memory........ setting " + std::to_string(memory.value->memClkMHz) + " MHz";
        const auto clock = liveMemoryClock(live);
        text += clock ? ", divisor " + jsonNumber(clock->divisor) + ": " + mhzText(clock->mhz) + " MHz\n"
                      : "; clock unknown: " + memoryClockWhyNot(live) + "\n";
        if (const auto& t = memory.value->timings.value) {
            text += " Timings....... CL " + jsonNumber(t->cl) + ", tRCD " + std::to_string(t->trcd) + ", tRP " +
                    std::to_string(t->trp) + ", tRAS " + std::to_string(t->tras) + ", tRC " + std::to_string(t->trc) +
                    ", " + (t->twoT ? "2T" : "1T") + "\n";
        } else {
            text += " Timings....... " + memory.value->timings.unavailable + "\n";
        }
    } else {
        text += " Memory........ unavailable: " + memory.unavailable + "\n";
        text += " Timings....... unavailable: " + memory.unavailable + "\n";
    }
    for (const auto& slot : live.modules) {
        text += " Module " + printableText(slot.slot) + ": ";
        if (const auto& m = slot.module.value) {
            text += moduleRating(*m) + " (" + typeName(*m) + ", " + std::to_string(m->ratedMHz) + " MHz), CL " +
                    casText(m->casLatencies, "/") + ", " + std::to_string(m->sizeMB) + " MB, part " +
                    (m->part.empty() ? "none" : m->part) + "\n";
        } else {
            text += "unavailable: " + slot.module.unavailable + "\n";
        }
    }
    if (live.modules.empty()) {
        text += " Modules....... none readable: no SPD EEPROM under /sys/bus/i2c/devices (`modprobe eeprom` or "
                "at24)\n";
    }
    return text;
}

std::string hardwareJson(const LiveReadings& live)
{
    const auto unavailable = [](const std::string& why) { return "{\"unavailable\": " + quotedJson(why) + "}"; };
    std::string out = ",\n    \"link\": ";
    if (const auto& link = live.northbridge.link.value) {
        out += "{\"mhz\": " + mhzText(liveLinkMHz(*link, live)) + ", \"multiplier\": " + jsonNumber(link->multiplier) +
               ", \"width_in\": " + std::to_string(link->widthIn) +
               ", \"width_out\": " + std::to_string(link->widthOut) + "}";
    } else {
        out += unavailable(live.northbridge.link.unavailable);
    }
    out += ",\n    \"memory\": ";
    if (const auto& memory = live.northbridge.memory.value) {
        const auto clock = liveMemoryClock(live);
        const auto& t = memory->timings.value;
        const auto timing = [&](unsigned DramTimings::*member) {
            return t ? std::to_string((*t).*member) : std::string("null");
        };
        out += "{\"memclk_mhz\": " + std::to_string(memory->memClkMHz) +
               ", \"divisor\": " + (clock ? jsonNumber(clock->divisor) : "null") +
               ", \"clock_mhz\": " + (clock ? mhzText(clock->mhz) : "null") +
               ", \"cl\": " + (t ? jsonNumber(t->cl) : "null") + ", \"trcd\": " + timing(&DramTimings::trcd) +
               ", \"trp\": " + timing(&DramTimings::trp) + ", \"tras\": " + timing(&DramTimings::tras) +
               ", \"trc\": " + timing(&DramTimings::trc) +
               ", \"command_rate\": " + (t ? (t->twoT ? "\"2T\"" : "\"1T\"") : "null") +
               ", \"timings_unavailable\": " + (t ? "null" : quotedJson(memory->timings.unavailable)) + "}";
    } else {
        out += unavailable(live.northbridge.memory.unavailable);
    }
    out += ",\n    \"modules\": [";
    for (std::size_t i = 0; i < live.modules.size(); ++i) {
        const ModuleSlot& slot = live.modules[i];
        out += (i == 0 ? "\n      {\"slot\": " : ",\n      {\"slot\": ") + quotedJson(slot.slot);
        if (const auto& m = slot.module.value) {
            out += ", \"type\": \"" + typeName(*m) + "\", \"rated_mhz\": " + std::to_string(m->ratedMHz) +
                   ", \"rating\": " + quotedJson(moduleRating(*m)) + ", \"cas\": [" + casText(m->casLatencies, ", ") +
                   "], \"size_mb\": " + std::to_string(m->sizeMB) + ", \"part\": " + quotedJson(m->part) + "}";
        } else {
            out += ", \"unavailable\": " + quotedJson(slot.module.unavailable) + "}";
        }
    }
    return out + (live.modules.empty() ? "]" : "\n    ]");
}

std::vector<std::string> planAgainstHardware(const FieldTexts& fields, const LiveReadings& live)
{
    std::vector<std::string> lines;
    const auto compare = [&](std::string_view what, Field field, std::optional<double> hardware) {
        const double plan = ParseLeadingNumber(fields[index(field)]);
        // Both as the report shows them: to the hundredth.
        if (hardware && hundredths(plan) != hundredths(*hardware)) {
            lines.push_back(std::string(what) + " differs: plan " + fields[index(field)] + " MHz, hardware " +
                            mhzText(*hardware) + " MHz");
        }
    };
    if (const auto clock = liveMemoryClock(live)) {
        compare("memory clock", Field::shwDDR_MHz, clock->mhz);
    }
    // Without the live reference clock the link's clock is not known: its code names it at 200 MHz only.
    if (const auto& link = live.northbridge.link.value; link && liveReferenceMHz(live)) {
        compare("link clock", Field::Label13, liveLinkMHz(*link, live));
    }
    return lines;
}

} // namespace clockdeck

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "app.h"

#include "commandline.h"
#include "hardware.h"
#include "output.h"
#include "sweep.h"

#include "base/utf8.h"
#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "load/formload.h"
#include "load/identify.h"
#include "probe/live.h"
#include "probe/spd.h"
#include "report/getdata.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace clockdeck {

namespace {

constexpr std::string_view Program = "clockdeck-cli";

// One line: what is not printable in the arguments or the machine's texts (a line end, a terminal escape, a
// bidirectional override) becomes "?".
void addLine(std::string& stream, std::string_view text)
{
    stream.append(Program).append(": ").append(printableText(text)).append("\n");
}

// Faults of the recomputation, which the window shows as message boxes.
class CollectingSink final : public MessageSink
{
public:
    explicit CollectingSink(std::string& err) : m_err(err) {}
    void updateFault(std::string_view message) override { addLine(m_err, message); }
    void ceilFault(std::string_view description) override
    {
        addLine(m_err, "Function Ceil Error! " + std::string(description));
    }

private:
    std::string& m_err;
};

} // namespace

CliResult runCli(std::span<const std::string_view> args)
{
    std::string out;
    CliResult result = runCli(args, [&out](std::string_view piece) { out.append(piece); });
    result.out = std::move(out);
    return result;
}

CliResult runCli(std::span<const std::string_view> args, const std::function<void(std::string_view)>& out)
{
    CliResult result;
    const CommandLine line = parseCommandLine(args);
    if (!line.error.empty()) {
        addLine(result.err, line.error);
        result.status = 2;
        return result;
    }
    if (line.help) {
        out(usageText());
        return result;
    }
    if (line.version) {
        out(std::string(Program) + " " CLOCKDECK_VERSION "\n");
        return result;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(line.sysroot, ec)) {
        addLine(result.err, "--sysroot " + line.sysroot.string() + ": no such folder");
        result.status = 2;
        return result;
    }

    CollectingSink sink(result.err);
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, line.sysroot);
    const bool recognised = isAthlon64Family(line.sysroot);
    if (!recognised) {
        addLine(result.err, NotAthlon64Note);
    }
    // The multiplier the load set is the stock one, the ceiling of a locked processor's search.
    const double stockMultiplier = ParseLeadingNumber(calc.text(Field::Multiplier));
    for (const auto& note : applyActions(calc, line.actions)) {
        addLine(result.err, note);
    }
    // The report and the fields are those of the command line's settings; the sweep then walks away from them.
    const std::string report = GetData(calc.fields());
    std::optional<PlanResult> best;
    if (line.best.enabled) {
        PlanLimits limits = line.best.limits;
        // The modules' own rating beats the load's PCramNum, unless the command line chose a module clock.
        const bool chosen = std::any_of(line.actions.begin(), line.actions.end(),
                                        [](const FieldAction& a) { return a.field == Field::PCramNum; });
        if (const auto slowest = chosen ? std::nullopt : slowestModuleMHz(line.sysroot)) {
            limits.ramRating = *slowest;
            addLine(result.err, "note: the memory limit is the slowest module's rating, " + jsonNumber(*slowest) +
                                    " MHz (--set PCramNum to plan for another)");
        }
        best = findBest(calc, limits, stockMultiplier, isFxProcessor(calc.text(Field::CPU_Identity)));
    }
    const auto readings = [&line]() -> std::optional<LiveReadings> {
        return line.live ? std::optional<LiveReadings>(readLive(line.sysroot)) : std::nullopt;
    };

    // The fields as the command line left them, before any sweep walks away from them.
    FieldTexts texts;
    for (std::size_t f = 0; f < FieldCount; ++f) {
        texts[f] = calc.text(static_cast<Field>(f));
    }
    if (line.format == OutputFormat::Json) {
        out(jsonHead(texts, recognised, report));
        if (!line.sweeps.empty()) {
            out(jsonSweepHead(line.sweeps));
            bool first = true;
            runSweep(calc, line.sweeps, [&](const SweepRow& row) {
                out(jsonSweepRow(line.sweeps, row, first));
                first = false;
            });
            out(JsonSweepEnd);
        }
        const auto live = readings();
        out(jsonTail(live ? &*live : nullptr, best ? bestJson(*best, line.best.top) : std::string()));
        return result;
    }
    if (best) {
        out(bestText(*best, line.best.top));
    } else if (line.sweeps.empty()) {
        // A terminal's text has LF line ends; the results file and the clipboard keep the report's CR LF.
        std::string text;
        for (const auto reportLine : reportLines(report)) {
            text.append(reportLine).append("\n");
        }
        out(text);
    } else {
        TableWriter table(sweepTitles(line.sweeps));
        runSweep(calc, line.sweeps, [&table](const SweepRow& row) { table.add(row); });
        table.write(out);
    }
    if (const auto live = readings()) {
        out(liveText(*live));
        for (const auto& mismatch : planAgainstHardware(texts, *live)) {
            out(" Plan vs. live. " + mismatch + "\n");
        }
    }
    return result;
}

} // namespace clockdeck

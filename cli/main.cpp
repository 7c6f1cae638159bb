// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "commandline.h"

#include "calc/calculator.h"
#include "probe/formload.h"
#include "report/getdata.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace clockdeck;

constexpr std::string_view Program = "clockdeck-cli";

void printLine(std::FILE* stream, std::string_view text)
{
    std::fprintf(stream, "%s: %.*s\n", Program.data(), static_cast<int>(text.size()), text.data());
}

// Faults of the recomputation, which the window shows as message boxes.
class StderrSink final : public MessageSink
{
public:
    void updateFault(std::string_view message) override { printLine(stderr, message); }
    void ceilFault(std::string_view description) override
    {
        printLine(stderr, "Function Ceil Error! " + std::string(description));
    }
};

// Writes all of a text to standard output; false when it cannot (a closed pipe, a full disk).
bool writeOut(std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

int run(const CommandLine& commandLine)
{
    if (commandLine.help) {
        return writeOut(usageText()) ? 0 : 1;
    }
    if (commandLine.version) {
        return writeOut(std::string(Program) + " " CLOCKDECK_VERSION "\n") ? 0 : 1;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(commandLine.sysroot, ec)) {
        printLine(stderr, "--sysroot " + commandLine.sysroot.string() + ": no such folder");
        return 2;
    }

    StderrSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, commandLine.sysroot);
    for (const auto& note : applyActions(calc, commandLine.actions)) {
        printLine(stderr, note);
    }

    // A terminal's text has LF line ends; the results file and the clipboard keep the report's CR LF.
    std::string report = GetData(calc.fields());
    std::string text;
    text.reserve(report.size());
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') {
            continue;
        }
        text += report[i];
    }
    if (!writeOut(text)) {
        printLine(stderr, "cannot write the report to standard output");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        std::vector<std::string_view> args(argv + 1, argv + argc);
        const CommandLine commandLine = parseCommandLine(args);
        if (!commandLine.error.empty()) {
            printLine(stderr, commandLine.error);
            return 2;
        }
        return run(commandLine);
    } catch (const std::exception& e) {
        printLine(stderr, e.what());
        return 1;
    }
}

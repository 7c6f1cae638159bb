// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

std::string profile(const std::string& name)
{
    return std::string(CLOCKDECK_TEST_DATA) + "/profiles/" + name;
}

// Runs clockdeck-cli with no input, standard output (unless redirected to stdoutPath) and error captured apart.
Result run(const std::vector<std::string>& args, const std::string& stdoutPath = {})
{
    const auto tmp = std::filesystem::temp_directory_path() / ("clockdeck-cli-" + std::to_string(::getpid()));
    const std::string outFile = stdoutPath.empty() ? tmp.string() + ".out" : stdoutPath;
    std::string command = "'" CLOCKDECK_CLI "'";
    for (const auto& a : args) {
        command += " '" + a + "'"; // no argument holds a single quote
    }
    command += " </dev/null >'" + outFile + "' 2>'" + tmp.string() + ".err'";
    const int status = std::system(command.c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, stdoutPath.empty() ? slurp(outFile) : "",
             slurp(tmp.string() + ".err")};
    std::filesystem::remove(tmp.string() + ".out");
    std::filesystem::remove(tmp.string() + ".err");
    return r;
}

Result runOnEmpty(std::vector<std::string> args)
{
    args.insert(args.begin(), {"--sysroot", profile("empty")});
    return run(args);
}

TEST(Cli, PrintsTheExpectedReportOfEachProfile)
{
    for (const char* name : {"x2-4400", "fx-53", "opteron-165", "athlon64", "empty", "modern-intel"}) {
        SCOPED_TRACE(name);
        const Result r = run({"--sysroot", profile(name)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.find('\r'), std::string::npos) << "a terminal gets LF line ends";
        ASSERT_EQ(lines(r.out).size(), 25U);
        // Line 1 is the date and time of the run; lines 2 to 25 are saved next to the profile.
        EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), slurp(profile(name) + "/expected-report.txt"));
    }
}

TEST(Cli, SetAndStepRunInCommandLineOrderAfterTheLoad)
{
    const struct
    {
        std::vector<std::string> args;
        std::vector<std::pair<std::size_t, std::string>> lines; // 1-based line number and its text
        std::string err = {};
    } cases[] = {
        {{"--set", "BusSpeed=210"}, {{11, " CPU Speed..... 840 MHz"}, {14, " Clock......... 210"}}},
        {{"--set=OverClock_CPU_Vcore=1.4000"}, {{18, " Vcore OC...... 1.4V"}, {23, " % OC Vcore.... +3.70%"}}},
        {{"--set", "Multiplier=10", "--step", "Multiplier=+2"}, {{15, " Multiple...... 11x"}}},
        {{"--step", "Multiplier=+2", "--set", "Multiplier=10"}, {{15, " Multiple...... 10x"}}},
        {{"--step", "OC_Vdimm=-2"}, {{20, " VDimm OC...... 2.55V"}, {24, " % OC VDimm.... -1.92%"}}},
        // A list text moves the list's position: one press up from 166 is 183, not 216.
        {{"--set", "PCramNum=166", "--step", "PCramNum=+1"}, {{22, " % OC Ram...... +9.3%"}}},
        // One press down from the 166 memory class is the 150 class: 800 / 6.
        {{"--set", "SelectDDR=166", "--step", "SelectDDR=-1"}, {{12, " Ram Speed..... 133.33 MHz"}}},
        {{"--set", "Multiplier=20"},
         {{15, " Multiple...... 15x"}},
         "clockdeck-cli: note: Multiplier=20 is outside 4 to 15; set to 15\n"},
        {{"--step", "Multiplier=+30"},
         {{15, " Multiple...... 15x"}},
         "clockdeck-cli: note: Multiplier stopped at 15, its upper limit\n"},
        {{"--step", "SelectDDR=+3"},
         {{12, " Ram Speed..... 200.0 MHz"}},
         "clockdeck-cli: note: SelectDDR stopped at 200, its upper limit\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Result r = runOnEmpty(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.err);
        const auto out = lines(r.out);
        ASSERT_EQ(out.size(), 25U);
        for (const auto& [number, text] : c.lines) {
            EXPECT_EQ(out[number - 1], text) << "line " << number;
        }
    }
}

TEST(Cli, ABadCommandLinePrintsOneLineAndExitsWithTwo)
{
    // The last: a bad option after good ones still stops everything before the load.
    std::vector<std::vector<std::string>> cases{{"--sysroot", "/no/such/folder"},
                                                {"--sysroot", profile("x2-4400") + "/proc/cpuinfo"},
                                                {"--set", "Multiplier=12", "--step", "BusSpeed=+1", "--frobnicate"}};
    for (const char* option : {"--bogus", "-x", "stray", "--set", "--sysroot"}) {
        cases.push_back({option});
    }
    for (const char* value : {"Multiplier", "Nothing=1", "multiplier=11", "shwCPU_MHz=2200", "Label17=2200",
                              "Multiplier=abc", "Multiplier=", "Multiplier=11x", "Multiplier=inf", "Multiplier=1e999",
                              "SelectDDR=175", "PCramNum=143", "PCramNum= 200"}) {
        cases.push_back({"--set", value});
    }
    for (const char* value : {"Multiplier=1", "Multiplier=+", "Multiplier=+0", "Multiplier=+1.5", "Multiplier=--1",
                              "Multiplier=+100001", "Multiplier=+99999999999999999999", "Nothing=+1"}) {
        cases.push_back({"--step", value});
    }
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const Result r = runOnEmpty(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "exactly one line: " << r.err;
        EXPECT_EQ(r.err.rfind("clockdeck-cli: ", 0), 0U) << r.err;
    }
}

TEST(Cli, HelpVersionAndAFullOutput)
{
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: clockdeck-cli", 0), 0U);
    const Result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "clockdeck-cli " CLOCKDECK_VERSION "\n");
    const Result full = run({"--sysroot", profile("empty")}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "clockdeck-cli: cannot write the report to standard output\n");
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string profile(const char* name)
{
    return std::string(CLOCKDECK_TEST_DATA) + "/profiles/" + name;
}

// Runs clockdeck-cli with these arguments, standard output and error each going to a file of its own.
Result run(const std::vector<std::string>& args, const char* stdoutPath = nullptr)
{
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(::getpid());
    const std::string outFile = stdoutPath != nullptr ? stdoutPath : (dir / ("clockdeck-cli-out-" + tag)).string();
    const std::string errFile = (dir / ("clockdeck-cli-err-" + tag)).string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> all{CLOCKDECK_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    Result result;
    pid_t pid = 0;
    if (posix_spawn(&pid, CLOCKDECK_CLI, &actions, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << CLOCKDECK_CLI;
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (stdoutPath == nullptr) {
        result.out = slurp(outFile);
        std::filesystem::remove(outFile);
    }
    result.err = slurp(errFile);
    std::filesystem::remove(errFile);
    return result;
}

struct ProfileCase
{
    const char* profile;
    std::vector<std::string> lines; // 2 to 25
};

// ---- Reports of saved machine profiles

TEST(Cli, PrintsTheReportOfAProfile)
{
    const std::string sep = " --------------------------------------------";
    const ProfileCase cases[] = {
        {"x2-4400",
         {" AMD Athlon(tm) 64 X2 Dual Core Processor 4400+",
          " Model: 2B     Revision: BH-E4     Stepping: 01",
          sep,
          " BIOS: 05/12/2006   Video BIOS: ",
          " AMD CPU Driver: powernow-k8",
          sep,
          " Stock......... 2200 MHz",
          " Detected...... 2211 MHz",
          sep,
          " CPU Speed..... 2211 MHz",
          " Ram Speed..... 201.0 MHz",
          " HyperTrns..... 804 MHz",
          " Clock......... 201",
          " Multiple...... 11x",
          " HyperTrns..... 4x",
          " Vcore......... 1.35V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... +.5%",
          " % OC Ram...... +.5%",
          " % OC Vcore.... 0.0%",
          " % OC VDimm.... 0%",
          sep}},
        {"fx-53",
         {" AMD Athlon(tm) 64 FX-53 Processor",
          " Model: 07     Revision: SH-CG     Stepping: 0A",
          sep,
          " BIOS: 11/04/2004   Video BIOS: ",
          " AMD CPU Driver: n/a",
          sep,
          " Stock......... 2400 MHz",
          " Detected...... 2600 MHz",
          sep,
          " CPU Speed..... 2604 MHz",
          " Ram Speed..... 217.0 MHz",
          " HyperTrns..... 868 MHz",
          " Clock......... 217",
          " Multiple...... 12x",
          " HyperTrns..... 4x",
          " Vcore......... 1.5V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... +8.5%",
          " % OC Ram...... +8.5%",
          " % OC Vcore.... -10.0%",
          " % OC VDimm.... 0%",
          sep}},
        {"opteron-165",
         {" Dual Core AMD Opteron(tm) Processor 165",
          " Model: 23     Revision: JH-E6     Stepping: 02",
          sep,
          " BIOS: 08/22/2006   Video BIOS: ",
          " AMD CPU Driver: acpi-cpufreq",
          sep,
          " Stock......... 1800 MHz",
          " Detected...... 2000 MHz",
          sep,
          " CPU Speed..... 1998 MHz",
          " Ram Speed..... 222.0 MHz",
          " HyperTrns..... 888 MHz",
          " Clock......... 222",
          " Multiple...... 9x",
          " HyperTrns..... 4x",
          " Vcore......... 1.35V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... +11.0%",
          " % OC Ram...... +11.0%",
          " % OC Vcore.... 0.0%",
          " % OC VDimm.... 0%",
          sep}},
        {"athlon64",
         {" AMD Athlon(tm) 64 Processor 3000+",
          " Model: 2F     Revision: BH-E6     Stepping: 02",
          sep,
          " BIOS: 02/17/2006   Video BIOS: ",
          " AMD CPU Driver: powernow-k8",
          sep,
          " Stock......... 1800 MHz",
          " Detected...... 1810 MHz",
          sep,
          " CPU Speed..... 1800 MHz",
          " Ram Speed..... 200.0 MHz",
          " HyperTrns..... 1000 MHz",
          " Clock......... 200",
          " Multiple...... 9x",
          " HyperTrns..... 5x",
          " Vcore......... 1.35V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... 0%",
          " % OC Ram...... 0%",
          " % OC Vcore.... 0.0%",
          " % OC VDimm.... 0%",
          sep}},
        {"empty",
         {" ",
          " ",
          sep,
          " BIOS:    Video BIOS: ",
          " AMD CPU Driver: n/a",
          sep,
          " Stock......... 1000 MHz",
          " Detected...... 0 MHz",
          sep,
          " CPU Speed..... 800 MHz",
          " Ram Speed..... 200.0 MHz",
          " HyperTrns..... 1000 MHz",
          " Clock......... 200",
          " Multiple...... 4x",
          " HyperTrns..... 5x",
          " Vcore......... 1.35V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... -20.0%",
          " % OC Ram...... 0%",
          " % OC Vcore.... 0.0%",
          " % OC VDimm.... 0%",
          sep}},
        {"modern-intel",
         {" Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz",
          " x86 Family 6 Model 158 Stepping 10",
          sep,
          " BIOS: 07/23/2019   Video BIOS: ",
          " AMD CPU Driver: n/a",
          sep,
          " Stock......... 1000 MHz",
          " Detected...... 3700 MHz",
          sep,
          " CPU Speed..... 800 MHz",
          " Ram Speed..... 200.0 MHz",
          " HyperTrns..... 1000 MHz",
          " Clock......... 200",
          " Multiple...... 4x",
          " HyperTrns..... 5x",
          " Vcore......... 1.35V",
          " Vcore OC...... 1.35V",
          " VDimm......... 2.6V",
          " VDimm OC...... 2.6V",
          " % OC CPU...... -20.0%",
          " % OC Ram...... 0%",
          " % OC Vcore.... 0.0%",
          " % OC VDimm.... 0%",
          sep}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        const Result r = run({"--sysroot", profile(c.profile)});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.find('\r'), std::string::npos) << "a terminal gets LF line ends";
        ASSERT_FALSE(r.out.empty());
        EXPECT_EQ(r.out.back(), '\n');
        const auto lines = splitLines(r.out);
        ASSERT_EQ(lines.size(), 25U);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.lines);
    }
}

// ---- What-if calculations after the load

struct ActionCase
{
    const char* name;
    std::vector<std::string> args;
    std::vector<std::pair<std::size_t, std::string>> lines; // 1-based line number and its text
    std::string err = {};
};

TEST(Cli, SetAndStepRunInCommandLineOrderAfterTheLoad)
{
    const std::string empty = profile("empty");
    const ActionCase cases[] = {
        {"set a number", {"--set", "BusSpeed=210"}, {{11, " CPU Speed..... 840 MHz"}, {14, " Clock......... 210"}}},
        {"numbers take the calculator's form",
         {"--set=OverClock_CPU_Vcore=1.4000"},
         {{18, " Vcore OC...... 1.4V"}, {23, " % OC Vcore.... +3.70%"}}},
        {"order counts", {"--set", "Multiplier=10", "--step", "Multiplier=+2"}, {{15, " Multiple...... 11x"}}},
        {"order counts, reversed",
         {"--step", "Multiplier=+2", "--set", "Multiplier=10"},
         {{15, " Multiple...... 10x"}}},
        {"step down", {"--step", "OC_Vdimm=-2"}, {{20, " VDimm OC...... 2.55V"}, {24, " % OC VDimm.... -1.92%"}}},
        // A list text moves the list's position: one press up from 166 is 183, not 216.
        {"module clock then step", {"--set", "PCramNum=166", "--step", "PCramNum=+1"}, {{22, " % OC Ram...... +9.3%"}}},
        // One press down from 166 is the 150 class: 800 / 6.
        {"memory class then step",
         {"--set", "SelectDDR=166", "--step", "SelectDDR=-1"},
         {{12, " Ram Speed..... 133.33 MHz"}}},
        {"clamped set",
         {"--set", "Multiplier=20"},
         {{15, " Multiple...... 15x"}},
         "clockdeck-cli: note: Multiplier=20 is outside 4 to 15; set to 15\n"},
        {"step into a limit",
         {"--step", "Multiplier=+30"},
         {{15, " Multiple...... 15x"}},
         "clockdeck-cli: note: Multiplier stopped at 15, its upper limit\n"},
        {"step to the end of a list",
         {"--step", "SelectDDR=+3"},
         {{12, " Ram Speed..... 200.0 MHz"}},
         "clockdeck-cli: note: SelectDDR stopped at 200, its upper limit\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"--sysroot", empty};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.err);
        const auto lines = splitLines(r.out);
        ASSERT_EQ(lines.size(), 25U);
        for (const auto& [number, text] : c.lines) {
            EXPECT_EQ(lines[number - 1], text) << "line " << number;
        }
    }
}

// ---- Bad command lines

TEST(Cli, ABadCommandLinePrintsOneLineAndExitsWithTwo)
{
    const std::string empty = profile("empty");
    const std::vector<std::vector<std::string>> cases{
        {"--bogus"},
        {"-x"},
        {"stray"},
        {"--set"},
        {"--sysroot"},
        {"--sysroot", "/no/such/folder"},
        {"--sysroot", profile("x2-4400") + "/proc/cpuinfo"},
        {"--set", "Multiplier"},
        {"--set", "Nothing=1"},
        {"--set", "multiplier=11"},
        {"--set", "shwCPU_MHz=2200"},
        {"--set", "Label17=2200"},
        {"--set", "Multiplier=abc"},
        {"--set", "Multiplier="},
        {"--set", "Multiplier=11x"},
        {"--set", "Multiplier=inf"},
        {"--set", "Multiplier=1e999"},
        {"--set", "SelectDDR=175"},
        {"--set", "PCramNum=143"},
        {"--set", "PCramNum= 200"},
        {"--step", "Multiplier=1"},
        {"--step", "Multiplier=+"},
        {"--step", "Multiplier=+0"},
        {"--step", "Multiplier=+1.5"},
        {"--step", "Multiplier=--1"},
        {"--step", "Multiplier=+100001"},
        {"--step", "Multiplier=+99999999999999999999"},
        {"--step", "Nothing=+1"},
        // A bad option after good ones still stops everything before the load.
        {"--set", "Multiplier=12", "--step", "BusSpeed=+1", "--frobnicate"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) {
            shown += a + " ";
        }
        SCOPED_TRACE(shown);
        std::vector<std::string> all{"--sysroot", empty};
        all.insert(all.end(), args.begin(), args.end());
        const Result r = run(all);
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

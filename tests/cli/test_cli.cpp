// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "cli/app.h"
#include "cli/commandline.h"
#include "probe/formload.h"
#include "support/recordingsink.h"
#include "support/tempfolder.h"

#include <nlohmann/json.hpp>

#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace clockdeck;

CliResult cli(std::vector<std::string> args, const char* profile = "empty")
{
    args.insert(args.begin(), {"--sysroot", test::profile(profile).string()});
    return runCli(std::vector<std::string_view>(args.begin(), args.end()));
}

TEST(Cli, EveryCommandLineGivesItsOutcome)
{
    struct Case
    {
        std::vector<std::string> args;
        std::string out; // a part of standard output; for status 2, of the one line on standard error
        std::string_view err = {};
    };
    const std::vector<Case> cases{
        // --set and --step run in command-line order; a list text moves its list's position.
        {{"--set", "Multiplier=10", "--step", "Multiplier=+2"}, " Multiple...... 11x\n"},
        {{"--set", "PCramNum=166", "--step", "PCramNum=+1"}, " % OC Ram...... +9.3%\n"},
        {{"--step", "Multiplier=+30"}, " Multiple...... 15x\n", "note: Multiplier stopped at 15, its upper limit\n"},
        // Sweeps: both ends included, even where the step does not divide the span exactly in binary.
        {{"--sweep", "StockCPU_Vcore=0.1:3"}, "\n               3      800 "},
        {{"--sweep", "OC_Vdimm=2.7:2.6:-0.05"}, "\n      2.65      800 "},
        {{"--sweep", "PCramNum=100:300:5"}, "\n       275      800 "},
        {{"--sweep", "Multiplier=15:15.5"}, "0%  clamped\n"},      // the mark says the range check changed the value
        {{"--bo\033]0;x\ngus"}, "unknown option '--bo?]0;x?gus'"}, // no escape or line end reaches the terminal
        {{"--set"}, "--set needs a value"},
        {{"--sysroot", "/no/such/folder"}, "no such folder"},
        {{"--set", "Multiplier=abc"}, "takes a number"},
        {{"--set", "PCramNum= 200"}, "PCramNum takes one of"},
        {{"--step", "Multiplier=+0"}, "with N from 1 to 100000"},
        {{"--step", "Multiplier=+100001"}, "with N from 1 to 100000"},
        {{"--step", "Multiplier=+99999999999999999999"}, "with N from 1 to 100000"},
        {{"--format", "xml"}, "--format takes text or json"},
        {{"--sweep", "BusSpeed=200"}, "needs FROM:TO or FROM:TO:STEP"},
        {{"--sweep", "BusSpeed=210:200"}, "FROM 210 lies above TO 200"},
        {{"--sweep", "BusSpeed=200:210:0"}, "a STEP of 0"},
        {{"--sweep", "Label13=200:210"}, "unknown input field 'Label13'"},
        {{"--sweep", "BusSpeed=1:2", "--sweep", "Multiplier=4:5", "--sweep", "OC_Vdimm=1:2"}, "at most two --sweep"},
        {{"--sweep", "BusSpeed=1:2", "--sweep", "BusSpeed=3:4"}, "--sweep BusSpeed is given twice"},
        {{"--sweep", "SelectDDR=200:175"}, "SelectDDR takes one of"},
        {{"--sweep", "BusSpeed=0:100000"}, "more than 100000 rows"},
        {{"--sweep", "BusSpeed=1:100000"}, "  clamped link>1000 ram>rated\n"}, // exactly as many rows as allowed
        {{"--sweep", "BusSpeed=1:10000", "--sweep", "Multiplier=4:9"}, "the sweep has 110000 rows; at most 100000"},
        {std::vector<std::string>(11, "--step=BusSpeed=+100000"), "asks for 1100000 presses, settings and sweep"},
        // --best and its limits: each bound of a limit's range is accepted, a value just past it is not.
        {{"--best", "--top=1", "--max-cpu=400", "--max-ref=100", "--max-link=100", "--ram-margin=0"},
         "\n     1       100           4               1        200      400 "},
        {{"--best", "--max-cpu=6000", "--max-ref=400", "--max-link=3200", "--ram-margin=100", "--unlocked"},
         "  link>1000 ram>rated\nevaluated 6924 combinations; 6923 rows met the limits\n"},
        {{"--best", "--ram-margin=-0.5"}, "--ram-margin takes percent from 0 to 100, not '-0.5'"},
        {{"--best", "--ram-margin=100.5"}, "--ram-margin takes percent from 0 to 100"},
        {{"--best", "--max-ref=99.5"}, "--max-ref takes MHz from 100 to 400, not '99.5'"},
        {{"--best", "--max-ref=400.5"}, "--max-ref takes MHz from 100 to 400"},
        {{"--best", "--max-cpu=399"}, "--max-cpu takes MHz from 400 to 6000"},
        {{"--best", "--max-link=3201"}, "--max-link takes MHz from 100 to 3200"},
        {{"--best", "--max-link=1e3x"}, "--max-link takes MHz from 100 to 3200, not '1e3x'"},
        {{"--best", "--top=0"}, "--top takes a whole number of rows from 1 to 10000"},
        {{"--best", "--top=2.5"}, "--top takes a whole number of rows"},
        {{"--best", "--top=10001"}, "--top takes a whole number of rows"},
        {{"--best", "--sweep=BusSpeed=200:201"}, "--best searches on its own; leave out --sweep"},
        {{"--unlocked"}, "go with --best"},
        {{"--top", "5"}, "go with --best"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CliResult r = cli(c.args);
        if (r.status == 2) {
            const bool oneLine = r.err.starts_with("clockdeck-cli: ") && r.err.find('\n') == r.err.size() - 1;
            EXPECT_TRUE(r.out.empty() && oneLine && r.err.find(c.out) != std::string::npos) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        EXPECT_EQ(r.err, c.err.empty() ? "" : "clockdeck-cli: " + std::string(c.err));
    }
}

TEST(Cli, TextMatchesTheGoldenSweepAndJsonHoldsWhatTheTextShows)
{
    const auto dir = test::profile("athlon64");
    std::vector<std::string> args{"--live", "--sweep=BusSpeed=196:212:4", "--sweep=Multiplier=9:10"};
    std::istringstream text(cli(args, "athlon64").out);
    const std::string golden(std::istreambuf_iterator<char>(std::ifstream(dir / "expected-sweep.txt").rdbuf()), {});
    EXPECT_EQ(text.str().substr(0, golden.size()), golden);
    args.insert(args.end(), {"--format", "json"});
    const auto json = nlohmann::ordered_json::parse(cli(args, "athlon64").out);
    std::string line, cell;
    std::getline(text, line); // the header
    for (const auto& row : json["sweep"]["rows"]) {
        std::getline(text, line);
        std::istringstream cells(line);
        for (const auto& [name, value] : row["fields"].items()) // in the order of the table's columns
            EXPECT_EQ(value, (cells >> cell, cell)) << name << " in " << line;
        const std::string marks = std::string(row["clamped"] ? " clamped" : "") +
                                  (row["link_over_1000"] ? " link>1000" : "") +
                                  (row["memory_over_rated"] ? " ram>rated" : "");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(cells), {}), marks.empty() ? "" : " " + marks) << line;
    }
    std::getline(text, line);
    EXPECT_EQ(line, " Clock now..... unavailable: " + json["live"]["clock_unavailable"].get<std::string>());
    EXPECT_EQ(json["fields"]["BusSpeed"], "200") << "the fields before the sweep";
}

// The text's rows and last line and the JSON's "best" say the same; the limits come back as given.
TEST(Cli, BestPrintsTheTopRowsInTextAndJson)
{
    std::vector<std::string> args{"--best", "--top=3", "--max-ref=250", "--ram-margin=2.5"};
    std::istringstream text(cli(args, "x2-4400").out);
    args.push_back("--format=json");
    const auto best = nlohmann::ordered_json::parse(cli(args, "x2-4400").out)["best"];
    EXPECT_EQ(best["limits"].dump(),
              R"({"max_cpu":null,"max_ref":250,"max_link":1000,"ram_margin":2.5,"unlocked":false})");
    std::string line, rank, bus, multiplier, ht, memoryClass;
    std::getline(text, line);
    EXPECT_TRUE(line.starts_with("  Rank  BusSpeed  Multiplier  HyperTransport  SelectDDR  CPU MHz")) << line;
    ASSERT_EQ(best["rows"].size(), 3u);
    for (const auto& row : best["rows"]) {
        std::getline(text, line);
        std::istringstream(line) >> rank >> bus >> multiplier >> ht >> memoryClass;
        EXPECT_EQ(bus + " " + multiplier + " " + ht + " " + memoryClass,
                  row["fields"]["BusSpeed"].get<std::string>() + " " + row["fields"]["Multiplier"].get<std::string>() +
                      " " + row["fields"]["HyperTransport"].get<std::string>() + " " +
                      row["fields"]["SelectDDR"].get<std::string>());
        EXPECT_EQ(row["fields"].size(), 17u) << "every input and derived field";
    }
    std::getline(text, line);
    EXPECT_EQ(line, "evaluated " + best["evaluated"].dump() + " combinations; " + best["met"].dump() +
                        " rows met the limits");
    // With none met, the last line names the limit that kept the most out.
    PlanResult none;
    none.mostExcluding = PlanLimit::Link;
    EXPECT_EQ(bestText(none, 10),
              "evaluated 0 combinations; none met the limits; the link limit (--max-link) excluded the most\n");
}

// A sweep's rows go out as they are computed: JSON row by row, text in blocks; together, the same output.
TEST(Cli, SweepsStreamTheirRows)
{
    for (const char* format : {"--format=json", "--format=text"}) {
        const std::string sysroot = "--sysroot=" + test::profile("empty").string();
        const std::vector<std::string_view> args{sysroot, "--sweep=BusSpeed=1:20000", format};
        std::string streamed;
        std::size_t pieces = 0;
        const CliResult r = runCli(args, [&](std::string_view piece) { streamed.append(piece), ++pieces; });
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(streamed, runCli(args).out) << format;
        EXPECT_GE(pieces, format[9] == 'j' ? 20000u : 4u) << format;
    }
}

TEST(Cli, AStepThatStopsChangingStopsPressingWithTheSameResult)
{
    for (const auto& [field, presses] : {std::pair{Field::OverClock_CPU_Vcore, -1000}, {Field::PCramNum, 1000}}) {
        test::RecordingSink sink;
        Calculator shortcut(sink), pressed(sink);
        HeadlessWindow window;
        Form_Load(shortcut, window, test::profile("x2-4400"));
        Form_Load(pressed, window, test::profile("x2-4400"));
        (void)applyActions(shortcut, {{FieldAction::Kind::Step, field, {}, presses}});
        for (int i = 0; i < std::abs(presses); ++i)
            presses > 0 ? pressed.up(spinFor(field)) : pressed.down(spinFor(field));
        for (std::size_t f = 0; f < FieldCount; ++f)
            EXPECT_EQ(shortcut.text(Field(f)), pressed.text(Field(f))) << fieldName(field);
    }
}

// The real program as a shell starts it (SIGPIPE at its default), its output to a file, a pipe whose reader has gone,
// or a file under `ulimit -f 0`; its standard error read through a pipe.
TEST(CliProgram, ExitStatusesAndTheSplitOfItsOutput)
{
    const test::TempFolder folder;
    constexpr int File = 0, ClosedPipe = 1, LimitedFile = 2;
    // Arguments, where standard output goes, the exit status, the start of standard output, standard error.
    const std::tuple<std::vector<const char*>, int, int, std::string, std::string> cases[] = {
        {{"--set", "Multiplier=20"}, File, 0, " ", "note: Multiplier=20 is outside 4 to 15; set to 15"},
        {{"--help"}, File, 0, "Usage: clockdeck-cli", ""},
        {{"--bogus"}, File, 2, "", "unknown option '--bogus' (see --help)"},
        {{"--help"}, ClosedPipe, 1, "", "cannot write to standard output: Broken pipe"},
        {{"--help"}, LimitedFile, 1, "", "cannot write to standard output: File too large"},
    };
    for (auto [args, to, expectedStatus, outStart, expectedErr] : cases) {
        int out[2], err[2], status = 0;
        ASSERT_EQ(::pipe(out) | ::pipe(err), 0);
        ::close(out[0]); // the reader is gone before the program writes
        args.insert(args.begin(), CLOCKDECK_CLI), args.push_back(nullptr);
        const rlimit none{0, 0};
        if (::fork() == 0) {
            std::signal(SIGPIPE, SIG_DFL);
            ::dup2(to == ClosedPipe ? out[1] : fileno(std::fopen((folder.path() / "out").c_str(), "w")), 1);
            ::dup2(err[1], 2);
            if (to == LimitedFile)
                ::setrlimit(RLIMIT_FSIZE, &none);
            ::execv(CLOCKDECK_CLI, const_cast<char* const*>(args.data()));
            ::_exit(127);
        }
        ::close(out[1]), ::close(err[1]), ::wait(&status);
        char errText[4096] = {}; // small enough to wait in the pipe until the program has ended
        (void)::read(err[0], errText, sizeof errText - 1), ::close(err[0]);
        std::ifstream outText(to == File ? folder.path() / "out" : "/dev/null");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), expectedStatus) << args[1];
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(outText), {}).substr(0, outStart.size()), outStart);
        EXPECT_EQ(std::string(errText), expectedErr.empty() ? "" : "clockdeck-cli: " + expectedErr + "\n");
    }
}

} // namespace

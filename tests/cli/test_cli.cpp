// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "cli/app.h"
#include "cli/commandline.h"
#include "cli/hardware.h"
#include "cli/output.h"
#include "load/formload.h"
#include "probe/live.h"
#include "support/tempfolder.h"

#include <nlohmann/json.hpp>

#include <csignal>
#include <fcntl.h>
#include <regex>
#include <set>
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
        {{"--set", "Multiplier=20"}, " Multiple...... 15x\n", "note: Multiplier=20 is outside 4 to 15; set to 15\n"},
        {{"--step", "SelectDDR=+1", "--step", "SelectDDR=-1"},
         " Ram Speed..... 160.0 MHz\n", // the load's class
         "note: SelectDDR stopped at 200, its upper limit\n"},
        {{"--set", "OverClock_CPU_Vcore=0.105", "--step", "OverClock_CPU_Vcore=-1"},
         " Vcore OC...... 0.1V\n",
         "note: OverClock_CPU_Vcore stopped at 0.1, its lower limit\n"}, // a clamped press is the last
        // Sweeps: both ends included, even where the step does not divide the span exactly in binary.
        {{"--sweep", "StockCPU_Vcore=0.1:3"}, "\n               3      800 "},
        {{"--sweep", "OC_Vdimm=2.7:2.6:-0.05"}, "\n      2.65      800 "},
        {{"--sweep", "SelectDDR=166:125:2"}, "\n        125 "},
        {{"--sweep", "PCramNum=100:300:5"}, "+100.0%     0.0%       0%  ram>rated\n       200      800 "},
        {{"--sweep", "Multiplier=15:15.5", "--sweep=BusSpeed=200:200"}, "0%  clamped\n"}, // the outer value changed
        {{"--bo\033]0;x\ngus"}, "unknown option '--bo?]0;x?gus'"},   // no escape or line end reaches the terminal
        {{"--bo\u009b2J\u202egus"}, "unknown option '--bo?2J?gus'"}, // nor a C1 control or an override
        {{"-x"}, "unknown option '-x'"},
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
        {{"--sweep", "BusSpeed=200:210:-1"}, "FROM 200 lies below TO 210 with a negative STEP"},
        {{"--sweep", "BusSpeed=200:210:0"}, "a STEP of 0"},
        {{"--sweep", "Label13=200:210"}, "unknown input field 'Label13'"},
        {{"--sweep", "BusSpeed=1:2", "--sweep", "Multiplier=4:5", "--sweep", "OC_Vdimm=1:2"}, "at most two --sweep"},
        {{"--sweep", "BusSpeed=1:2", "--sweep", "BusSpeed=3:4"}, "--sweep BusSpeed is given twice"},
        {{"--sweep", "SelectDDR=200:175"}, "SelectDDR takes one of"},
        {{"--sweep", "BusSpeed=0:100000"}, "more than 100000 rows"},
        {{"--sweep", "BusSpeed=1:100000"}, "  clamped link>1000 ram>rated\n"}, // exactly as many rows as allowed
        {{"--sweep", "BusSpeed=1:10000", "--sweep", "Multiplier=4:9"}, "the sweep has 110000 rows; at most 100000"},
        // --best and its limits: each bound of a limit's range is accepted, a value just past it is not.
        {{"--best", "--top=1", "--max-cpu=400", "--max-ref=100", "--max-link=100", "--ram-margin=0"},
         "\n     1       100           4               1        200      400     100    100.0  -60.0%  -50.0%     0.0%"
         "       0%\nevaluated 1 combination; 1 row met the limits\n"},
        {{"--best", "--max-cpu=6000", "--max-ref=400", "--max-link=3200", "--ram-margin=100", "--unlocked"},
         "  link>1000 ram>rated\nevaluated 6924 combinations; 6923 rows met the limits\n"},
        {{"--best", "--ram-margin=-0.5"}, "--ram-margin takes percent from 0 to 100, not '-0.5'"},
        {{"--best", "--max-ref=99.5"}, "--max-ref takes MHz from 100 to 400, not '99.5'"},
        {{"--best", "--max-link=3201"}, "--max-link takes MHz from 100 to 3200"},
        {{"--best", "--max-link=1e3x"}, "--max-link takes MHz from 100 to 3200, not '1e3x'"},
        {{"--best", "--top=0"}, "--top takes a whole number of rows from 1 to 10000"},
        {{"--best", "--top=2.5"}, "--top takes a whole number of rows"},
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
        // The empty profile names no processor: the note on a foreign processor comes first.
        EXPECT_EQ(r.err, "clockdeck-cli: " + std::string(NotAthlon64Note) + "\n" +
                             (c.err.empty() ? "" : "clockdeck-cli: " + std::string(c.err)));
    }
    std::vector<std::string_view> most(10, "--step=BusSpeed=+100000"); // exactly the most work, then one setting more
    EXPECT_EQ(parseCommandLine(most).error, "");
    most.push_back("--set=BusSpeed=200");
    EXPECT_EQ(parseCommandLine(most).error,
              "the command line asks for 1000001 presses, settings and sweep rows; at most 1000000");
}

// Only an AMD processor of family 15 is one whose stock values the load knows; the note does not depend on the format.
TEST(Cli, ForeignProcessorIsSaidOnStandardErrorAndInJson)
{
    const test::TempFolder pentium4; // family 15, but not AMD's
    pentium4.write("proc/cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 15\nmodel\t\t: 4\n"
                                   "model name\t: Intel(R) Pentium(R) 4 CPU 3.00GHz\nstepping\t: 3\n\n");
    for (const auto& [sysroot, recognised] :
         {std::pair{test::profile("x2-4400").string(), true}, {pentium4.path().string(), false}}) {
        const CliResult r = runCli(std::vector<std::string_view>{"--sysroot", sysroot, "--format", "json"});
        EXPECT_EQ(r.status, 0) << sysroot;
        EXPECT_EQ(r.err, recognised ? "" : "clockdeck-cli: " + std::string(NotAthlon64Note) + "\n") << sysroot;
        EXPECT_EQ(nlohmann::json::parse(r.out)["recognised"], recognised) << sysroot;
    }
}

TEST(Cli, TextMatchesTheGoldenSweepAndJsonIsWhole)
{
    const auto dir = test::profile("athlon64");
    std::vector<std::string> args{"--live", "--sweep=BusSpeed=196:212:4", "--sweep=Multiplier=9:10"};
    const std::string text = cli(args, "athlon64").out;
    const std::string golden(std::istreambuf_iterator<char>(std::ifstream(dir / "expected-sweep.txt").rdbuf()), {});
    EXPECT_EQ(text.substr(0, golden.size()), golden);
    args.insert(args.end(), {"--format", "json"});
    const auto json = nlohmann::ordered_json::parse(cli(args, "athlon64").out);
    EXPECT_EQ(json["sweep"]["rows"].size(), 15u);
    EXPECT_EQ(json["fields"]["BusSpeed"], "200") << "the fields before the sweep";
}

TEST(Cli, BestPrintsTheTopRowsInTextAndJson)
{
    std::vector<std::string> args{"--best", "--top=3", "--max-cpu=6000", "--max-ref=250", "--ram-margin=2.5"};
    std::istringstream text(cli(args, "x2-4400").out);
    args.push_back("--format=json");
    const auto best = nlohmann::ordered_json::parse(cli(args, "x2-4400").out)["best"];
    EXPECT_EQ(best["limits"].dump(),
              R"({"max_cpu":6000,"max_ref":250,"max_link":1000,"ram_margin":2.5,"unlocked":false})");
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
        EXPECT_EQ(multiplier, "11") << "locked at the stock multiplier";
    }
    std::getline(text, line);
    EXPECT_EQ(line, "evaluated " + best["evaluated"].dump() + " combinations; " + best["met"].dump() +
                        " rows met the limits");
    PlanResult none;
    none.mostExcluding = PlanLimit::Link;
    EXPECT_EQ(bestText(none, 10),
              "evaluated 0 combinations; none met the limits; the link limit (--max-link) excluded the most\n");
    none.limits.unlocked = true;
    EXPECT_NE(bestJson(none, 10).find(R"("unlocked": true}, "evaluated": 0, "met": 0, "rows": [])"), std::string::npos);
}

// The real program as a shell starts it (SIGPIPE at its default), its output to a file, a pipe whose reader has gone,
// or a file under `ulimit -f 0`; its standard error read through a pipe.
TEST(CliProgram, ExitStatusesAndTheSplitOfItsOutput)
{
    const test::TempFolder folder;
    constexpr int File = 0, ClosedPipe = 1, LimitedFile = 2;
    // Where --help's output goes, the exit status, the start of standard output, standard error.
    const std::tuple<const char*, int, int, std::string, std::string> cases[] = {
        {"to a file", File, 0, "Usage: clockdeck-cli", ""},
        {"to a closed pipe", ClosedPipe, 1, "", "cannot write to standard output: Broken pipe"},
        {"to a full file", LimitedFile, 1, "", "cannot write to standard output: File too large"},
    };
    const char* const args[] = {CLOCKDECK_CLI, "--help", nullptr};
    for (const auto& [row, to, expectedStatus, outStart, expectedErr] : cases) {
        int out[2], err[2], status = 0;
        const int piped = ::pipe(out) | ::pipe(err);
        ASSERT_EQ(piped, 0) << row;
        ::close(out[0]); // the reader is gone before the program writes
        const rlimit none{0, 0};
        if (::fork() == 0) {
            std::signal(SIGPIPE, SIG_DFL);
            ::dup2(to == ClosedPipe ? out[1] : fileno(std::fopen((folder.path() / "out").c_str(), "w")), 1);
            ::dup2(err[1], 2);
            if (to == LimitedFile) {
                ::setrlimit(RLIMIT_FSIZE, &none);
            }
            ::execv(CLOCKDECK_CLI, const_cast<char* const*>(args));
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        ::wait(&status);
        char errText[4096] = {}; // small enough to wait in the pipe until the program has ended
        (void)::read(err[0], errText, sizeof errText - 1);
        ::close(err[0]);
        std::ifstream outText(to == File ? folder.path() / "out" : "/dev/null");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), expectedStatus) << row;
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(outText), {}).substr(0, outStart.size()), outStart) << row;
        EXPECT_EQ(std::string(errText), expectedErr.empty() ? "" : "clockdeck-cli: " + expectedErr + "\n") << row;
    }
}

// A saved machine copied with a cpufreq clock and a FIDVID_STATUS register whose current FID is @p fid.
void liveMachine(const test::TempFolder& root, const char* profile, const char* kHz, std::uint64_t fid)
{
    std::filesystem::copy(test::profile(profile), root.path(), std::filesystem::copy_options::recursive);
    root.write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", kHz);
    const int fd = ::open(root.write("dev/cpu/0/msr", "").c_str(), O_WRONLY);
    EXPECT_EQ(::pwrite(fd, &fid, sizeof fid, static_cast<off_t>(FidVidStatusMsr)), 8);
    ::close(fd);
}

// The member names a line of the manual's JSON schema gives: every \(dqname\(dq: in it.
std::set<std::string> manualKeys(std::string_view object)
{
    std::ifstream in(std::filesystem::path(CLOCKDECK_TEST_DATA) / "../../docs/clockdeck-cli.1");
    std::string line;
    while (std::getline(in, line) && line != ".B " + std::string(object)) {
    }
    std::getline(in, line);
    std::set<std::string> keys;
    const std::regex key(R"(\\\(dq([a-z_]+)\\\(dq:)");
    for (std::sregex_iterator it(line.begin(), line.end(), key); it != std::sregex_iterator(); ++it) {
        keys.insert((*it)[1]);
    }
    return keys;
}

std::set<std::string> keysOf(const nlohmann::json& object)
{
    std::set<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.insert(key);
    }
    return keys;
}

TEST(CliLive, TheHardwareBesideThePlan)
{
    const struct
    {
        const char* profile;
        const char* kHz;
        std::uint64_t fid;
        std::string link, memory, mismatches;
    } cases[] = {
        // 201 MHz reference (2211 / 11): the link runs 5 x 201, the plan lowered it to 4x; the memory agrees.
        {"x2-4400", "2211000\n", 14, R"({"mhz":1005,"multiplier":5,"width_in":16,"width_out":16})",
         R"({"memclk_mhz":200,"divisor":11,"clock_mhz":201,"cl":2.5,"trcd":3,"trp":3,"tras":8,"trc":11,)"
         R"("command_rate":"1T","timings_unavailable":null})",
         " Plan vs. live. link clock differs: plan 804 MHz, hardware 1005 MHz\n"},
        // 10x at 166 (500/3) MHz: divisor 12, as the controller divides; the plan's 200-class memory runs faster.
        {"athlon64-754", "2000000\n", 12, R"({"mhz":800,"multiplier":4,"width_in":16,"width_out":8})",
         R"({"memclk_mhz":166,"divisor":12,"clock_mhz":166.67,"cl":3,"trcd":4,"trp":3,"tras":7,"trc":12,)"
         R"("command_rate":"2T","timings_unavailable":null})",
         " Plan vs. live. memory clock differs: plan 200.0 MHz, hardware 166.67 MHz\n"
         " Plan vs. live. link clock differs: plan 1000 MHz, hardware 800 MHz\n"},
        // Revision F, FID 18 (13x): DDR2-800's 400 MHz needs divisor Ceil(6.5) = 7.
        {"am2-ddr2", "2600000\n", 18, R"({"mhz":1000,"multiplier":5,"width_in":16,"width_out":16})",
         R"({"memclk_mhz":400,"divisor":7,"clock_mhz":371.43,"cl":null,"trcd":null,"trp":null,"tras":null,)"
         R"("trc":null,"command_rate":null,"timings_unavailable":"not decoded for DDR2"})",
         " Plan vs. live. memory clock differs: plan 200.0 MHz, hardware 371.43 MHz\n"},
    };
    for (const auto& c : cases) {
        const test::TempFolder root;
        liveMachine(root, c.profile, c.kHz, c.fid);
        const std::string text = cli({"--sysroot", root.path().string(), "--live"}).out;
        const auto plan = text.find(" Plan vs. live.");
        EXPECT_EQ(plan == std::string::npos ? "" : text.substr(plan), c.mismatches) << c.profile;
        const auto live =
            nlohmann::json::parse(cli({"--sysroot", root.path().string(), "--live", "--format=json"}).out)["live"];
        EXPECT_EQ(live["link"], nlohmann::json::parse(c.link)) << c.profile;
        EXPECT_EQ(live["memory"], nlohmann::json::parse(c.memory)) << c.profile;
    }
}

TEST(CliLive, JsonMembersAreTheManualsSchema)
{
    const auto live = nlohmann::json::parse(cli({"--live", "--format", "json"}, "athlon64-754").out)["live"];
    EXPECT_EQ(keysOf(live["link"]), manualKeys("link"));
    EXPECT_EQ(keysOf(live["memory"]), manualKeys("memory"));
    EXPECT_EQ(keysOf(live["modules"][0]), manualKeys("modules"));
    EXPECT_EQ(live["modules"][0], nlohmann::json::parse(R"({"slot":"0-0050","type":"DDR","rated_mhz":200,)"
                                                        R"("rating":"PC3200","cas":[2,2.5,3],"size_mb":512,)"
                                                        R"("part":"CMX512-3200C2"})"));
    EXPECT_EQ(live["modules"][2],
              nlohmann::json::parse(R"({"slot":"0-0052","unavailable":"unreadable: SPD checksum fails"})"));
    const auto none = nlohmann::json::parse(cli({"--live", "--format", "json"}, "athlon64").out)["live"];
    EXPECT_EQ(none["link"], nlohmann::json::parse(R"({"unavailable":"no PCI device 0000:00:18.0"})"));
    EXPECT_EQ(none["memory"], nlohmann::json::parse(R"({"unavailable":"no PCI device 0000:00:18.2"})"));
    EXPECT_EQ(none["modules"], nlohmann::json::array());
    // The text: one line each, an unavailable reading saying why.
    const std::string text = cli({"--live"}, "am2-ddr2").out;
    for (const char* line :
         {"\n Link.......... 1000 MHz (5x at the 200 MHz reference clock), 16 bits in, 16 bits out\n",
          "\n Memory........ setting 400 MHz; clock unknown: no FID reading (no msr driver: "
          "`modprobe msr`)\n Timings....... not decoded for DDR2\n",
          "\n Module 1-0052: PC2-6400 (DDR2, 400 MHz), CL 5/6, 1024 MB, part M378T2953EZ3-CF7\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}

// --best keeps to the slowest readable module's rating (166 MHz here) unless the command line chooses PCramNum.
TEST(CliLive, BestTakesTheSlowestModulesRating)
{
    const auto best = [](std::vector<std::string> args, const char* profile) {
        args.insert(args.end(), {"--best", "--top=1", "--format=json"});
        const CliResult r = cli(args, profile);
        return r.err + nlohmann::json::parse(r.out)["best"]["rows"][0]["fields"]["shwDDR_MHz"].get<std::string>();
    };
    EXPECT_EQ(best({}, "athlon64-754"),
              "clockdeck-cli: note: the memory limit is the slowest module's rating, 166 MHz (--set PCramNum to "
              "plan for another)\n150.0");
    EXPECT_EQ(best({"--set", "PCramNum=200"}, "athlon64-754"), "187.5");
    EXPECT_EQ(best({"--step", "PCramNum=+1"}, "athlon64-754"), "214.29"); // 216 MHz (3000 / 14) chosen by a press
    EXPECT_EQ(best({}, "athlon64"), "192.86");                            // no modules: PCramNum 200 as loaded
}

// JSON strings whole but harmless; a module within 2 MHz of a listed clock takes its rating; the register's codes
// decoded before revision F only, a reserved FID and VID 31 named; on revision F the setting 333 is 1000/3 MHz.
TEST(CliOutput, EscapesAndRegisterCodes)
{
    EXPECT_EQ(quotedJson("a\\\"\x01\u009b\u202e\xE2\x80|\xFF"), R"("a\\\"\u0001\u009b\u202e\ufffd\ufffd|\ufffd")");
    EXPECT_EQ(reportLines("a\r\n\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_EQ(moduleRating({MemoryType::Ddr, 5.5, 181, {}, 0, {}}) +
                  moduleRating({MemoryType::Ddr, 4.7, 212, {}, 0, {}}) +
                  moduleRating({MemoryType::Ddr2, 3.75, 266, {}, 0, {}}),
              "PC3000DDR424PC2-4200");
    SweepRow row; // each mark in its own member
    row.linkOver1000 = true;
    EXPECT_NE(jsonSweepRow({}, row, true).find(R"("link_over_1000": true, "memory_over_rated": false})"),
              std::string::npos);
    LiveReadings live; // FID/VID now 12/2, start 3/31, max 16/18
    live.fidVid = decodeFidVidStatus(0x00121f020010030c, true);
    for (const char* part : {R"("raw": "0x00121f020010030c", "decoded": true,)",
                             R"("current": {"fid": 12, "vid": 2, "multiplier": 10, "mhz_at_200": 2000, )"
                             R"("vcore": 1.500},)",
                             R"("start": {"fid": 3, "vid": 31, "multiplier": null, "mhz_at_200": null, )"
                             R"("vcore": null},)"}) {
        EXPECT_NE(jsonTail(&live, "").find(part), std::string::npos) << part;
    }
    EXPECT_NE(liveText(live).find(" FID/VID start. FID 3 (reserved), VID 31 (core voltage off)\n"), std::string::npos);
    live.fidVid = decodeFidVidStatus(0x00121f020010030c, false);
    live.clockMHz = 2000;
    live.northbridge.memory.value.emplace().memClkMHz = 333;
    live.northbridge.memory.value->timings.value = DramTimings{2.5, 3, 3, 8, 11, true};
    live.modules.push_back({"0-0050", {SpdModule{MemoryType::Ddr, 5, 200, {2}, 256, ""}, ""}});
    EXPECT_NE(jsonTail(&live, "").find(R"("max": {"fid": 16, "vid": 18}})"), std::string::npos);
    EXPECT_NE(liveText(live).find(" FID/VID now... FID 12, VID 2 (raw codes: not decoded on revision F and later)\n"
                                  " FID/VID start. FID 3, VID 31\n FID/VID max... FID 16, VID 18\n Link.......... "),
              std::string::npos);
    EXPECT_NE(liveText(live).find(" Memory........ setting 333 MHz, divisor 6: 333.33 MHz\n Timings....... CL 2.5, "
                                  "tRCD 3, tRP 3, tRAS 8, tRC 11, 2T\n Module 0-0050: PC3200 (DDR, 200 MHz), CL 2, "
                                  "256 MB, part none\n"),
              std::string::npos);
    FieldTexts plan; // equal to the hundredth, the memory clock agrees; the link's clock needs the reference clock
    plan[index(Field::shwDDR_MHz)] = "333.33";
    plan[index(Field::Label13)] = "1000";
    live.northbridge.link.value = HtLink{0, 800, 4, 16, 16};
    EXPECT_EQ(planAgainstHardware(plan, live),
              std::vector<std::string>{"link clock differs: plan 1000 MHz, hardware 800 MHz"});
    live.fidVid->current.fid = 13; // revision F's odd codes are the half multipliers
    EXPECT_EQ(liveMultiplier(live), 10.5);
    live.fidVid.reset();
    EXPECT_TRUE(planAgainstHardware(plan, live).empty());
}

} // namespace

// cpsim as a user runs it: traces of small programs line by line, the exit codes, --start and
// --set, --dump, the limits, and warnings with their source lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cpasm/assembler.h"

namespace cpsim_cli_test {

namespace fs = std::filesystem;

struct Result {
  int code = -1;
  std::string out, err;
};

class CpsimCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("cpsim_cli_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                     "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Assembles `source` to t.bin + t.cfg; the path of t.bin. (Arguments go through the shell:
  // the tests quote those with a '$'.)
  std::string Build(const std::string& source) {
    cpasm::Assembly assembly = cpasm::AssembleText("t.asm", source, {});
    EXPECT_EQ(assembly.errors, 0);
    Write("t.bin", cpasm::ImageBytes(assembly));
    Write("t.cfg", cpasm::MemoryMapText(assembly));
    return (dir_ / "t.bin").string();
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  Result Run(const std::string& arguments) {
    const std::string err = (dir_ / "stderr.txt").string();
    // No Executive from the environment: these runs take the boot short-cut.
    const std::string command = "JZINTV_ROM_PATH= \"" CPSIM_PROGRAM "\" " + arguments + " 2>\"" + err + "\"";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err);
    result.err.assign(std::istreambuf_iterator<char>(in), {});
    return result;
  }

  fs::path dir_;
};

// One trace line: R0-R7, the flags field, the disassembly, the cycles so far.
std::string Line(std::vector<unsigned> r, const char* flags, const char* text, unsigned cycles) {
  char line[160];
  std::snprintf(line, sizeof line, " %04X %04X %04X %04X %04X %04X %04X %04X %s  %-20s%7u\n", r[0], r[1], r[2], r[3],
                r[4], r[5], r[6], r[7], flags, text, cycles);
  return line;
}

TEST_F(CpsimCli, TraceOfACountdown) {
  const std::string bin = Build(R"(
        ORG $5000
        DECLE 0, 0, 0, 0, $06, $50
        MVII #$0003, R0
loop:   DECR R0
        BNEQ loop
        MVO R0, $0200
        HLT
)");
  Result r = Run("--trace " + bin);
  EXPECT_EQ(r.code, 0) << r.err;
  const unsigned sp = 0x02F1;
  const std::string expected = Line({0, 0, 0, 0, 0, 0, sp, 0x5006}, "----I-i-", "MVII #$0003,R0", 0) +
                               Line({3, 0, 0, 0, 0, 0, sp, 0x5008}, "----I-i-", "DECR R0", 8) +
                               Line({2, 0, 0, 0, 0, 0, sp, 0x5009}, "----I-i-", "BNEQ $5008", 14) +
                               Line({2, 0, 0, 0, 0, 0, sp, 0x5008}, "----I-i-", "DECR R0", 23) +
                               Line({1, 0, 0, 0, 0, 0, sp, 0x5009}, "----I-i-", "BNEQ $5008", 29) +
                               Line({1, 0, 0, 0, 0, 0, sp, 0x5008}, "----I-i-", "DECR R0", 38) +
                               Line({0, 0, 0, 0, 0, 0, sp, 0x5009}, "---ZI-i-", "BNEQ $5008", 44) +
                               Line({0, 0, 0, 0, 0, 0, sp, 0x500B}, "---ZI-i-", "MVO  R0,$0200", 51) +
                               Line({0, 0, 0, 0, 0, 0, sp, 0x500D}, "---ZI---", "HLT", 62);
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "cpsim: halted at $500E after 66 cycles, 0 frames\n");
}

TEST_F(CpsimCli, TraceThroughACallWithFlagsAndSdbd) {
  const std::string bin = Build(R"(
        ORG $5000
        DECLE 0, 0, 0, 0, $06, $50
        SDBD
        MVII #$8001, R1
        CALL sub
        HLT
sub:    SLLC R1, 2
        JR R5
)");
  Result r = Run("--trace " + bin);
  EXPECT_EQ(r.code, 0) << r.err;
  const unsigned sp = 0x02F1;
  const std::string expected = Line({0, 0, 0, 0, 0, 0, sp, 0x5006}, "----I-i-", "SDBD", 0) +
                               Line({0, 0, 0, 0, 0, 0, sp, 0x5007}, "----ID--", "MVII #$8001,R1", 4) +
                               Line({0, 0x8001, 0, 0, 0, 0, sp, 0x500A}, "----I-i-", "JSR  R5,$500e", 14) +
                               Line({0, 0x8001, 0, 0, 0, 0x500D, sp, 0x500E}, "----I-i-", "SLLC R1,2", 26) +
                               Line({0, 0x0004, 0, 0, 0, 0x500D, sp, 0x500F}, "-C--I---", "JR   R5", 34) +
                               Line({0, 0x0004, 0, 0, 0, 0x500D, sp, 0x500D}, "-C--I-i-", "HLT", 41);
  EXPECT_EQ(r.out, expected);
}

TEST_F(CpsimCli, RunningIntoUnmappedMemoryExits2WithTheAddress) {
  const std::string bin = Build("        ORG $5000\n        DECLE 0,0,0,0,$06,$50\n        J $6A00\n");
  Result r = Run(bin);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "cpsim: The program ran into unmapped memory at $6A00 (after 12 cycles)\n");
}

TEST_F(CpsimCli, ExecutiveCallExits2) {
  const std::string bin = Build("        ORG $5000\n        DECLE 0,0,0,0,$06,$50\n        CALL $1738\n");
  Result r = Run(bin);
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("The program called the Executive ROM at $1738; the simulator has no image of it"),
            std::string::npos)
      << r.err;
}

TEST_F(CpsimCli, RoutineRunAsATestWithStartSetAndDump) {
  const std::string bin = Build(R"(
        ORG $5000
        HLT
double: ADDR R0, R0
        MVO R0, $0200
        MVO R1, $0209
        JR R5
)");
  Result r = Run("--start '$5001' --set R0=21 --set r1=0x77 --set 'R5=$5000' --dump '$0200-$0209' " + bin);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "$0200: 002A 0000 0000 0000 0000 0000 0000 0000\n"
            "$0208: 0000 0077\n");
  EXPECT_NE(r.err.find("halted at $5001"), std::string::npos) << r.err;
  // Unmapped words show as such.
  r = Run("--start '$5001' --set 'R5=$5000' --dump '$035E-$0361' " + bin);
  EXPECT_EQ(r.out, "$035E: 0000 0000 ---- ----\n");
}

TEST_F(CpsimCli, CycleAndFrameLimitsExit0) {
  const std::string bin = Build("        ORG $5000\n        DECLE 0,0,0,0,$06,$50\nloop:   B loop\n");
  Result r = Run("--cycles 1000 " + bin);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "cpsim: stopped at $5006 after 1008 cycles, 0 frames\n");
  r = Run("--frames 3 " + bin);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("3 frames"), std::string::npos) << r.err;
}

TEST_F(CpsimCli, WarningsNameTheirSourceLine) {
  const std::string bin = Build(R"(
        ORG $5000
        DECLE 0,0,0,0,$06,$50
        MVO R0, $5000
        HLT
)");
  Write("t.smap", "; cpasm source map 1\n5006 5007 4 /src/game.asm\n");
  Result r = Run(bin);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("/src/game.asm:4: WARNING - write to ROM at $5000 changes nothing (at $5006)\n"),
            std::string::npos)
      << r.err;
}

TEST_F(CpsimCli, BadArgumentsExit2) {
  const std::string bin = Build("        ORG $5000\n        HLT\n");
  for (const std::string& args :
       {std::string("--set R8=1 ") + bin, "--set R1 " + bin, "--start '$10000' " + bin, "--dump '$0200' " + bin,
        "--dump '$0300-$0200' " + bin, "--cycles 0 " + bin, "--bogus " + bin, std::string(""),
        (dir_ / "missing.bin").string(), "--exec " + (dir_ / "none.bin").string() + " " + bin}) {
    Result r = Run(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_NE(r.err, "") << args;
  }
}

}  // namespace cpsim_cli_test

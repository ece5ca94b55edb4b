#include "support/qm_bytes_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

// Runs the real sorvane-cli binary and checks its exit codes and streams.

namespace sorvane::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliProcess : public ::testing::Test {
 protected:
  ProcessResult run(const std::string& arguments) {
    const std::string command = std::string("'") + SORVANE_CLI_PATH + "' " + arguments + " > '" +
                                folder.path("out") + "' 2> '" + folder.path("err") +
                                "' < /dev/null";
    const int status = std::system(command.c_str());
    ProcessResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = slurp(folder.path("out"));
    result.err = slurp(folder.path("err"));
    return result;
  }

  TempFolder folder;
};

TEST_F(CliProcess, DumpsTheSmallestFile) {
  const Bytes smallest = buildQm({{0x12345678, u"Hi", "", ""}});
  ASSERT_EQ(smallest.size(), 49U);
  folder.write("hi.qm", smallest);
  const ProcessResult result = run("dump '" + folder.path("hi.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "{\"hash\":\"12345678\",\"section\":\"\",\"subsection\":\"\",\"text\":\"Hi\"}\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliProcess, ARefusedFileGivesTheReadersMessageAndExitCodeOne) {
  const ProcessResult result = run("dump '" + folder.path("missing.qm") + "'");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Error opening \"" + folder.path("missing.qm") + "\"\nNo such file or directory\n");
}

TEST_F(CliProcess, HelpAndVersionSucceed) {
  const ProcessResult help = run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("dump"));
  const ProcessResult version = run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "sorvane-cli 0.3.2\n");
}

TEST_F(CliProcess, UsageErrorsExitWithTwoAndAOneLineHint) {
  for (const char* arguments : {"", "dump", "frobnicate", "dump a.qm b.qm", "--bogus"}) {
    SCOPED_TRACE(arguments);
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, StartsWith("sorvane-cli: "));
    EXPECT_THAT(result.err, HasSubstr("--help"));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace sorvane::test

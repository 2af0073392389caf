// Help for every command, the manual page and the shell completion, all made from one table.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

const char *kCommands[] = {"generate",   "batch", "settings", "print",
                           "delete-all", "list",  "inspect"};

TEST(Help, EveryCommandHasItsOwnHelpThreeWays) {
  for (const char *command : kCommands) {
    const auto help = test::runSorvane({"help", command});
    ASSERT_EQ(help.exitCode, 0) << command << help.err;
    EXPECT_EQ(help.out.rfind(std::string("Usage: sorvane ") + command, 0), 0u) << help.out;
    EXPECT_NE(help.out.find("Options:"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("Example:\n  sorvane " + std::string(command)), std::string::npos)
        << help.out;
    for (const char *flag : {"--help", "-h"}) {
      const auto asked = test::runSorvane({command, flag});
      EXPECT_EQ(asked.exitCode, 0) << command << " " << flag;
      EXPECT_EQ(asked.out, help.out) << command << " " << flag;
    }
  }
  EXPECT_EQ(test::runSorvane({"help", "nosuch"}).exitCode, 2);
  // The options the help lists are the ones the command takes.
  EXPECT_NE(test::runSorvane({"help", "generate"}).out.find("-s, --settings"), std::string::npos);
  EXPECT_EQ(test::runSorvane({"list", "--settings", "x"}).exitCode, 2);
}

TEST(Help, TheManualPageRendersAndTheCompletionIsBash) {
  test::TempDir dir;
  const auto man = test::runSorvane({"help", "--man"});
  ASSERT_EQ(man.exitCode, 0);
  test::writeFile(dir.file("sorvane.1"), man.out);
  const std::string rendered = dir.file("rendered.txt");
  ASSERT_EQ(std::system(("MANWIDTH=80 man -l '" + dir.file("sorvane.1") + "' > '" + rendered +
                         "' 2>/dev/null")
                            .c_str()),
            0);
  const std::string text = test::readFile(rendered);
  for (const char *part : {"SYNOPSIS", "EXIT STATUS", "SORVANE_PASSWORD", "--password-file"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
  for (const char *command : kCommands)
    EXPECT_NE(text.find(command), std::string::npos) << command;

  const auto completion = test::runSorvane({"help", "--bash-completion"});
  ASSERT_EQ(completion.exitCode, 0);
  test::writeFile(dir.file("sorvane.bash"), completion.out);
  EXPECT_EQ(std::system(("bash -n '" + dir.file("sorvane.bash") + "'").c_str()), 0);
  for (const char *command : kCommands)
    EXPECT_NE(completion.out.find(command), std::string::npos) << command;
}

} // namespace
} // namespace sorvane

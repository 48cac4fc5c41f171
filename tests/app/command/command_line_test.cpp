// How the program reads its arguments: the window, recovery mode's "reset",
// the commands and their options, and what is refused.
#include <gtest/gtest.h>

#include "app/command/command_line.h"

namespace korvalin::test {
namespace {

using Mode = CommandLine::Mode;

TEST(CommandLineParse, TheWindowWithoutArgumentsOrWithAReset) {
  EXPECT_EQ(ParseCommandLine({}).mode, Mode::kWindow);
  EXPECT_EQ(ParseCommandLine({"/reset"}).mode, Mode::kWindow);
  // A reset anywhere keeps its meaning, whatever else is there.
  EXPECT_EQ(ParseCommandLine({"first", "after ReSet"}).mode, Mode::kWindow);
  EXPECT_EQ(ParseCommandLine({"res", "et"}).mode, Mode::kBadArguments);
  // A command's own arguments may contain the word.
  CommandLine move = ParseCommandLine({"/move", "Desktop", "D:\\reset"});
  EXPECT_EQ(move.mode, Mode::kMove);
  EXPECT_EQ(move.directory, "D:\\reset");
}

TEST(CommandLineParse, CommandsTakeTheirArgumentsAndOptionsInAnyCase) {
  CommandLine move = ParseCommandLine({"-MOVE", "Personal", "D:\\文档", "/Clear", "/log", "C:\\k.log", "-files",
                                       "/restart-shell"});
  EXPECT_EQ(move.mode, Mode::kMove);
  EXPECT_EQ(move.name, "Personal");
  EXPECT_EQ(move.directory, "D:\\文档");
  EXPECT_TRUE(move.files);
  EXPECT_TRUE(move.clear);
  EXPECT_TRUE(move.restartShell);
  EXPECT_EQ(move.logFile, "C:\\k.log");

  CommandLine restore = ParseCommandLine({"/restore", "{374DE290-123F-4565-9164-39C4925E467B}"});
  EXPECT_EQ(restore.mode, Mode::kRestore);
  EXPECT_EQ(restore.name, "{374DE290-123F-4565-9164-39C4925E467B}");
  EXPECT_FALSE(restore.files || restore.clear || restore.restartShell);

  EXPECT_EQ(ParseCommandLine({"/list", "/log", "x.log"}).logFile, "x.log");
}

TEST(CommandLineParse, MalformedCommandsAreBadArguments) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"/move", "Desktop"},                    // no directory
           {"/move", "Desktop", "/files"},          // an option where the directory goes
           {"/restore"},                            // no name
           {"/list", "/files"},                     // not an option of /list
           {"/list", "/log"},                       // /log without a file
           {"/list", "/log", "a", "/log", "b"},     // two logs
           {"/move", "Desktop", "D:\\x", "extra"},  // one argument too many
           {"/frobnicate"},
       }) {
    CommandLine line = ParseCommandLine(arguments);
    EXPECT_EQ(line.mode, Mode::kBadArguments) << arguments[0] << " " << arguments.size();
    EXPECT_FALSE(line.problem.empty());
  }
}

}  // namespace
}  // namespace korvalin::test

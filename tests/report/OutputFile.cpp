#include "report/OutputFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/Scratch.h"

namespace quorvin::test {
namespace {

mode_t ModeOf(const std::string& Path) {
  struct stat St {};
  ::stat(Path.c_str(), &St);
  return St.st_mode & 07777;
}

// A new file has the permissions the umask gives a new file; a replaced one
// keeps its own. The umask itself is only read by the kernel, never set.
TEST(OutputFile, PermissionsOfANewFileAndOfAReplacedOne) {
  const struct {
    mode_t Umask;
    mode_t Existing; // 0: no file there before
    mode_t Expected;
  } Cases[] = {
      {022, 0, 0644}, {077, 0, 0600}, {002, 0, 0664}, {022, 0640, 0640}, {077, 0666, 0666}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Umask * 10000 + C.Existing);
    TScratchDir Dir;
    const std::string Target = Dir / "OUT.PRN";
    if (C.Existing) {
      ASSERT_TRUE(WriteWhole(Target, "old\r\n"));
      ::chmod(Target.c_str(), C.Existing);
    }
    const mode_t Saved = ::umask(C.Umask);
    TOutputFile Out;
    const bool Ok = Out.OpenReplace(Target) && Out.WriteLine("new") && Out.Commit();
    EXPECT_EQ(::umask(Saved), C.Umask);
    ASSERT_TRUE(Ok);
    EXPECT_EQ(ReadWhole(Target), "new\r\n");
    EXPECT_EQ(ModeOf(Target), C.Expected);
    EXPECT_EQ(FolderNames(Dir.Path()), std::set<std::string>{"OUT.PRN"});
  }
}

} // namespace
} // namespace quorvin::test

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "window/append_file.h"
#include "window/saved_list.h"

namespace ardvix::window {
namespace {

// CP949 bytes of the stamp's unit characters.
const std::string Y = "\xB3\xE2", M = "\xBF\xF9", D = "\xC0\xCF", H = "\xBD\xC3", N = "\xBA\xD0";

struct StampCase {
  const char* name;
  platform::LocalDateTime time;
  std::string stamp;
};

class SaveStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(SaveStamp, HasTwoDigitPartsAndCp949Units) {
  EXPECT_EQ(SaveTimeStamp(GetParam().time), GetParam().stamp);
}

INSTANTIATE_TEST_SUITE_P(
    Times, SaveStamp,
    ::testing::Values(StampCase{"Example",
                                {2011, 3, 2, 9, 5, 41},
                                "2011" + Y + "_03" + M + "02" + D + "_09" + H + "05" + N},
                      StampCase{"NewYear",
                                {2007, 1, 1, 0, 0, 0},
                                "2007" + Y + "_01" + M + "01" + D + "_00" + H + "00" + N},
                      StampCase{"YearEnd",
                                {2010, 12, 31, 23, 59, 59},
                                "2010" + Y + "_12" + M + "31" + D + "_23" + H + "59" + N},
                      StampCase{"Tens",
                                {2012, 10, 10, 10, 10, 0},
                                "2012" + Y + "_10" + M + "10" + D + "_10" + H + "10" + N}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SavedListLine, ShortRecordEndsWithAZeroByteAndFillerThenCrLf) {
  const std::string stamp = SaveTimeStamp({2011, 3, 2, 9, 5, 0});
  const std::string line =
      SavedListLine(stamp, {"192.168.0.100", "00:1A:2B:3C:4D:5E", "192.168.0.1", "255.255.255.0",
                            "static", "admin", "80"});
  const std::string text =
      stamp + "=192.168.0.100=00:1A:2B:3C:4D:5E=192.168.0.1=255.255.255.0=static";
  ASSERT_EQ(text.size(), 89u);
  EXPECT_EQ(line, text + std::string(7, '\0') + "\r\n");
}

TEST(SavedListLine, LongCellsAreCutTo17AndTheRecordTo96Bytes) {
  const std::string stamp = SaveTimeStamp({2011, 3, 2, 9, 5, 0});
  const std::string line =
      SavedListLine(stamp, {"111.111.111.111-extra", "00:1A:2B:3C:4D:5E:FF", "222.222.222.222-x",
                            "255.255.255.255-y", "static-and-more-text", "id", "80"});
  const std::string record = stamp + "=111.111.111.111-e=00:1A:2B:3C:4D:5E=222.222.222.222-x" +
                             "=255.255.255.255-y=static-and-more-text";
  ASSERT_GT(record.size(), 96u);
  EXPECT_EQ(line, record.substr(0, 96) + "\r\n");
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class AppendFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ardvix-append-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(AppendFileTest, AppendsToWhatIsThereAndCreatesAMissingFile) {
  const auto path = dir_ / "list";
  {
    AppendFile file(path.string());
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.AppendWhole("first\r\n"), "");
  }
  {
    AppendFile file(path.string());
    EXPECT_EQ(file.AppendWhole("second\r\n"), "");
  }
  EXPECT_EQ(ReadAll(path), "first\r\nsecond\r\n");
}

TEST_F(AppendFileTest, DirectoryInTheWayIsReportedAtOpening) {
  std::filesystem::create_directory(dir_ / "list");
  AppendFile file((dir_ / "list").string());
  EXPECT_FALSE(file.ok());
  EXPECT_EQ(file.error(), "Is a directory");
  EXPECT_EQ(file.AppendWhole("x"), "Is a directory");
}

// A size limit lets only part of the bytes through: the file goes back to its old size.
TEST_F(AppendFileTest, PartialWriteIsTakenBack) {
  const auto path = dir_ / "list";
  { std::ofstream(path, std::ios::binary) << std::string(98, 'a'); }
  AppendFile file(path.string());
  ASSERT_TRUE(file.ok());

  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto* old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 98 + 150;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const std::string error = file.AppendWhole(std::string(3 * 98, 'b'));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_EQ(error, "File too large");
  EXPECT_EQ(ReadAll(path), std::string(98, 'a'));
}

TEST_F(AppendFileTest, DeviceThatRefusesIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  AppendFile file("/dev/full");
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.AppendWhole(std::string(98, 'x')), "No space left on device");
}

}  // namespace
}  // namespace ardvix::window

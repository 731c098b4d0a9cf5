// camsim on a lab segment built by scripts/lab.sh: requests go out from the PC namespace
// with camsim_probe and the answers are checked byte by byte. All traffic stays inside the
// namespaces each test creates; the lab is taken down when the test ends. Root only.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr char kPcAddress[] = "10.77.0.1";
constexpr char kRequester[] = "LI=10.77.0.1\n";

// Runs a shell command, bounded by timeout(1); gives its standard output.
std::string RunShell(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen(("timeout 60 " + command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return output;
  char chunk[4096];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, got);
  const int result = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return output;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// The text of a fixed-width field: up to its first zero byte or its width.
std::string Field(const std::string& datagram, size_t offset, size_t width) {
  std::string text = datagram.substr(offset, width);
  return text.substr(0, text.find('\0'));
}

struct Answer {
  long long at_us = 0;
  std::string source;  // ip:port
  std::string bytes;
};

struct ProbeResult {
  std::vector<Answer> answers;
  std::string raw;
  std::vector<Answer> From(const std::string& ip) const {
    std::vector<Answer> found;
    for (const auto& answer : answers) {
      if (answer.source == ip + ":7005") found.push_back(answer);
    }
    return found;
  }
};

class Lab {
 public:
  Lab() {
    std::random_device random;
    name_ = "cs" + std::to_string(getpid() % 100000) + std::to_string(random() % 1000);
    state_ = fs::temp_directory_path() / ("camsim-lab-" + name_);
  }
  ~Lab() { Down(); }
  Lab(const Lab&) = delete;
  Lab& operator=(const Lab&) = delete;

  bool Up(const std::string& options) {
    int status = -1;
    RunShell(Env() + LAB_SCRIPT " up " + name_ + " --camsim " CAMSIM_PATH " " + options, &status);
    return status == 0;
  }
  void Down() { RunShell(Env() + LAB_SCRIPT " down " + name_); }

  // Sends a request from the PC and collects the answers.
  ProbeResult Probe(const std::string& probe_arguments) {
    ProbeResult result;
    result.raw = RunShell(Env() + LAB_SCRIPT " exec " + name_ + " " PROBE_PATH " --bind " +
                          kPcAddress + " " + probe_arguments);
    std::istringstream lines(result.raw);
    std::string word;
    while (lines >> word) {
      if (word != "answer") continue;
      Answer answer;
      size_t length = 0;
      std::string hex;
      lines >> answer.at_us >> answer.source >> length >> hex;
      answer.bytes = Unhex(hex);
      result.answers.push_back(answer);
    }
    return result;
  }
  ProbeResult Frame(const std::string& word, int length, const std::string& payload,
                    int wait_ms = 600) {
    return Probe("--wait-ms " + std::to_string(wait_ms) + " --frame " + word + " " +
                 std::to_string(length) + " '" + payload + "'");
  }
  bool PingFromPc(const std::string& address) {
    int status = -1;
    RunShell(Env() + LAB_SCRIPT " exec " + name_ + " ping -c1 -W1 " + address, &status);
    return status == 0;
  }
  std::string Log() const {
    std::ifstream file(state_ / name_ / "camsim.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  pid_t CamsimPid() const {
    std::ifstream file(state_ / name_ / "camsim.pid");
    pid_t pid = -1;
    file >> pid;
    return pid;
  }
  std::string WriteDeviceFile(const std::string& text) {
    fs::create_directories(state_);
    const fs::path path = state_ / "devices.txt";
    std::ofstream(path) << text;
    return path.string();
  }

 private:
  std::string Env() const { return "env ARDVIX_LAB_STATE=" + state_.string() + " "; }
  std::string name_;
  fs::path state_;
};

class CamsimLabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root for network namespaces";
    int status = -1;
    RunShell("ip netns list", &status);
    if (status != 0) GTEST_SKIP() << "ip netns is not available";
  }
  Lab lab_;
};

// One device per fault, one discovery round: each device's answer is checked on its own.
constexpr char kFaultDevices[] =
    "ip=10.77.1.10 mac=00:1A:2B:3C:4D:01 id=admin password=1234 gateway=10.77.0.254 "
    "mask=255.255.0.0 bootproto=static webport=80\n"
    "ip=10.77.1.11 mac=00:1A:2B:3C:4D:02 id=abcdefghij gateway=192.168.100.254 "
    "mask=255.255.255.0 bootproto=dhcp webport=one\n"
    "ip=10.77.1.12 mac=00:1A:2B:3C:4D:03 foreign-echo\n"
    "ip=10.77.1.13 mac=00:1A:2B:3C:4D:04 oversize\n"
    "ip=10.77.1.14 mac=00:1A:2B:3C:4D:05 silent\n"
    "ip=10.77.1.15 mac=00:1A:2B:3C:4D:06 duplicate=3 code=0xFE bootproto=DHCP\n"
    "ip=10.77.1.16 mac=00:1A:2B:3C:4D:07 delay=400 bootproto= webport=\n";

TEST_F(CamsimLabTest, DiscoveryAnswersCarryEachDevicesFieldsFromItsOwnAddress) {
  ASSERT_TRUE(lab_.Up("--devices " + lab_.WriteDeviceFile(kFaultDevices)));
  const ProbeResult result = lab_.Frame("cryptomac", 300, "LI=10.77.0.1\\n", 1200);

  struct Expected {
    std::string ip, mac, gateway, mask, boot, id, web_port, echo;
    size_t length;
    int code;
    int copies;
  };
  const std::string own = kRequester;
  const std::vector<Expected> table = {
      {"10.77.1.10", "00:1A:2B:3C:4D:01", "10.77.0.254", "255.255.0.0", "static", "admin", "80",
       own, 300, 0xFF, 1},
      // Full-width gateway and ID fill their fields without spilling into the next.
      {"10.77.1.11", "00:1A:2B:3C:4D:02", "192.168.100.254", "255.255.255.0", "dhcp", "abcdefghij",
       "one", own, 300, 0xFF, 1},
      {"10.77.1.12", "00:1A:2B:3C:4D:03", "", "255.255.0.0", "static", "admin", "80",
       "LI=10.77.250.250\n", 300, 0xFF, 1},
      {"10.77.1.13", "00:1A:2B:3C:4D:04", "", "255.255.0.0", "static", "admin", "80", own, 400,
       0xFF, 1},
      {"10.77.1.14", "", "", "", "", "", "", "", 0, 0, 0},
      {"10.77.1.15", "00:1A:2B:3C:4D:06", "", "255.255.0.0", "DHCP", "admin", "80", own, 300, 0xFE,
       3},
      {"10.77.1.16", "00:1A:2B:3C:4D:07", "", "255.255.0.0", "", "admin", "", own, 300, 0xFF, 1},
  };
  for (const auto& expected : table) {
    SCOPED_TRACE(expected.ip);
    const auto answers = result.From(expected.ip);
    ASSERT_EQ(answers.size(), static_cast<size_t>(expected.copies));
    for (const auto& answer : answers) {
      const std::string& d = answer.bytes;
      ASSERT_EQ(d.size(), expected.length);
      EXPECT_EQ(Field(d, 0, 17), expected.mac);
      EXPECT_EQ(Field(d, 19, 15), expected.gateway);
      EXPECT_EQ(Field(d, 34, 15), expected.mask);
      EXPECT_EQ(Field(d, 50, 6), expected.boot);
      EXPECT_EQ(Field(d, 60, 10), expected.id);
      EXPECT_EQ(static_cast<unsigned char>(d[99]), expected.code);
      EXPECT_EQ(Field(d, 100, 40), expected.echo);
      EXPECT_EQ(Field(d, 140, 6), expected.web_port);
      EXPECT_EQ(d.substr(146, 300 - 146), std::string(154, '\0'));
    }
  }
  EXPECT_EQ(result.answers.size(), 8u) << result.raw;
  // The delayed device answers last, no sooner than its delay.
  const auto delayed = result.From("10.77.1.16");
  ASSERT_EQ(delayed.size(), 1u);
  EXPECT_GE(delayed[0].at_us, 400000);

  // The request is logged byte for byte.
  std::string request = "cryptomac" + own;
  request.resize(300, '\0');
  EXPECT_NE(lab_.Log().find("rx 10.77.0.1:"), std::string::npos);
  EXPECT_NE(lab_.Log().find("len=300 cmd=cryptomac hex=" + Hex(request) + "\n"), std::string::npos);
}

constexpr char kConfigDevices[] =
    "ip=10.77.1.10 mac=00:1A:2B:3C:4D:01 id=admin password=1234 move-address\n"
    "ip=10.77.1.11 mac=00:1A:2B:3C:4D:02 id=root password=pw pw-answer=OK\\n\n"
    "ip=10.77.1.12 mac=00:1A:2B:3C:4D:03 id=admin password=1234 no-answer=ipaddrset\n";

TEST_F(CamsimLabTest, PasswordConfirmationAnswersOnlyFromTheNamedDevice) {
  ASSERT_TRUE(lab_.Up("--devices " + lab_.WriteDeviceFile(kConfigDevices)));
  struct Case {
    std::string payload;  // after "pwconfirm"
    std::string from;     // "" when nobody may answer
    std::string answer;
  };
  const std::vector<Case> table = {
      {"MAC00:1A:2B:3C:4D:01admin=1234=", "10.77.1.10", "OK"},
      {"MAC00:1A:2B:3C:4D:01admin=1235=", "10.77.1.10", "NO"},
      {"MAC00:1A:2B:3C:4D:01admin=1234", "10.77.1.10", "NO"},  // no closing "="
      {"MAC00:1A:2B:3C:4D:01admin==", "10.77.1.10", "NO"},
      {"MAC00:1A:2B:3C:4D:02root=wrong=", "10.77.1.11", "OK\n"},  // pw-answer wins
      {"MAC00:1A:2B:3C:4D:99admin=1234=", "", ""},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.payload);
    const ProbeResult result = lab_.Frame("pwconfirm", 60, c.payload, 300);
    if (c.from.empty()) {
      EXPECT_TRUE(result.answers.empty()) << result.raw;
      continue;
    }
    ASSERT_EQ(result.answers.size(), 1u) << result.raw;
    EXPECT_EQ(result.answers[0].source, c.from + ":7005");
    EXPECT_EQ(result.answers[0].bytes, c.answer);
  }
  EXPECT_NE(lab_.Log().find("len=60 cmd=pwconfirm"), std::string::npos);
}

TEST_F(CamsimLabTest, VideoAndDhcpCommandsAnswerWithTheirCodesAndEcho) {
  ASSERT_TRUE(lab_.Up("--devices " + lab_.WriteDeviceFile(kConfigDevices)));
  const std::string mac = "MAC00:1A:2B:3C:4D:01";
  struct Case {
    std::string word, payload;
    int code;
  };
  const std::vector<Case> table = {
      {"videosetc", mac + "1921443100LI=10.77.0.1\\n\\0\\0\\0admin=1234=", 0xFC},
      {"videosetc", mac + "1921443100LI=10.77.0.1\\n\\0\\0\\0admin=9999=", 0xFD},
      {"dynamcset", mac + "LI=10.77.0.1\\n", 0xFC},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.word + " " + c.payload);
    const ProbeResult result = lab_.Frame(c.word, 300, c.payload, 300);
    ASSERT_EQ(result.answers.size(), 1u) << result.raw;
    EXPECT_EQ(result.answers[0].source, "10.77.1.10:7005");
    ASSERT_EQ(result.answers[0].bytes.size(), 300u);
    EXPECT_EQ(static_cast<unsigned char>(result.answers[0].bytes[99]), c.code);
    EXPECT_EQ(Field(result.answers[0].bytes, 100, 40), kRequester);
  }
  // After "dynamcset" the device announces itself as a DHCP device.
  const auto announced = lab_.Frame("cryptomac", 300, "LI=10.77.0.1\\n").From("10.77.1.10");
  ASSERT_EQ(announced.size(), 1u);
  EXPECT_EQ(Field(announced[0].bytes, 50, 6), "dhcp");
}

TEST_F(CamsimLabTest, StaticAddressChangeMovesTheDeviceToItsNewAddress) {
  ASSERT_TRUE(lab_.Up("--devices " + lab_.WriteDeviceFile(kConfigDevices)));
  ASSERT_TRUE(lab_.PingFromPc("10.77.1.10"));
  ASSERT_FALSE(lab_.PingFromPc("10.77.2.20"));

  // A malformed address is ignored: no answer, no move.
  EXPECT_TRUE(lab_.Frame("ipaddrset", 300,
                         "MAC00:1A:2B:3C:4D:01address 10.77.2.300\\ngateway 10.77.0.253\\n"
                         "netmask 255.255.0.0\\nLI=10.77.0.1\\n",
                         300)
                  .answers.empty());

  const ProbeResult result = lab_.Frame("ipaddrset", 300,
                                        "MAC00:1A:2B:3C:4D:01address 10.77.2.20\\ngateway "
                                        "10.77.0.253\\nnetmask 255.255.0.0\\nLI=10.77.0.1\\n",
                                        300);
  ASSERT_EQ(result.answers.size(), 1u) << result.raw;
  EXPECT_EQ(result.answers[0].source, "10.77.1.10:7005");  // answered before moving
  EXPECT_EQ(static_cast<unsigned char>(result.answers[0].bytes[99]), 0xFA);
  EXPECT_EQ(Field(result.answers[0].bytes, 100, 40), kRequester);

  EXPECT_TRUE(lab_.PingFromPc("10.77.2.20"));
  EXPECT_FALSE(lab_.PingFromPc("10.77.1.10"));
  const auto announced = lab_.Frame("cryptomac", 300, "LI=10.77.0.1\\n").From("10.77.2.20");
  ASSERT_EQ(announced.size(), 1u);
  EXPECT_EQ(Field(announced[0].bytes, 19, 15), "10.77.0.253");
  EXPECT_EQ(Field(announced[0].bytes, 50, 6), "static");

  // A device whose answer is withheld still takes the settings but, without move-address,
  // keeps answering from its old address.
  EXPECT_TRUE(lab_.Frame("ipaddrset", 300,
                         "MAC00:1A:2B:3C:4D:03address 10.77.3.30\\ngateway 10.77.0.9\\n"
                         "netmask 255.255.0.0\\nLI=10.77.0.1\\n",
                         300)
                  .answers.empty());
  const auto kept = lab_.Frame("cryptomac", 300, "LI=10.77.0.1\\n").From("10.77.1.12");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(Field(kept[0].bytes, 19, 15), "10.77.0.9");
}

TEST_F(CamsimLabTest, ThousandDevicesAnswerOneDiscoveryInOneBurst) {
  ASSERT_TRUE(lab_.Up("--devices '' --generate 1000"));
  const ProbeResult result = lab_.Probe(
      "--rcvbuf 8000000 --expect 1000 --wait-ms 5000 --frame cryptomac 300 'LI=10.77.0.1\\n'");
  ASSERT_EQ(result.answers.size(), 1000u);
  std::set<std::string> sources;
  long long first = result.answers.front().at_us, last = first;
  for (const auto& answer : result.answers) {
    sources.insert(answer.source);
    first = std::min(first, answer.at_us);
    last = std::max(last, answer.at_us);
  }
  EXPECT_EQ(sources.size(), 1000u);
  // Kernel arrival stamps; a few ms on an idle machine, with room for a loaded CI host.
  RecordProperty("burst_spread_us", std::to_string(last - first));
  EXPECT_LT(last - first, 500000) << "spread " << (last - first) << " us";
}

TEST_F(CamsimLabTest, StopsCleanlyOnSigterm) {
  ASSERT_TRUE(lab_.Up(""));
  const pid_t pid = lab_.CamsimPid();
  ASSERT_GT(pid, 0);
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  // Gone, or a zombie waiting for whichever process adopted it.
  auto gone = [pid]() {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string ignored, state;
    return !(stat >> ignored >> ignored >> state) || state == "Z";
  };
  for (int i = 0; i < 100 && !gone(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(gone());
  EXPECT_NE(lab_.Log().find("note stopping on signal\n"), std::string::npos);
}

}  // namespace

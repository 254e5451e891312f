// The output and driver menus against a fake library and scripted keys.
#include "audio/select_output.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

const std::string S = "---------------------------------------------------------\n";
const std::string OutputMenu = S + "Output Type\n" + S +
                               "1 - Direct Sound\n2 - Windows Multimedia Waveout\n3 - ASIO\n4 - NoSound\n" + S +
                               "Press a corresponding number or ESC to quit\n";

class ScriptedKeys : public console::Keyboard {
 public:
  explicit ScriptedKeys(std::string keys) : keys_(keys.begin(), keys.end()) {}
  bool KeyWaiting() override { return !keys_.empty(); }
  int ReadKey() override {
    if (keys_.empty()) {
      ADD_FAILURE() << "the menu read more keys than the script has";
      std::exit(3);
    }
    const int key = static_cast<signed char>(keys_.front());
    keys_.pop_front();
    return key;
  }
  std::size_t Left() const { return keys_.size(); }

 private:
  std::deque<char> keys_;
};

class FakeLibrary : public audio::SoundLibrary {
 public:
  float version = 3.74f;
  std::vector<std::string> drivers = {"first", "second"};
  bool init_ok = true;
  int error = 0;
  int output = -1, driver = -1, inits = 0, count_queries = 0;
  std::vector<std::string> calls;

  float GetVersion() override { return version; }
  void SetOutput(int code) override { output = code; }
  int GetOutput() override { return output; }
  int GetNumDrivers() override {
    ++count_queries;
    return static_cast<int>(drivers.size());
  }
  const char* GetDriverName(int i) override { return drivers[static_cast<size_t>(i)].c_str(); }
  void SetDriver(int i) override { driver = i; }
  bool Init(int rate, int channels, unsigned int flags) override {
    ++inits;
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(channels, 32);
    EXPECT_EQ(flags, 0u);
    return init_ok;
  }
  int GetError() override { return error; }
};

struct Result {
  bool ok;
  std::string text;
};

Result RunMenus(FakeLibrary& lib, ScriptedKeys& keys) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  const bool ok = audio::SelectOutput(keys, lib, out);
  std::fclose(out);
  Result r{ok, text};
  std::free(text);
  return r;
}

std::string DriverMenu(const std::string& heading, const std::vector<std::string>& names) {
  std::string text = S + heading + " Driver list\n" + S;
  for (std::size_t i = 0; i < names.size(); ++i) text += std::to_string(i + 1) + " - " + names[i] + "\n";
  return text + S + "Press a corresponding number or ESC to quit\n";
}

TEST(SelectOutput, OldLibraryIsRefused) {
  FakeLibrary lib;
  lib.version = 3.73f;
  ScriptedKeys keys("");
  const Result r = RunMenus(lib, keys);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.text, "Error : You are using the wrong DLL version!  You should be using FMOD 3.74\n");
}

// Each output key passes its code, and the heading names the type in force.
TEST(SelectOutput, OutputKeysAndHeadings) {
  struct Case {
    char key;
    int code;
    std::string heading;
  };
  for (const Case& c : {Case{'1', 2, "Direct Sound"}, Case{'2', 1, "Windows Multimedia Waveout"}, Case{'3', 7, "ASIO"},
                        Case{'4', 0, "NoSound"}}) {
    FakeLibrary lib;
    ScriptedKeys keys(std::string(1, c.key) + "2");
    const Result r = RunMenus(lib, keys);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(lib.output, c.code);
    EXPECT_EQ(lib.driver, 1);
    EXPECT_EQ(lib.inits, 1);
    EXPECT_EQ(r.text, OutputMenu + DriverMenu(c.heading, lib.drivers)) << c.key;
  }
}

// The heading shows what the library reports, not what was asked for.
TEST(SelectOutput, HeadingForCodesWithoutAName) {
  class Stubborn : public FakeLibrary {
    int GetOutput() override { return reported; }

   public:
    int reported = 0;
  };
  for (int reported : {3, 8, -1, 6, 4, 5}) {
    Stubborn lib;
    lib.reported = reported;
    ScriptedKeys keys("11");
    const std::string name = reported == 6   ? "Alsa"
                             : reported == 4 ? "Open Sound System"
                             : reported == 5 ? "Enlightment Sound Daemon"
                                             : "";
    EXPECT_EQ(RunMenus(lib, keys).text, OutputMenu + DriverMenu(name, lib.drivers)) << reported;
  }
}

TEST(SelectOutput, OtherKeysAreIgnoredInBothMenus) {
  FakeLibrary lib;
  ScriptedKeys keys(
      "x5\x01"
      "4"
      "0"
      "3"
      "9a"
      "1");  // '0' is index -1; '3' and '9' are beyond two drivers
  const Result r = RunMenus(lib, keys);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(lib.output, 0);
  EXPECT_EQ(lib.driver, 0);
  EXPECT_EQ(keys.Left(), 0u);
  EXPECT_EQ(r.text, OutputMenu + DriverMenu("NoSound", lib.drivers));
}

TEST(SelectOutput, TheTenthDriverIsTheKeyAfterNine) {
  FakeLibrary lib;
  lib.drivers.clear();
  for (int i = 1; i <= 11; ++i) lib.drivers.push_back("dev" + std::to_string(i));
  ScriptedKeys keys("4:");
  const Result r = RunMenus(lib, keys);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(lib.driver, 9);
  EXPECT_NE(r.text.find("10 - dev10\n11 - dev11\n"), std::string::npos);
}

TEST(SelectOutput, DriverCountIsAskedBeforeEveryLine) {
  FakeLibrary lib;
  ScriptedKeys keys("41");
  RunMenus(lib, keys);
  // once per listed driver, once to end the list, once for the chosen key
  EXPECT_EQ(lib.count_queries, 4);
}

TEST(SelectOutput, FailedStartPrintsTheErrorText) {
  FakeLibrary lib;
  lib.init_ok = false;
  lib.error = 6;
  ScriptedKeys keys("11");
  const Result r = RunMenus(lib, keys);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(lib.inits, 1);
  EXPECT_EQ(r.text, OutputMenu + DriverMenu("Direct Sound", lib.drivers) + "Error!\n" +
                        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)\n");
}

TEST(SelectOutputDeathTest, EscapeEndsTheProcessWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* script : {"\x1b", "x\x1b", "4\x1b", "49\x1b"}) {
    EXPECT_EXIT(
        {
          FakeLibrary lib;
          ScriptedKeys keys(script);
          RunMenus(lib, keys);
          std::exit(7);
        },
        ::testing::ExitedWithCode(0), "")
        << script;
  }
}

TEST(SelectOutputDeathTest, WithNoDriversOnlyEscapeLeaves) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FakeLibrary lib;
        lib.drivers.clear();
        ScriptedKeys keys("41234:\x1b");
        RunMenus(lib, keys);
        std::exit(7);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ErrorText, EveryCode) {
  const char* const texts[] = {
      "No errors",
      "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
      "This command failed because FSOUND_Init was not called",
      "Error initializing output device.",
      "The output device is already in use and cannot be reused.",
      "Playing the sound failed.",
      "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
      "Error setting cooperative level for hardware.",
      "Error creating hardware sound buffer.",
      "File not found",
      "Unknown file format",
      "Error loading file",
      "Not enough memory ",
      "The version number of this file format is not supported",
      "An invalid parameter was passed to this function",
      "Tried to use an EAX command on a non EAX enabled channel or output.",
      "Failed to allocate a new channel",
      "Recording not supported on this device",
      "Required Mediaplayer codec is not installed",
  };
  for (int code = 0; code <= 18; ++code) EXPECT_STREQ(audio::ErrorText(code), texts[code]) << code;
  for (int code : {-1, 19, -2147483647 - 1, 2147483647}) EXPECT_STREQ(audio::ErrorText(code), "Unknown error");
}

}  // namespace

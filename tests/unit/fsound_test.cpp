// The sound-library layer on its silent output: error codes, block lengths
// and the real-time pace. Needs no sound card.
#include "audio/fsound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<int> g_longest{0};

signed char Silence(FSOUND_STREAM*, void*, int length, void*) {
  if (length > g_longest) g_longest = length;
  return 1;
}

constexpr unsigned int Mode = 0x01000150;

class Fsound : public ::testing::Test {
 protected:
  void TearDown() override { FSOUND_Close(); }
  static void InitSilent() {
    ASSERT_TRUE(FSOUND_SetOutput(0));
    ASSERT_TRUE(FSOUND_SetDriver(0));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  }
};

TEST_F(Fsound, VersionIsAccepted) { EXPECT_GE(FSOUND_GetVersion(), 3.74f); }

TEST_F(Fsound, SilentOutputHasOneDriver) {
  FSOUND_SetOutput(0);
  EXPECT_EQ(FSOUND_GetOutput(), 0);
  ASSERT_EQ(FSOUND_GetNumDrivers(), 1);
  EXPECT_STREQ(FSOUND_GetDriverName(0), "No sound");
  for (int code : {3, 5}) {
    FSOUND_SetOutput(code);
    EXPECT_EQ(FSOUND_GetNumDrivers(), 0) << code;
  }
}

TEST_F(Fsound, CallsOutOfOrderReportTheirCodes) {
  EXPECT_EQ(FSOUND_Stream_Create(Silence, 32768, Mode, 44100, nullptr), nullptr);
  EXPECT_EQ(FSOUND_GetError(), 2);
  EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
  EXPECT_EQ(FSOUND_GetError(), 2);
  InitSilent();
  EXPECT_FALSE(FSOUND_SetOutput(2));
  EXPECT_EQ(FSOUND_GetError(), 1);
  EXPECT_FALSE(FSOUND_SetDriver(0));
  EXPECT_EQ(FSOUND_GetError(), 1);
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), 1);
  EXPECT_EQ(FSOUND_GetOutput(), 0);
}

TEST_F(Fsound, BadArgumentsAreRefused) {
  for (int code : {-1, 8, 1000}) {
    EXPECT_FALSE(FSOUND_SetOutput(code));
    EXPECT_EQ(FSOUND_GetError(), 14);
  }
  FSOUND_SetOutput(0);
  EXPECT_FALSE(FSOUND_SetDriver(1));
  EXPECT_EQ(FSOUND_GetError(), 14);
  EXPECT_EQ(FSOUND_GetDriverName(1), nullptr);
  InitSilent();
  struct Case {
    FSOUND_STREAMCALLBACK cb;
    int length;
    unsigned int mode;
    int rate;
  };
  for (const Case& c : {Case{nullptr, 32768, Mode, 44100}, Case{Silence, 3, Mode, 44100},
                        Case{Silence, 32768, 0x01000050, 44100}, Case{Silence, 32768, 0x01000110, 44100},
                        Case{Silence, 32768, Mode | 0x20, 44100}, Case{Silence, 32768, Mode, 48000}}) {
    EXPECT_EQ(FSOUND_Stream_Create(c.cb, c.length, c.mode, c.rate, nullptr), nullptr);
    EXPECT_EQ(FSOUND_GetError(), 14);
  }
}

TEST_F(Fsound, NoDriverCannotStart) {
  FSOUND_SetOutput(5);
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), 3);
}

// The silent output keeps the real pace: 44,100 frames a second within 1%,
// in blocks no longer than the stream.
TEST_F(Fsound, SilentOutputPlaysInRealTime) {
  struct Case {
    int length, longest;
  };
  for (const Case& c : {Case{32768, 2048}, Case{1000, 1000}}) {
    InitSilent();
    g_longest = 0;
    FSOUND_STREAM* stream = FSOUND_Stream_Create(Silence, c.length, Mode, 44100, nullptr);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1);  // already playing
    while (audio::StreamFrames(stream) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto first = audio::StreamFrames(stream);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const auto frames = audio::StreamFrames(stream) - first;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NEAR(frames / seconds, 44100.0, 441.0) << c.length;
    EXPECT_EQ(g_longest, c.longest);
    EXPECT_EQ(audio::StreamUnderflows(stream), 0u);
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
    FSOUND_Close();
  }
}

}  // namespace

// synthscope-render, run as a user runs it, against the synthesis core run
// directly in this process.
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/control.h"
#include "audio/render_block.h"
#include "scope/scope.h"
#include "synth/random.h"

namespace {

namespace fs = std::filesystem;

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("render_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the renderer; returns its exit status. Standard error goes to `err`.
  int Run(const std::vector<std::string>& args, std::string* err = nullptr) {
    std::string command = std::string("'") + SYNTHSCOPE_RENDER + "'";
    for (const auto& a : args) command += " '" + a + "'";
    command += " >/dev/null 2>'" + (dir_ / "stderr").string() + "'";
    const int status = std::system(command.c_str());
    if (err) {
      std::FILE* f = std::fopen((dir_ / "stderr").c_str(), "r");
      char line[4096] = {};
      *err = "";
      while (f && std::fgets(line, sizeof line, f)) *err += line;
      if (f) std::fclose(f);
    }
    fs::remove(dir_ / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }

  fs::path dir_;
};

std::vector<std::int16_t> ReadWav(const std::string& path, SF_INFO* info) {
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
  EXPECT_NE(f, nullptr) << path;
  if (!f) return {};
  std::vector<std::int16_t> samples(static_cast<size_t>(info->frames * info->channels));
  sf_readf_short(f, samples.data(), info->frames);
  sf_close(f);
  return samples;
}

struct Step {
  std::string keys;
  int frames;
};

// What the renderer should write: the process-wide voice from its start
// values, the scope drawn off-screen, in blocks of `block` frames.
std::vector<std::int16_t> Expected(const std::vector<Step>& steps, int block, SDL_Surface** picture) {
  synth::TheSynth() = synth::SynthState{};
  synth::Noise().State = 1;
  synth::SynthState& s = synth::TheSynth();
  s.Surface = scope::CreateOffscreenSurface();
  std::vector<std::int16_t> all;
  for (const Step& step : steps) {
    for (char k : step.keys) app::ApplyKey(s, static_cast<signed char>(k));
    for (int left = step.frames; left > 0;) {
      const int n = std::min(left, block);
      std::vector<std::int16_t> buffer(2 * static_cast<size_t>(n));
      audio::RenderBlock(nullptr, buffer.data(), n * 4, &s.OSC1);
      all.insert(all.end(), buffer.begin(), buffer.end());
      left -= n;
    }
  }
  *picture = s.Surface;
  s.Surface = nullptr;
  return all;
}

TEST_F(Renderer, WritesExactlyTheSamplesOfTheVoice) {
  struct Case {
    std::vector<std::string> options;
    std::vector<Step> steps;
    int block;
  };
  const Case cases[] = {
      {{}, {{"", 44100}, {"w", 44100}}, 512},
      {{"--block", "300"}, {{"+++++", 5000}, {"eett7", 7001}, {"-zz", 0}, {"o", 1234}}, 300},  // noise included
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--bmp", Path("out.bmp"), Path("out.wav")});
    for (const Step& st : c.steps) args.push_back(st.keys + ":" + std::to_string(st.frames));
    ASSERT_EQ(Run(args), 0);

    SDL_Surface* picture = nullptr;
    const auto expected = Expected(c.steps, c.block, &picture);
    SF_INFO info{};
    const auto samples = ReadWav(Path("out.wav"), &info);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(samples.size(), expected.size());
    EXPECT_TRUE(samples == expected);

    SDL_Surface* bmp = SDL_LoadBMP(Path("out.bmp").c_str());
    ASSERT_NE(bmp, nullptr);
    SDL_Surface* same = SDL_ConvertSurface(bmp, picture->format, SDL_SWSURFACE);
    ASSERT_EQ(same->w, scope::Width);
    ASSERT_EQ(same->h, scope::Height);
    int differ = 0;
    for (int y = 0; y < scope::Height; ++y)
      for (int x = 0; x < scope::Width; ++x)
        differ += static_cast<Uint32*>(same->pixels)[y * same->pitch / 4 + x] !=
                  static_cast<Uint32*>(picture->pixels)[y * picture->pitch / 4 + x];
    EXPECT_EQ(differ, 0);
    SDL_FreeSurface(same);
    SDL_FreeSurface(bmp);
    SDL_FreeSurface(picture);
  }
}

TEST_F(Renderer, BadUsageGetsStatusTwoOneLineAndNoFile) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {Path("out.wav")},
      {"--loud", Path("out.wav"), ":10"},
      {"--block", Path("out.wav"), ":10"},
      {"--block", "0", Path("out.wav"), ":10"},
      {"--block", "-5", Path("out.wav"), ":10"},
      {"--block", "99999999999999", Path("out.wav"), ":10"},
      {Path("out.wav"), "w"},
      {Path("out.wav"), "w:"},
      {Path("out.wav"), "w:-1"},
      {Path("out.wav"), "w:12x"},
      {Path("out.wav"), "w:99999999999"},
      {Path("out.wav"), ":400000000", ":400000000"},
      {Path("no/such/dir/out.wav"), ":10"},
      {"--bmp", Path("no/such/dir/out.bmp"), Path("out.wav"), ":10"},
  };
  for (const auto& args : cases) {
    std::string err;
    EXPECT_EQ(Run(args, &err), 2) << ::testing::PrintToString(args);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("synthscope-render: ", 0), 0u) << err;
    EXPECT_TRUE(Files().empty()) << ::testing::PrintToString(Files());
  }
}

TEST_F(Renderer, UnwritableTargetLeavesNothingBehind) {
  if (geteuid() == 0) {
    // root writes anywhere: use a name that is a directory instead
    fs::create_directories(dir_ / "out.wav");
    std::string err;
    EXPECT_EQ(Run({Path("out.wav"), ":10"}, &err), 2);
    EXPECT_EQ(Files(), std::vector<std::string>{"out.wav"});
    EXPECT_TRUE(fs::is_directory(dir_ / "out.wav"));
  } else {
    fs::create_directories(dir_ / "ro");
    chmod((dir_ / "ro").c_str(), 0500);
    EXPECT_EQ(Run({Path("ro/out.wav"), ":10"}), 2);
    EXPECT_TRUE(fs::is_empty(dir_ / "ro"));
    chmod((dir_ / "ro").c_str(), 0700);
  }
}

}  // namespace

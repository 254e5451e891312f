// synthscope-render: plays the voice offline into a WAV file (16-bit PCM
// stereo, 44,100 Hz) and, optionally, the last scope picture into a BMP.
//
//   synthscope-render [--block FRAMES] [--bmp FILE] OUT.wav STEP...
//
// Each STEP is KEYS:FRAMES: press each key of KEYS as the control loop would
// (printing the same read-out), then render FRAMES frames through the block
// callback in blocks of --block frames (default 512; a step's last block may
// be shorter). The scope is drawn off-screen exactly as on the window, so the
// samples match the live program's, noise included.
#include <SDL/SDL.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/control.h"
#include "audio/render_block.h"
#include "scope/scope.h"
#include "synth/voice.h"

namespace {

constexpr long long MaxBlockFrames = 1 << 20;
constexpr long long MaxTotalFrames = 1LL << 29;  // 2 GiB of samples, within a WAV file's reach

struct Step {
  std::string keys;
  long long frames;
};

struct Options {
  long long block = 512;
  std::string bmp;
  std::string wav;
  std::vector<Step> steps;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "synthscope-render: %s\n", message.c_str());
  std::exit(2);
}

[[noreturn]] void Usage(const std::string& message) {
  Fail(message + " (usage: synthscope-render [--block FRAMES] [--bmp FILE] OUT.wav KEYS:FRAMES...)");
}

// A decimal count from 0 to `limit`, or -1.
long long ParseCount(const std::string& text, long long limit) {
  if (text.empty() || text.size() > 12) return -1;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= limit ? value : -1;
}

Options Parse(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string flag = argv[i];
    if (flag == "--") {
      ++i;
      break;
    }
    if (flag != "--block" && flag != "--bmp") Usage("unknown option " + flag);
    if (i + 1 >= argc) Usage(flag + " needs a value");
    const std::string value = argv[++i];
    if (flag == "--bmp") {
      o.bmp = value;
    } else if ((o.block = ParseCount(value, MaxBlockFrames)) <= 0) {
      Usage("--block takes a count of frames from 1 to " + std::to_string(MaxBlockFrames));
    }
  }
  if (i >= argc) Usage("no output file");
  o.wav = argv[i++];
  if (i >= argc) Usage("no step");
  long long total = 0;
  for (; i < argc; ++i) {
    const std::string step = argv[i];
    const auto colon = step.rfind(':');
    if (colon == std::string::npos) Usage("a step is KEYS:FRAMES, not '" + step + "'");
    const long long frames = ParseCount(step.substr(colon + 1), MaxTotalFrames);
    if (frames < 0)
      Usage("the frames of step '" + step + "' are not a count from 0 to " + std::to_string(MaxTotalFrames));
    total += frames;
    if (total > MaxTotalFrames) Usage("more than " + std::to_string(MaxTotalFrames) + " frames in all");
    o.steps.push_back(Step{step.substr(0, colon), frames});
  }
  return o;
}

class PendingFile;
std::vector<PendingFile*> g_pending;
void DiscardPending();

[[noreturn]] void FailAndDiscard(const std::string& message) {
  DiscardPending();
  Fail(message);
}

// A file written beside its final name and moved there only when complete,
// so that a failure leaves nothing behind.
class PendingFile {
 public:
  explicit PendingFile(const std::string& path) : path_(path), temp_(path + ".XXXXXX") {
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) FailAndDiscard("cannot write " + path_ + ": " + std::strerror(errno));
    g_pending.push_back(this);
    const mode_t mask = umask(0);  // mkstemp makes it private; give it the usual mode
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
  }
  ~PendingFile() { Discard(); }
  int fd() const { return fd_; }
  const std::string& temp() const { return temp_; }
  // Closes the descriptor; true when everything written reached the file.
  bool Close() {
    const bool ok = fd_ < 0 || close(fd_) == 0;
    fd_ = -1;
    return ok;
  }
  void Discard() {
    Close();
    if (!done_) unlink(temp_.c_str());
  }
  void Commit() {
    if (!Close() || rename(temp_.c_str(), path_.c_str()) != 0)
      FailAndDiscard("cannot write " + path_ + ": " + std::strerror(errno));
    done_ = true;
  }

 private:
  std::string path_;
  std::string temp_;
  int fd_ = -1;
  bool done_ = false;
};

void DiscardPending() {
  for (PendingFile* f : g_pending) f->Discard();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);

  PendingFile wav_file(options.wav);
  std::unique_ptr<PendingFile> bmp_file;
  if (!options.bmp.empty()) {
    bmp_file = std::make_unique<PendingFile>(options.bmp);
  }

  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* wav = sf_open_fd(wav_file.fd(), SFM_WRITE, &info, SF_FALSE);
  if (!wav) FailAndDiscard("cannot write " + options.wav + ": " + sf_strerror(nullptr));

  synth::SynthState& s = synth::TheSynth();
  s.Surface = scope::CreateOffscreenSurface();
  if (!s.Surface) FailAndDiscard(std::string("no off-screen surface: ") + SDL_GetError());

  std::vector<std::int16_t> block(2 * static_cast<size_t>(options.block));
  for (const Step& step : options.steps) {
    for (char key : step.keys) {
      app::ApplyKey(s, static_cast<signed char>(key));
      app::PrintReadout(s);
    }
    for (long long left = step.frames; left > 0;) {
      const long long n = std::min(left, options.block);
      audio::RenderBlock(nullptr, block.data(), static_cast<int>(n * audio::BytesPerFrame), &s.OSC1);
      if (sf_writef_short(wav, block.data(), n) != n)
        FailAndDiscard("cannot write " + options.wav + ": " + sf_strerror(wav));
      left -= n;
    }
  }
  std::fflush(stdout);
  if (sf_close(wav) != 0) FailAndDiscard("cannot write " + options.wav);

  if (bmp_file) {
    bmp_file->Close();  // SDL writes the picture by name
    if (SDL_SaveBMP(s.Surface, bmp_file->temp().c_str()) != 0) FailAndDiscard("cannot write " + options.bmp);
    bmp_file->Commit();
  }
  wav_file.Commit();
  return 0;
}

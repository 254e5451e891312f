// Speed of the voice and of one whole block as the program computes it.
//
// Floor: five libm sin calls, what one audio step costs at least when every
// oscillator plays a sine. Targets (shown, not asserted): StepVoice within
// 1.3 x the floor; a 512-frame block with its scope pass under 10 % of the
// block's 11.6 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "audio/render_block.h"
#include "scope/scope.h"
#include "synth/voice.h"

namespace {

// Arguments sweep the range the voice's sines see: 6.2831853 (Pos + APhase)
// with Pos from -2 to 1 and APhase near 1, about -6.3 to 12.6.
void FiveSines(benchmark::State& state) {
  double x = -6.0;
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < 5; ++i) sum += std::sin(x + 0.3 * i);
    benchmark::DoNotOptimize(sum);
    x += 1e-3;
    if (x > 11.0) x -= 17.0;
  }
}
BENCHMARK(FiveSines);

void AllModulatorsOn(synth::SynthState& s) {
  s.LFO1.Freq = 2.0f;
  s.LFO1.Ampl = 0.5f;
  s.LFO2.Freq = 0.3f;
  s.LFO2.Ampl = 0.2f;
  s.LFO3.Freq = 3.0f;
  s.LFO3.Ampl = 0.3f;
  s.LFO4.Freq = 2.0f;
  s.LFO4.Ampl = 0.1f;
}

void StepVoice(benchmark::State& state) {
  synth::SynthState s;
  if (state.range(0)) AllModulatorsOn(s);
  for (auto _ : state) benchmark::DoNotOptimize(synth::StepVoice(s, true));
}
BENCHMARK(StepVoice)->ArgName("modulators")->Arg(0)->Arg(1);

// One block with its scope pass on an off-screen surface. While the settings
// stay put the pass redraws the last picture; "changing" moves a setting
// before every block, as a held key would, so every pass is computed.
void RenderBlock(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const bool changing = state.range(2);
  synth::SynthState s;
  if (state.range(1)) AllModulatorsOn(s);
  s.Surface = scope::CreateOffscreenSurface();
  std::vector<std::int16_t> block(2 * static_cast<size_t>(frames));
  float phase = 1.0f;
  for (auto _ : state) {
    if (changing) s.OSC1.Phase = (phase = phase == 1.0f ? 0.5f : 1.0f);
    audio::RenderBlockFor(s, block.data(), frames * 4);
  }
  state.counters["block_ms"] = frames * 1000.0 / 44100.0;
  SDL_FreeSurface(s.Surface);
}
BENCHMARK(RenderBlock)
    ->ArgNames({"frames", "modulators", "changing"})
    ->ArgsProduct({{256, 512, 1024, 8192}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The whole drawing pass on a real window (clear, pass, flip), when there is
// a display: run under Xvfb, for instance `xvfb-run build/bench/bench`.
void DrawingPassOnWindow(benchmark::State& state) {
  const bool changing = state.range(0);
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) {
    state.SkipWithError("no display");
    return;
  }
  synth::SynthState s;
  s.Surface = SDL_SetVideoMode(scope::Width, scope::Height, 32, SDL_SWSURFACE);
  if (!s.Surface) {
    state.SkipWithError("no window");
    SDL_Quit();
    return;
  }
  float phase = 1.0f;
  for (auto _ : state) {
    if (changing) s.OSC1.Phase = (phase = phase == 1.0f ? 0.5f : 1.0f);
    scope::ClearSurface(s.Surface);
    scope::DrawScope(s);
  }
  SDL_Quit();
}
BENCHMARK(DrawingPassOnWindow)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Prints the ratios that the targets are about, from the same run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) ns_[r.benchmark_name()] = r.GetAdjustedRealTime() * Scale(r.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double floor = ns_["FiveSines"];
    std::printf("\n");
    for (const char* name : {"StepVoice/modulators:0", "StepVoice/modulators:1"})
      if (ns_.count(name) && floor > 0)
        std::printf("%-28s %6.1f ns  = %.2f x the five-sin floor (%.1f ns; target 1.3 x)\n", name, ns_[name],
                    ns_[name] / floor, floor);
    for (int frames : {256, 512, 1024, 8192})
      for (int on : {0, 1})
        for (int changing : {0, 1}) {
          const std::string name = "RenderBlock/frames:" + std::to_string(frames) +
                                   "/modulators:" + std::to_string(on) + "/changing:" + std::to_string(changing);
          if (!ns_.count(name)) continue;
          const double block_ns = frames * 1e9 / 44100.0;
          std::printf("%-51s %6.3f ms = %5.1f %% of the block's %.1f ms%s\n", name.c_str(), ns_[name] / 1e6,
                      100.0 * ns_[name] / block_ns, block_ns / 1e6, frames == 512 ? " (target 10 %)" : "");
        }
    for (const char* name : {"DrawingPassOnWindow/changing:0", "DrawingPassOnWindow/changing:1"})
      if (ns_.count(name))
        std::printf("%-51s %6.3f ms = %5.1f %% of a 512-frame block's 11.6 ms\n", name, ns_[name] / 1e6,
                    100.0 * ns_[name] / (512 * 1e9 / 44100.0));
  }

 private:
  static double Scale(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond:
        return 1e9;
      case benchmark::kMillisecond:
        return 1e6;
      case benchmark::kMicrosecond:
        return 1e3;
      default:
        return 1.0;
    }
  }
  std::map<std::string, double> ns_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

// A JACK client of the tests' own: records one output port of another
// client and counts the server's xruns.
//
//   jack_probe CLIENT SECONDS OUT.raw
//
// Waits (up to 20 s) for CLIENT's first output port, connects to it, records
// SECONDS of audio as 16-bit samples (JACK carries sample / 32768 as float),
// then prints: xruns N frames F seconds W
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

jack_port_t* g_in = nullptr;
std::vector<short> g_samples;
std::atomic<size_t> g_recorded{0};
std::atomic<bool> g_recording{false};
std::atomic<unsigned long long> g_frames{0};
std::atomic<int> g_xruns{0};

short ToShort(float v) {
  const double s = std::round(static_cast<double>(v) * 32768.0);
  return static_cast<short>(s > 32767 ? 32767 : s < -32768 ? -32768 : s);
}

int Process(jack_nframes_t n, void*) {
  if (!g_recording.load()) return 0;
  g_frames += n;
  const auto* in = static_cast<const float*>(jack_port_get_buffer(g_in, n));
  size_t at = g_recorded.load();
  for (jack_nframes_t i = 0; i < n && at < g_samples.size(); ++i) g_samples[at++] = ToShort(in[i]);
  g_recorded = at;
  return 0;
}

int Xrun(void*) {
  ++g_xruns;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: jack_probe CLIENT SECONDS OUT.raw\n");
    return 2;
  }
  const std::string client_name = argv[1];
  const double seconds = std::atof(argv[2]);
  jack_client_t* client = jack_client_open("probe", JackNoStartServer, nullptr);
  if (!client) {
    std::fprintf(stderr, "jack_probe: no JACK server\n");
    return 1;
  }
  g_samples.resize(static_cast<size_t>(seconds * jack_get_sample_rate(client)));
  g_in = jack_port_register(client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client, Process, nullptr);
  jack_set_xrun_callback(client, Xrun, nullptr);
  jack_activate(client);

  std::string source;
  for (int tries = 0; tries < 2000 && source.empty(); ++tries) {
    const char** ports = jack_get_ports(client, (client_name + ":").c_str(), nullptr, JackPortIsOutput);
    if (ports && ports[0]) source = ports[0];
    jack_free(ports);
    if (source.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (source.empty() || jack_connect(client, source.c_str(), jack_port_name(g_in)) != 0) {
    std::fprintf(stderr, "jack_probe: no output port of %s\n", client_name.c_str());
    return 1;
  }
  g_xruns = 0;
  const auto start = std::chrono::steady_clock::now();
  g_recording = true;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  g_recording = false;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const unsigned long long frames = g_frames.load();
  // Let the recording fill to its length when the server runs slightly slow.
  for (int i = 0; i < 200 && g_recorded.load() < g_samples.size(); ++i) {
    g_recording = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  g_recording = false;
  jack_client_close(client);

  std::FILE* out = std::fopen(argv[3], "wb");
  if (!out) return 1;
  std::fwrite(g_samples.data(), sizeof(short), g_recorded.load(), out);
  std::fclose(out);
  std::printf("xruns %d frames %llu seconds %.6f\n", g_xruns.load(), frames, wall);
  return 0;
}

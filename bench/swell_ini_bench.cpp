// Settings reads with the file cached, beside a bare stat of the same file: a cached read
// costs that one stat and a lookup in memory.

#include "swell-ini.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace
{
// A settings file like the application's: two sections, fifteen keys.
class SettingsFile
{
public:
  SettingsFile()
  {
    char folder[] = "/tmp/vorna-ini-bench-XXXXXX";
    m_dir = mkdtemp(folder);
    m_path = m_dir + "/settings.ini";
    const char* audio[] = {"driver", "indev", "outdev", "in1", "in2", "out1", "out2", "monoinput", "iovs", "sigvs", "sr"};
    for (const char* key : audio) WritePrivateProfileString("audio", key, "512", m_path.c_str());
    const char* midi[] = {"indev", "outdev", "inchan", "outchan"};
    for (const char* key : midi) WritePrivateProfileString("midi", key, "off", m_path.c_str());
  }
  ~SettingsFile() { std::filesystem::remove_all(m_dir); }
  const char* path() const { return m_path.c_str(); }

private:
  std::string m_dir;
  std::string m_path;
};

void IniCachedRead(benchmark::State& state)
{
  SettingsFile file;
  char value[100];
  GetPrivateProfileString("audio", "sr", "", value, sizeof value, file.path());
  for (auto _ : state)
  {
    GetPrivateProfileString("audio", "sr", "", value, sizeof value, file.path());
    benchmark::DoNotOptimize(value);
  }
  state.SetLabel("target: one stat (compare StatOfTheSettingsFile)");
}
BENCHMARK(IniCachedRead);

void StatOfTheSettingsFile(benchmark::State& state)
{
  SettingsFile file;
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(stat(file.path(), &st));
}
BENCHMARK(StatOfTheSettingsFile);
}  // namespace

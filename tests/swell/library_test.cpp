#include "swell-misc.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> g_calls;
int g_swellAnswer = 1;
int g_dllAnswer = 1;

bool isLoaded(const std::string& path)
{
  void* probe = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (probe) dlclose(probe);
  return probe != nullptr;
}

std::string moduleFileName(HINSTANCE instance)
{
  char buf[4096];
  return std::string(buf, GetModuleFileName(instance, buf, sizeof buf));
}

struct LibraryTest : ::testing::Test
{
  void SetUp() override
  {
    g_calls.clear();
    g_swellAnswer = g_dllAnswer = 1;
    char dir[] = "/tmp/vorna-libs-XXXXXX";
    folder = fs::canonical(mkdtemp(dir));
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
  const std::string module = fs::canonical(ENTRY_MODULE);
};
}  // namespace

extern "C" int entryModuleCall(const char* entry, unsigned reason)
{
  g_calls.push_back(std::string(entry) + " " + std::to_string(reason));
  return std::strcmp(entry, "DllMain") == 0 ? g_dllAnswer : g_swellAnswer;
}

TEST_F(LibraryTest, OneInstancePerLibraryWithEntryPointsAtFirstLoadAndLastFree)
{
  HINSTANCE first = LoadLibrary(module.c_str());
  HINSTANCE second = LoadLibrary(module.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"SWELL_dllMain 1", "DllMain 1"}));

  EXPECT_EQ(moduleFileName(first), "");  // nothing looked up yet to find the file by
  EXPECT_EQ(reinterpret_cast<int (*)()>(GetProcAddress(first, "entryModuleValue"))(), 42);
  EXPECT_EQ(moduleFileName(first), module);

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_TRUE(isLoaded(module));
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_FALSE(isLoaded(module));
  EXPECT_EQ(g_calls, (std::vector<std::string>{"SWELL_dllMain 1", "DllMain 1", "SWELL_dllMain 0", "DllMain 0"}));
}

TEST_F(LibraryTest, ARefusingEntryPointUnloadsTheLibraryAgain)
{
  g_swellAnswer = 0;
  EXPECT_EQ(LoadLibrary(module.c_str()), nullptr);
  g_swellAnswer = 1;
  g_dllAnswer = 0;
  EXPECT_EQ(LoadLibrary(module.c_str()), nullptr);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"SWELL_dllMain 1", "SWELL_dllMain 1", "DllMain 1", "SWELL_dllMain 0"}));
  EXPECT_FALSE(isLoaded(module));
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_EQ(LoadLibrary((folder / "missing.so").c_str()), nullptr);
}

TEST_F(LibraryTest, AFolderIsABundleOfTheSharedObjectInside)
{
  const fs::path bundle = folder / "Synth.bundle";
  fs::create_directory(bundle);
  fs::copy_file(module, bundle / "Synth.so");
  fs::copy_file(module, bundle / "Another.so");

  HINSTANCE first = LoadLibrary(bundle.c_str());
  HINSTANCE second = LoadLibrary((bundle.string() + "/").c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_NE(SWELL_GetBundle(first), nullptr);
  EXPECT_EQ(moduleFileName(first), bundle.string());
  EXPECT_TRUE(isLoaded(bundle / "Synth.so"));  // the one named after the folder
  EXPECT_FALSE(isLoaded(bundle / "Another.so"));
  EXPECT_NE(GetProcAddress(first, "entryModuleValue"), nullptr);
  FreeLibrary(first);
  FreeLibrary(second);
  EXPECT_FALSE(isLoaded(bundle / "Synth.so"));

  fs::create_directory(folder / "Empty.bundle");
  EXPECT_EQ(LoadLibrary((folder / "Empty.bundle").c_str()), nullptr);
}

TEST_F(LibraryTest, PlainSystemLibrariesAndTheProgramsOwnFolder)
{
  HINSTANCE libm = LoadLibrary("libm.so.6");  // found on the loader's search path
  ASSERT_NE(GetProcAddress(libm, "cos"), nullptr);
  EXPECT_NE(moduleFileName(libm).find("libm"), std::string::npos);
  FreeLibrary(libm);

  EXPECT_EQ(moduleFileName(nullptr), fs::canonical("/proc/self/exe").parent_path().string());
}

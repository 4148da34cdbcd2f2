#pragma once

#include "swell-ini.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

// A fresh folder per test, with helpers to put and look at files and to read keys.
struct IniFixture : ::testing::Test
{
  void SetUp() override
  {
    char folder[] = "/tmp/vorna-ini-XXXXXX";
    dir = mkdtemp(folder);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  static void put(const std::string& file, const std::string& text)
  {
    std::ofstream(file, std::ios::binary) << text;
  }
  static std::string contents(const std::string& file)
  {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static std::string read(const std::string& file, const char* section, const char* key)
  {
    char value[4096];
    GetPrivateProfileString(section, key, "<default>", value, sizeof value, file.c_str());
    return value;
  }
  std::set<std::string> names() const
  {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) found.insert(entry.path().filename());
    return found;
  }

  std::string dir;
};

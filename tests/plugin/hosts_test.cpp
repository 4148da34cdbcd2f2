#include "Hosts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string HostName(int host)
{
  std::vector<char> out(kHostNameSize, '#');
  GetHostNameStr(static_cast<EHost>(host), out.data());
  return std::string(out.data());
}
}  // namespace

TEST(LookUpHost, WordsAreFoundAnywhereInAnyCase)
{
  EXPECT_EQ(LookUpHost("Live 9"), kHostLive);
  EXPECT_EQ(LookUpHost("REAPER64"), kHostReaper);
  EXPECT_EQ(LookUpHost("FL Studio (Fruity Wrapper)"), kHostFL);
  EXPECT_EQ(LookUpHost("Cakewalk Sonar"), kHostSonar);
  EXPECT_EQ(LookUpHost("Melodyne"), kHostMelodyne);
  EXPECT_EQ(LookUpHost("vstmanlib"), kHostVSTScanner);
  EXPECT_EQ(LookUpHost("PreSonus Studio One"), kHostStudioOne);
  EXPECT_EQ(LookUpHost("VST3PluginTestHost"), kHostVST3TestHost);
  EXPECT_EQ(LookUpHost("Standalone"), kHostStandalone);
}

TEST(LookUpHost, UnknownNames)
{
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  EXPECT_EQ(LookUpHost(""), kHostUnknown);
  EXPECT_EQ(LookUpHost("Some Other Workstation"), kHostUnknown);
  EXPECT_EQ(LookUpHost("Pro Tools"), kHostUnknown);  // the word is "protools"
  EXPECT_EQ(LookUpHost("Studio One"), kHostUnknown);  // identified by "presonus"
}

TEST(LookUpHost, TheEarlierWordWins)
{
  EXPECT_EQ(LookUpHost("Logic Live"), kHostLive);  // "live" is tested before "logic"
  EXPECT_EQ(LookUpHost("nuendo reaper"), kHostReaper);
  EXPECT_EQ(LookUpHost("reaper cubase"), kHostCubase);
  EXPECT_EQ(LookUpHost("Standalone Live"), kHostLive);
  EXPECT_EQ(LookUpHost("Renoise OpenMPT"), kHostOpenMPT);
  EXPECT_EQ(LookUpHost("protools ardour"), kHostProTools);
  EXPECT_EQ(LookUpHost("Digital Logic"), kHostLogic);
  EXPECT_EQ(LookUpHost("GarageBand Forte"), kHostGarageBand);
}

TEST(LookUpHost, LongNamesAreCutAt255Characters)
{
  // Far longer than the lower-casing buffer: must not overrun it.
  const std::string huge(100000, 'x');
  EXPECT_EQ(LookUpHost(huge.c_str()), kHostUnknown);
  EXPECT_EQ(LookUpHost(("LIVE" + huge).c_str()), kHostLive);

  // A word ending at character 255 is still seen; one reaching character 256 is cut off.
  const std::string inside = std::string(249, 'x') + "Reaper";
  ASSERT_EQ(inside.size(), 255u);
  EXPECT_EQ(LookUpHost(inside.c_str()), kHostReaper);
  const std::string across = std::string(250, 'x') + "Reaper";
  EXPECT_EQ(LookUpHost(across.c_str()), kHostUnknown);
  EXPECT_EQ(LookUpHost((across + huge).c_str()), kHostUnknown);
}

TEST(GetHostNameStr, NamesByNumber)
{
  EXPECT_EQ(HostName(kHostUnknown), "Unknown");
  EXPECT_EQ(HostName(kHostFL), "FLStudio");
  EXPECT_EQ(HostName(kHostDigitalPerformer), "DigitalPerformer");
  EXPECT_EQ(HostName(kHostStandalone), "Standalone");
  EXPECT_EQ(HostName(kHostVST3TestHost), "VST3PluginTestHost");  // the longest name
  EXPECT_EQ(HostName(kHostOpenMPT), "OpenMPT");
  // Hosts without a display name, and numbers that are no host.
  for (int host : {-1, 10, 11, 12, 19, 31, 1000, -1000}) EXPECT_EQ(HostName(host), "Unknown") << host;
}

#include "Log.h"
#include "assocarray.h"
#include "globals.h"
#include "wdlstring.h"

#include <gtest/gtest.h>

TEST(Smoke, LayersLinkAndAnswer)
{
  WDL_String version;
  version.SetFormatted(32, "v%d.%d.%d", 0, 1, 0);
  EXPECT_STREQ(version.Get(), "v0.1.0");

  WDL_StringKeyedArray<int> table(false);
  table.Insert("Audio", 1);
  EXPECT_EQ(table.Get("audio"), 1);

  EXPECT_DOUBLE_EQ(PlugG::SR, 48000.0);
  EXPECT_NE(CurrentTime()[0], '\0');
}

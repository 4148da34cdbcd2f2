// Device and port names as the libraries give them, kept as the settings file holds them.
#include "app_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Ninety-eight letters: with two more bytes a name reaches the 99-byte cut.
const std::string k98(98, 'a');
}  // namespace

// A kept name is kept as itself, so that what the file holds reads back as the name the next
// start keeps; only a character that the 99-byte cut splits is left out.
TEST(KeptNames, AKeptNameIsKeptAsItselfAndFindsItsName)
{
  const struct
  {
    const char* what;
    std::string listed;
    std::string kept;
  } cases[] = {
      {"a lone lead byte before a blank", "abc\xC3 ", "abc\xC3"},
      {"half a three-byte character before a tab", "a\xE2\x82\t", "a\xE2\x82"},
      {"a lone lead byte at the end", "caf\xC3", "caf\xC3"},
      {"a character that the cut splits", k98 + "\xC3\xA9", k98},
      {"a character that ends at the cut", std::string(97, 'a') + "\xC3\xA9", std::string(97, 'a') + "\xC3\xA9"},
      {"a blank and then a character the cut splits", std::string(97, 'a') + " \xE2\x82\xAC", std::string(97, 'a')},
      {"a control byte and blanks", " \x01Keys\x7F ", "?Keys?"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const std::string kept = KeptName(c.listed);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(KeptName(kept), kept);
    char field[kNameSize];
    KeepName(field, c.listed);
    EXPECT_EQ(std::string(field), c.kept);
    // The listed name is found by what a field keeps of it, as is the kept one.
    EXPECT_EQ(FindStoredName({"other", c.listed}, field), 1);
    char again[kNameSize];
    KeepName(again, kept);
    EXPECT_EQ(FindStoredName({"other", c.listed}, again), 1);
  }
}

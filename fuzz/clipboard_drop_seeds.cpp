#include "seed_writer.h"

#include <string>
#include <vector>

// Writes a few inputs in clipboard_drop_fuzzer's layout into the directory given as the
// argument: text copied in another program (lines, tabs, CR LF, a NUL, invalid UTF-8, a huge
// line), files dropped (one, several, an empty path, a NUL inside a path, very many), and a
// drag that passes over without a drop.
namespace
{
constexpr uint8_t kClipboard = 0;
constexpr uint8_t kDrop = 1;
constexpr uint8_t kPassOver = 2;

struct Input
{
  std::vector<uint8_t> bytes;

  Input& Text(const std::string& text)
  {
    bytes.push_back(uint8_t(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  // A few bytes repeated into a line of (head - 0xEF) * 4096 bytes.
  Input& Huge(uint8_t head, const std::string& piece)
  {
    bytes.push_back(head);
    bytes.push_back(uint8_t(piece.size() - 1));
    bytes.insert(bytes.end(), piece.begin(), piece.end());
    return *this;
  }
  Input& Paste(const std::string& text, uint8_t at, uint8_t length)
  {
    bytes.push_back(kClipboard);
    Text(text);
    bytes.push_back(at);
    bytes.push_back(length);
    return *this;
  }
  // Files: how many (1 to 4, or 75 times that with many), where the drag starts and ends.
  Input& Files(uint8_t op, const std::vector<std::string>& paths, bool many = false)
  {
    bytes.push_back(op);
    bytes.push_back(uint8_t(paths.size() - 1));
    bytes.push_back(many ? 7 : 0);
    for (const std::string& path : paths) Text(path);
    bytes.insert(bytes.end(), {20, 50, 120, 90, 3});
    return *this;
  }
};
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) return 2;
  Input huge;
  huge.bytes = {kClipboard};
  huge.Huge(0xF7, "a line. ").bytes.insert(huge.bytes.end(), {0, 0});
  const struct
  {
    const char* name;
    std::vector<uint8_t> bytes;
  } seeds[] = {
      {"paste-lines", Input().Paste("one\ntwo\r\nthree\rfour\tfive", 0, 0).Paste("x", 3, 2).bytes},
      {"paste-odd-bytes", Input().Paste(std::string("nul\0after", 9), 0, 0).Paste("\xC3\x28 \xFF\x01\x1B[0m", 1, 1).bytes},
      {"paste-huge-line", huge.bytes},
      {"drop-files", Input().Files(kDrop, {"/home/me/a.wav", "/home/me/b c.fxp", "/tmp/\xC3\xA9.fxb"}).bytes},
      {"drop-empty-and-nul", Input().Files(kDrop, {"", std::string("/x/a\0b", 6), "/y/z"}).bytes},
      {"drop-many", Input().Files(kDrop, {"/m/1", "/m/2", "/m/3", "/m/4"}, true).bytes},
      {"pass-over", Input().Files(kPassOver, {"/p/a", "/p/b"}).Paste("after", 0, 0).bytes},
  };
  for (const auto& seed : seeds)
    if (!WriteSeed(argv[1], seed.name, seed.bytes)) return 1;
  return 0;
}

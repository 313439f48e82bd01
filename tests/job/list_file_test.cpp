#include "job/list_file.h"

#include <gtest/gtest.h>

#include "support/utf16_bytes.h"

namespace quorbix {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;
using test::utf16Bytes;

TEST(ListFileLines, EveryLineBreakKind) {
  EXPECT_EQ(listFileLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(listFileLines("a\r\n\r\nb\n\n\rc\r\n"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(listFileLines(""), Lines{});
  EXPECT_EQ(listFileLines("\r\n"), Lines{});
}

TEST(ListFileLines, TrimsSpacesButKeepsTabs) {
  EXPECT_EQ(listFileLines("   /x/a.pcd  \n\t/x/b.pcd\n/x/c.pcd\t\n    \n"),
            (Lines{"/x/a.pcd", "\t/x/b.pcd", "/x/c.pcd\t"}));
  EXPECT_EQ(listFileLines("/x/with inner space.pcd"), (Lines{"/x/with inner space.pcd"}));
}

TEST(ListFileLines, SkipsEveryByteOrderMark) {
  EXPECT_EQ(listFileLines("\xEF\xBB\xBF/a.pcd\n"), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines(utf16Bytes(u"/a.pcd", false)), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines(utf16Bytes(u"/a.pcd", true)), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\xFF\xFE\x00\x00/a.pcd"s), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\x00\x00\xFE\xFF/a.pcd"s), (Lines{"/a.pcd"}));
  // Only at the very start.
  EXPECT_EQ(listFileLines("/a.pcd\n\xEF\xBB\xBF/b.pcd"), (Lines{"/a.pcd", "\xEF\xBB\xBF/b.pcd"}));
  // Non-ASCII UTF-8 passes unchanged.
  EXPECT_EQ(listFileLines("\xEF\xBB\xBF/fotos/M\xC3\xBCller.pcd"), (Lines{"/fotos/M\xC3\xBCller.pcd"}));
}

TEST(ListFileLines, LinesWithNulBytesNameNothing) {
  // UTF-16 without its mark is read as UTF-8 and yields NUL bytes; such a
  // line must not be cut short at its first NUL into some other, existing
  // path. A U+0000 in real UTF-16 is left out the same way.
  EXPECT_EQ(listFileLines("x\0.\0p\0c\0d\0\n/ok.pcd\n"s), (Lines{"/ok.pcd"}));
  EXPECT_EQ(listFileLines("\xFF\xFEx\0\0\0\n\0/\0o\0k\0"s), (Lines{"/ok"}));
}

TEST(ListFileLines, Utf16InBothByteOrdersBecomesUtf8) {
  // "Müller" with a surrogate pair (U+1F600) and a CJK character.
  const std::u16string_view text = u"  /fotos/M\u00fcller\U0001F600\u5199.pcd \r\n\r\n/b.pcd\r/c.pcd";
  const Lines expected{"/fotos/M\xC3\xBCller\xF0\x9F\x98\x80\xE5\x86\x99.pcd", "/b.pcd", "/c.pcd"};
  EXPECT_EQ(listFileLines(utf16Bytes(text, false)), expected);
  EXPECT_EQ(listFileLines(utf16Bytes(text, true)), expected);
  // Unpaired surrogates become U+FFFD; an odd last byte is dropped.
  EXPECT_EQ(listFileLines(utf16Bytes(u"/a\xD800.pcd\n/\xDC00\n/\xD83D", false) + "x"),
            (Lines{"/a\xEF\xBF\xBD.pcd", "/\xEF\xBF\xBD", "/\xEF\xBF\xBD"}));
  // The UTF-32 little-endian mark begins like the UTF-16 one: it is skipped
  // and the rest read as UTF-8, as for every mark but the UTF-16 ones.
  EXPECT_EQ(listFileLines("\xFF\xFE\x00\x00/a.pcd\n"s), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\xFF\xFE"), Lines{});
  EXPECT_EQ(listFileLines("\xFE\xFF\x00/"s), Lines{"/"});
}

// The lines of `bytes` fed in pieces that end at each of `cuts`.
Lines linesInPieces(std::string_view bytes, const std::vector<size_t>& cuts) {
  Lines lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); });
  size_t done = 0;
  for (size_t cut : cuts) {
    reader.feed(bytes.substr(done, cut - done));
    done = cut;
  }
  reader.feed(bytes.substr(done));
  reader.finish();
  return lines;
}

TEST(ListFileReader, PiecesMayEndAnywhere) {
  // Every split into two pieces and into single bytes reads like the whole
  // file: marks, CR LF pairs, UTF-8 sequences, UTF-16 code units and
  // surrogate pairs cut in two.
  const std::string files[] = {
      "\xEF\xBB\xBF /a.pcd\r\n/b\xC3\xBC.pcd \r\n\r\n",
      "\x00\x00\xFE\xFF/a\r\r\n/b"s,
      "a\n",
      utf16Bytes(u"/a\U0001F600.pcd\r\n /b.pcd\r\n\xD800", false),
      utf16Bytes(u"/a\U0001F600.pcd\r\n/b.pcd\n", true) + "\x01",
  };
  for (const std::string& file : files) {
    const Lines whole = listFileLines(file);
    ASSERT_FALSE(whole.empty());
    for (size_t cut = 0; cut <= file.size(); ++cut) {
      EXPECT_EQ(linesInPieces(file, {cut}), whole) << "cut at " << cut;
    }
    std::vector<size_t> everyByte;
    for (size_t cut = 1; cut < file.size(); ++cut) everyByte.push_back(cut);
    EXPECT_EQ(linesInPieces(file, everyByte), whole);
  }
  EXPECT_EQ(linesInPieces(files[3], {3}), (Lines{"/a\xF0\x9F\x98\x80.pcd", "/b.pcd", "\xEF\xBF\xBD"}));
}

TEST(ListFileReader, LinesTooLongForAPathNameNothing) {
  // The limit counts the line without its outer spaces, however the pieces
  // fall; inner spaces count.
  const std::string file = "   /a.pcd     \n/ab.pcd\n  /b.pcd\r\na    b  \na     b\n" + std::string(100, ' ');
  for (size_t piece = 1; piece <= file.size(); ++piece) {
    Lines lines;
    ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); }, 6);
    for (size_t at = 0; at < file.size(); at += piece) reader.feed(std::string_view(file).substr(at, piece));
    reader.finish();
    EXPECT_EQ(lines, (Lines{"/a.pcd", "/b.pcd", "a    b"})) << "pieces of " << piece;
  }
  const std::string longest(kLongestListLine, 'a');
  EXPECT_EQ(listFileLines(" " + longest + " \n" + longest + "a\n/b"), (Lines{longest, "/b"}));
}

TEST(ListFileReader, LinesAreHandedOnAsTheyEnd) {
  Lines lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); });
  reader.feed("/a.pcd\n/b");
  EXPECT_EQ(lines, Lines{"/a.pcd"});
  reader.feed(".pcd\r");
  EXPECT_EQ(lines, (Lines{"/a.pcd", "/b.pcd"}));
  reader.feed("\n/c.pcd");
  reader.finish();
  EXPECT_EQ(lines, (Lines{"/a.pcd", "/b.pcd", "/c.pcd"}));
}

}  // namespace
}  // namespace quorbix

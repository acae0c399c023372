#include "util/bookmark_items.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo {
namespace {

// The items as one line of text: "S url|title" for a shortcut, "F title" for a
// heading, "E" for a list end, separated by "; ".
std::string ItemsOf(std::string_view text, std::size_t pieceSize, std::size_t carryLimit) {
  ItemReader reader(carryLimit);
  std::string shown;
  auto take = [&] {
    for (const RawItem& item : reader.items()) {
      if (!shown.empty()) shown += "; ";
      if (item.kind == ItemKind::Shortcut) shown += "S " + item.url + "|" + item.title;
      if (item.kind == ItemKind::FolderHeading) shown += "F " + item.title;
      if (item.kind == ItemKind::EndOfList) shown += "E";
    }
    reader.items().clear();
  };
  for (std::size_t at = 0; at < text.size(); at += pieceSize) {
    reader.feed(text.substr(at, pieceSize));
    take();
  }
  reader.finish();
  take();
  return shown;
}

TEST(ItemReaderTest, ItemsDoNotDependOnHowTheTextArrives) {
  struct Case {
    std::string text;
    std::size_t carryLimit;
    std::string items;
  };
  const Case cases[] = {
      {"<DT><H3 A=\"1>2\">F</H3>\n<DL><p>\n<DT><A HREF=\"u\">T</A>\n</DL><p>\n", 100,
       "F F; S u|T; E"},
      {"<H3>No DT</H3><DD><h3>Nor here</h3><dt><h3>Yes</h3>", 100, "F Yes"},
      {"<a href=u>one</a><A HREF='v'>two</A></dl><A HREF=w>three", 100,
       "S u|one; S v|two; E; S w|three"},
      {"<A HREF=\"u\">Title\nrunning on<DT><A HREF=\"v\">", 100, "S u|Title\nrunning on; S v|"},
      {"<A HREF=\"u\">a <b>bold</b> &lt;tag&gt;</A>", 100, "S u|a <b>bold</b> &lt;tag&gt;"},
      // A closed title or tag is read whole past the limit; a title that the text ends
      // in, and a value that never closes, are cut at it.
      {"<A HREF=\"u\">0123456789abcdefghijKLMN</A><A HREF=\"v\">x</A>", 20,
       "S u|0123456789abcdefghijKLMN; S v|x"},
      {"<A HREF=u 0123456789abcdefghij><A HREF=\"v\">x</A>", 20, "S u|; S v|x"},
      {"<A HREF=\"u\">0123456789abcdefghijKLMN", 20, "S u|0123456789abcdefghij"},
      {"<A HREF=\"0123456789abcdefghij\n<A HREF=\"v\">x</A>", 20,
       "S 0123456789a|bcdefghij\n; S v|x"},
      {"<A HREF=\"0123456789abcdefghijKLMN", 20, "S 0123456789a|bcdefghijKLMN"},
      {"<A HREF=\"u\" T=\"one\ntwo\">x</A><DT><A HREF=\"v\" T=\"open\n<DT><H3>F</H3>", 100,
       "S u|x; S v|\n; F F"},
      // Comments hold no items; one never closed within the limit is text.
      {"<!-- <A HREF=u>x</A></DL> --><a href=v>y<!-- </A> --></a><!---->", 100,
       "S v|y<!-- </A> -->"},
      {"<!-- <A HREF=u>x</A>", 100, "S u|x"},
      {"<!-- 0123456789abcdefghij --><A HREF=u>x</A>", 20, "S u|x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ItemsOf(c.text, c.text.size() + 1, c.carryLimit), c.items) << c.text;
    EXPECT_EQ(ItemsOf(c.text, 1, c.carryLimit), c.items) << c.text;
    EXPECT_EQ(ItemsOf(c.text, 7, c.carryLimit), c.items) << c.text;
  }
}

TEST(ItemReaderTest, CharsetIsTakenFromAMetaTagBeforeTheFirstItem) {
  struct Case {
    std::string text;
    std::string charset;
  };
  const Case cases[] = {
      {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">",
       "ISO-8859-1"},
      {"<meta\ncontent='text/html;charset=x-mac-roman'>", "x-mac-roman"},
      {"<meta charset=\"windows-1252\">", "windows-1252"},
      {"<A HREF=\"u\">T</A><META CONTENT=\"text/html; charset=ISO-8859-1\">", ""},
      {"<META NAME=\"x\" CONTENT=\"no set\">", ""},
  };
  for (const Case& c : cases) {
    ItemReader reader;
    reader.feed(c.text);
    reader.finish();
    EXPECT_EQ(reader.declaredCharset(), c.charset) << c.text;
  }
}

}  // namespace
}  // namespace pelmo

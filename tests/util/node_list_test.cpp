#include "util/node_list.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

namespace pelmo {
namespace {

// An entry record that begins with its ListNode, as the tree builder's do.
struct Entry {
  ListNode node;
  int id = 0;
};

// Names are not copied: each test keeps them alive for as long as its list.
class Entries {
 public:
  ListNode* make(const char* name, int id = 0) {
    Entry& entry = entries_.emplace_back();
    entry.node.name = name;
    entry.id = id;
    return &entry.node;
  }

 private:
  std::deque<Entry> entries_;  // a deque keeps the addresses stable
};

const Entry& AsEntry(const ListNode* node) {
  return *reinterpret_cast<const Entry*>(node);
}

// Walks from the head as the writer does, and checks every link on the way.
std::vector<std::string> Names(const NodeList& list) {
  std::vector<std::string> names;
  const ListNode* previous = &list.headSentinel;
  for (const ListNode* node = list.head(); node->next != nullptr; node = node->next) {
    EXPECT_EQ(node->prev, previous);
    names.push_back(node->name != nullptr ? node->name : "(null)");
    previous = node;
  }
  EXPECT_EQ(list.tailPred(), previous);
  EXPECT_EQ(list.headSentinel.prev, nullptr);
  EXPECT_EQ(list.tailSentinel.next, nullptr);
  return names;
}

using NameVector = std::vector<std::string>;

std::vector<int> Ids(const NodeList& list) {
  std::vector<int> ids;
  for (const ListNode* node = list.head(); node->next != nullptr; node = node->next) {
    ids.push_back(AsEntry(node).id);
  }
  return ids;
}

TEST(NodeList, EmptyListAndFirstEntryBetweenTheSentinels) {
  using Add = void (*)(NodeList&, ListNode*);
  const Add adds[] = {ListAddHead, ListAddTail, ListInsertSorted,
                      [](NodeList& l, ListNode* n) { ListInsert(l, n, nullptr); }};
  for (Add add : adds) {
    Entries entries;
    NodeList list;
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(Names(list).empty());
    add(list, entries.make("only"));
    EXPECT_FALSE(list.empty());
    EXPECT_EQ(Names(list), NameVector{"only"});
  }
}

TEST(NodeList, AddAndInsertPlaceNodes) {
  Entries entries;
  NodeList list;
  ListAddTail(list, entries.make("b"));
  ListAddHead(list, entries.make("a"));
  ListAddTail(list, entries.make("d"));
  ListInsert(list, entries.make("c"), list.head()->next);
  ListInsert(list, entries.make("front1"), nullptr);
  ListInsert(list, entries.make("front2"), &list.headSentinel);
  ListInsert(list, entries.make("end"), list.tailPred());
  EXPECT_EQ(Names(list), (NameVector{"front2", "front1", "a", "b", "c", "d", "end"}));
}

TEST(NodeList, RemoveUnlinksAndLeavesTheNodesLinks) {
  Entries entries;
  NodeList list;
  ListNode* a = entries.make("a");
  ListNode* b = entries.make("b");
  ListNode* c = entries.make("c");
  for (ListNode* node : {a, b, c}) ListAddTail(list, node);
  ListRemove(b);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(b->next, c);
  EXPECT_EQ(Names(list), (NameVector{"a", "c"}));
  ListRemove(a);
  ListRemove(c);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(Names(list).empty());
}

TEST(NodeList, InsertSortedFoldsLettersAndKeepsEqualNamesInOrder) {
  Entries entries;
  NodeList list;
  for (const char* name : {"b", "A", "a", "^x", "C", "newsgroups", "News", "_", "\xE4", "9"}) {
    ListInsertSorted(list, entries.make(name));
  }
  EXPECT_EQ(Names(list),
            (NameVector{"9", "A", "a", "b", "C", "News", "newsgroups", "^x", "_", "\xE4"}));
}

TEST(NodeList, FindNameExactAndFolded) {
  Entries entries;
  NodeList list;
  ListAddTail(list, entries.make(nullptr));
  ListAddTail(list, entries.make("Home", 1));
  ListAddTail(list, entries.make("home", 2));
  ListAddTail(list, entries.make("HOME", 3));

  EXPECT_EQ(ListFindName(&list.headSentinel, "home", 0), list.head()->next->next);
  EXPECT_EQ(ListFindName(&list.headSentinel, "Hom", kListNoCase), nullptr);
  EXPECT_EQ(ListFindName(&list.headSentinel, "", kListNoCase), nullptr);  // unnamed is skipped
  EXPECT_EQ(ListFindName(list.tailPred(), "HOME", 0), nullptr);
  EXPECT_EQ(ListFindName(&list.headSentinel, "hOmE", 0xFFFF & ~kListNoCase), nullptr);

  // Other flag bits do not matter; each search resumes after the previous hit.
  std::vector<int> found;
  for (ListNode* hit = &list.headSentinel;
       (hit = ListFindName(hit, "hOmE", kListNoCase | 0x1)) != nullptr;) {
    found.push_back(AsEntry(hit).id);
  }
  EXPECT_EQ(found, (std::vector<int>{1, 2, 3}));

  NodeList empty;
  EXPECT_EQ(ListFindName(&empty.headSentinel, "", 0), nullptr);
}

// Sorting appended nodes once must give exactly what inserting them one by one gives.
TEST(NodeList, SortByNameMatchesInsertSorted) {
  std::mt19937 random(20240611);
  const std::string alphabet = "aAbBcC_^[ 9~\xE4\xC4";
  for (int round = 0; round < 200; ++round) {
    const int count = round < 2 ? round : static_cast<int>(random() % 300);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
      std::string name;
      const int length = static_cast<int>(random() % 4);
      for (int j = 0; j < length; ++j) name.push_back(alphabet[random() % alphabet.size()]);
      names.push_back(name);
    }
    Entries entries;
    NodeList inserted;
    NodeList sorted;
    for (int i = 0; i < count; ++i) {
      ListInsertSorted(inserted, entries.make(names[i].c_str(), i));
      ListAddTail(sorted, entries.make(names[i].c_str(), i));
    }
    ListSortByName(sorted);

    ASSERT_EQ(Ids(sorted), Ids(inserted)) << "round " << round;
    Names(sorted);  // links both ways
  }
}

}  // namespace
}  // namespace pelmo

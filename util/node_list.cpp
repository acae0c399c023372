#include "util/node_list.h"

#include <array>

#include "util/text.h"

namespace pelmo {
namespace {

// Names are terminated strings; a missing name sorts as an empty one.
int CompareNames(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  for (;; ++a, ++b) {
    const int left = FoldCase(static_cast<unsigned char>(*a));
    const int right = FoldCase(static_cast<unsigned char>(*b));
    if (left != right || left == 0) return left - right;
  }
}

bool NameMatches(const char* entryName, std::string_view name, bool noCase) {
  if (entryName == nullptr) return false;
  const std::string_view entry(entryName);
  return noCase ? CompareNoCase(entry, name) == 0 : entry == name;
}

void LinkAfter(ListNode* predecessor, ListNode* node) {
  ListNode* successor = predecessor->next;
  node->prev = predecessor;
  node->next = successor;
  successor->prev = node;
  predecessor->next = node;
}

// Merges two null-terminated chains linked through next; on equal names the
// earlier chain goes first, which keeps the sort stable.
ListNode* MergeChains(ListNode* earlier, ListNode* later) {
  ListNode start;
  ListNode* last = &start;
  while (earlier != nullptr && later != nullptr) {
    if (CompareNames(later->name, earlier->name) < 0) {
      last->next = later;
      later = later->next;
    } else {
      last->next = earlier;
      earlier = earlier->next;
    }
    last = last->next;
  }
  last->next = earlier != nullptr ? earlier : later;
  return start.next;
}

}  // namespace

NodeList::NodeList() {
  ListInit(*this);
}

void ListInit(NodeList& list) {
  list.headSentinel.prev = nullptr;
  list.headSentinel.next = &list.tailSentinel;
  list.tailSentinel.next = nullptr;
  list.tailSentinel.prev = &list.headSentinel;
}

void ListAddHead(NodeList& list, ListNode* node) {
  LinkAfter(&list.headSentinel, node);
}

void ListAddTail(NodeList& list, ListNode* node) {
  LinkAfter(list.tailSentinel.prev, node);
}

void ListInsert(NodeList& list, ListNode* node, ListNode* predecessor) {
  if (predecessor == nullptr || predecessor->prev == nullptr) {
    ListAddHead(list, node);
  } else {
    LinkAfter(predecessor, node);
  }
}

void ListInsertSorted(NodeList& list, ListNode* node) {
  for (ListNode* current = list.head(); current->next != nullptr; current = current->next) {
    if (CompareNames(node->name, current->name) < 0) {
      ListInsert(list, node, current->prev);
      return;
    }
  }
  ListAddTail(list, node);
}

void ListRemove(ListNode* node) {
  node->prev->next = node->next;
  node->next->prev = node->prev;
}

ListNode* ListFindName(ListNode* start, std::string_view name, std::uint16_t flags) {
  const bool noCase = (flags & kListNoCase) != 0;
  for (ListNode* current = start->next; current != nullptr && current->next != nullptr;
       current = current->next) {
    if (NameMatches(current->name, name, noCase)) return current;
  }
  return nullptr;
}

void ListSortByName(NodeList& list) {
  if (list.empty()) return;
  // Detach the entries as a chain ending in null, so the merges need no sentinel test.
  ListNode* chain = list.head();
  list.tailSentinel.prev->next = nullptr;

  // Bottom-up merge sort: runs[i] holds a sorted run of 2^i entries, and every run
  // holds entries that came before those of the runs below it.
  std::array<ListNode*, 64> runs{};
  while (chain != nullptr) {
    ListNode* carry = chain;
    chain = chain->next;
    carry->next = nullptr;
    std::size_t level = 0;
    for (; runs[level] != nullptr; ++level) {
      carry = MergeChains(runs[level], carry);
      runs[level] = nullptr;
    }
    runs[level] = carry;
  }
  ListNode* sorted = nullptr;
  for (ListNode* run : runs) {
    if (run != nullptr) sorted = MergeChains(run, sorted);
  }

  ListInit(list);
  for (ListNode* node = sorted; node != nullptr;) {
    ListNode* following = node->next;
    ListAddTail(list, node);
    node = following;
  }
}

}  // namespace pelmo

#pragma once

#include <cstdint>
#include <string_view>

namespace pelmo {

// The leading part of every entry of a NodeList; the list never owns its entries.
struct ListNode {
  ListNode* next = nullptr;
  ListNode* prev = nullptr;
  const char* name = nullptr;  // terminated; may be null
};

// Doubly linked list with a head and a tail sentinel, so that no operation needs a
// special case for the first or the last entry. Walking from head(), a node is an
// entry exactly when its next is not null.
struct NodeList {
  ListNode headSentinel;  // prev always null; next is the first entry
  ListNode tailSentinel;  // next always null; prev is the last entry

  NodeList();
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;

  ListNode* head() const { return headSentinel.next; }
  ListNode* tailPred() const { return tailSentinel.prev; }
  bool empty() const { return tailSentinel.prev == &headSentinel; }
};

inline constexpr std::uint16_t kListNoCase = 0x400;

void ListInit(NodeList& list);
void ListAddHead(NodeList& list, ListNode* node);
void ListAddTail(NodeList& list, ListNode* node);
// After predecessor; a null predecessor or the head sentinel puts it in front.
void ListInsert(NodeList& list, ListNode* node, ListNode* predecessor);
// In front of the first entry whose name sorts strictly after the node's name
// (ASCII letters folded), so equal names keep the order of insertion.
void ListInsertSorted(NodeList& list, ListNode* node);
void ListRemove(ListNode* node);
// The first entry after start whose name equals name; kListNoCase folds ASCII letters.
ListNode* ListFindName(ListNode* start, std::string_view name, std::uint16_t flags);
// Puts the entries in the order that ListInsertSorted would have given them, in
// O(n log n): a stable sort by name, ASCII letters folded.
void ListSortByName(NodeList& list);

}  // namespace pelmo

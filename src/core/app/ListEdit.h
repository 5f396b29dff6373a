#pragma once
// Lists edited in dialogs (the macro menu, the custom menu, the files of a macro run): the
// selection after each change. `swap(a, b)` exchanges two entries of the list.
#include "platform/UserInterface.h"

namespace qlk::listedit {

// After the entry at `removed` went from a list now `count` long: the same index, or the one
// before it when the last went; -1 (no selection) when the list is empty.
constexpr int AfterRemove(int removed, int count) { return removed < count ? removed : count - 1; }

// Moves the selected entry one place up; false, changing nothing, at the top or with no
// selection.
// Removes the selected entry after asking `question(selected)` (OK and Cancel) and selects as
// AfterRemove says; false, changing nothing, with no selection or when the answer is Cancel.
template <class Question, class Remove>
bool Delete(IUserInterface& ui, int& selected, int count, Question question, Remove remove) {
  if (selected < 0 || selected >= count || !ui.Confirm(question(selected))) return false;
  remove(selected);
  selected = AfterRemove(selected, count - 1);
  return true;
}

template <class Swap>
bool MoveUp(int& selected, int count, Swap swap) {
  if (selected < 1 || selected >= count) return false;
  swap(selected, selected - 1);
  --selected;
  return true;
}

template <class Swap>
bool MoveDown(int& selected, int count, Swap swap) {
  if (selected < 0 || selected + 1 >= count) return false;
  swap(selected, selected + 1);
  ++selected;
  return true;
}

}  // namespace qlk::listedit

// The actions of the macro being edited: at most 46, inserted, moved and
// deleted in place.
#pragma once

#include <span>

#include "macros/macro_record.h"

namespace tvq {

class ActionList {
  public:
    static constexpr int kMax = static_cast<int>(layout::macro::kMaxActions);

    const MacroActions& actions() const { return actions_; }
    int count() const { return count_; }
    bool full() const { return count_ >= kMax; }
    MacroAction& at(int index) { return actions_[static_cast<std::size_t>(index)]; }
    const MacroAction& at(int index) const { return actions_[static_cast<std::size_t>(index)]; }
    bool contains(int index) const { return index >= 0 && index < count_; }
    // The same actions in the same order.
    bool operator==(const ActionList& other) const;

    // A stored macro's actions; a count outside 0..46 is brought inside.
    void assign(const MacroActions& actions, int count);
    void clear() { assign({}, 0); }
    // Inserts at `position` (kept inside 0..count); false when full.
    bool insert(int position, const MacroAction& action);
    // Swaps the actions at `from` and `to`; false when either is outside.
    bool swap(int from, int to);
    // Removes the action at `index`; false when there is none.
    bool erase(int index);
    // The weighted length the mouse counts (a long delay weighs more).
    int weightedLength() const {
        return tvq::weightedLength(std::span(actions_.data(), static_cast<std::size_t>(count_)));
    }

  private:
    MacroActions actions_{};
    int count_ = 0;
};

}  // namespace tvq

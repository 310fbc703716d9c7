#include "editing/action_list.h"

#include <algorithm>
#include <utility>

namespace tvq {

void ActionList::assign(const MacroActions& actions, int count) {
    actions_ = actions;
    count_ = std::clamp(count, 0, kMax);
}

bool ActionList::operator==(const ActionList& other) const {
    return count_ == other.count_ &&
           std::equal(actions_.begin(), actions_.begin() + count_, other.actions_.begin());
}

bool ActionList::insert(int position, const MacroAction& action) {
    if (full()) {
        return false;
    }
    position = std::clamp(position, 0, count_);
    for (int i = count_; i > position; --i) {
        at(i) = at(i - 1);
    }
    at(position) = action;
    ++count_;
    return true;
}

bool ActionList::swap(int from, int to) {
    if (!contains(from) || !contains(to)) {
        return false;
    }
    std::swap(at(from), at(to));
    return true;
}

bool ActionList::erase(int index) {
    if (!contains(index)) {
        return false;
    }
    for (int i = index; i < count_ - 1; ++i) {
        at(i) = at(i + 1);
    }
    at(count_ - 1) = MacroAction{};
    --count_;
    return true;
}

}  // namespace tvq

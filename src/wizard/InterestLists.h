#pragma once
// The three interest lists of step 4: the top interests (in the order they
// were added, which is their ranking), the interests not placed yet (new
// entries go to the end), and the low interests (kept in alphabetical order
// without regard to case, as a sorted list box keeps them). Together they
// always hold each of the 15 interests once; the top and the low list hold
// at most five each.

#include "character/Vocabulary.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tryster::wizard {

class InterestLists {
public:
    static constexpr int kNoSelection = -1;

    // Every interest not placed, in id order.
    InterestLists();

    const std::vector<std::string>& top() const { return top_; }
    const std::vector<std::string>& remaining() const { return remaining_; }
    const std::vector<std::string>& low() const { return low_; }

    // Each move takes the entry at `index` of its source list (nothing
    // moves for kNoSelection or an index past the end, nor into a full
    // list). Returns the entry's index in the list it went to, or
    // kNoSelection.
    int addTop(int remainingIndex);
    int removeTop(int topIndex);
    int addLow(int remainingIndex);
    int removeLow(int lowIndex);

    // Which of the four buttons may be pressed.
    bool canAddTop() const { return top_.size() < kTopInterestCount; }
    bool canRemoveTop() const { return !top_.empty(); }
    bool canAddLow() const { return low_.size() < kMaxLowInterests; }
    bool canRemoveLow() const { return !low_.empty(); }

    // Top entries from place 0, the remaining ones after them, the low ones
    // from place 14 down.
    std::array<std::int32_t, kInterestCount> ranking() const;

private:
    std::vector<std::string> top_, remaining_, low_;
};

}  // namespace tryster::wizard

#include "wizard/InterestLists.h"

#include "character/PlomData.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace tryster::wizard {
namespace {

bool validIndex(int index, const std::vector<std::string>& list) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

std::string take(std::vector<std::string>& list, int index) {
    std::string entry = std::move(list[static_cast<std::size_t>(index)]);
    list.erase(list.begin() + index);
    return entry;
}

int appended(std::vector<std::string>& list, std::string entry) {
    list.push_back(std::move(entry));
    return static_cast<int>(list.size()) - 1;
}

// Inserted after every entry that does not sort after it, so entries equal
// but for case keep the order they came in.
int inserted(std::vector<std::string>& list, std::string entry) {
    const auto at = std::upper_bound(
        list.begin(), list.end(), entry,
        [](const std::string& a, const std::string& b) { return platform::lessNoCase(a, b); });
    const auto index = at - list.begin();
    list.insert(at, std::move(entry));
    return static_cast<int>(index);
}

}  // namespace

InterestLists::InterestLists() : remaining_(kInterestNames.begin(), kInterestNames.end()) {}

int InterestLists::addTop(int remainingIndex) {
    if (!validIndex(remainingIndex, remaining_) || !canAddTop()) return kNoSelection;
    return appended(top_, take(remaining_, remainingIndex));
}

int InterestLists::removeTop(int topIndex) {
    if (!validIndex(topIndex, top_)) return kNoSelection;
    return appended(remaining_, take(top_, topIndex));
}

int InterestLists::addLow(int remainingIndex) {
    if (!validIndex(remainingIndex, remaining_) || !canAddLow()) return kNoSelection;
    return inserted(low_, take(remaining_, remainingIndex));
}

int InterestLists::removeLow(int lowIndex) {
    if (!validIndex(lowIndex, low_)) return kNoSelection;
    return appended(remaining_, take(low_, lowIndex));
}

std::array<std::int32_t, kInterestCount> InterestLists::ranking() const {
    return buildInterestRanking(top_, remaining_, low_);
}

}  // namespace tryster::wizard

#include "table/merge/KnownVersions.h"

#include "table/merge/ListMerge.h"

namespace taskwick {

void KnownVersions::add(const TaskTable& table, Origin origin) {
    auto copy = std::make_unique<TaskTable>();
    copy->takeContentOf(table);
    versions_.push_back(Version{std::move(copy), origin});
    while (versions_.size() > MaxVersions) {
        versions_.pop_front();
    }
}

const TaskTable& KnownVersions::latest() const {
    return versions_.empty() ? empty_ : *versions_.back().table;
}

const TaskTable& KnownVersions::baseForCopy(const TaskTable& copy) const {
    if (versions_.empty()) {
        return empty_;
    }
    // Newest first, so that of equally close versions the newest is taken.
    for (auto it = versions_.rbegin(); it != versions_.rend(); ++it) {
        if (it->origin != Origin::Saved || !sameList(*it->table, copy)) {
            continue;
        }
        for (auto before = it + 1; before != versions_.rend(); ++before) {
            if (before->origin != Origin::Saved) {
                return *before->table;
            }
        }
        return *versions_.front().table;
    }
    // Of equally close versions the oldest: where the copy's change meets one of ours, both
    // then stay in the cell rather than ours giving way.
    const Version* closest = &versions_.front();
    long long closestDistance = listDistance(copy, *closest->table);
    for (auto it = versions_.begin() + 1; it != versions_.end(); ++it) {
        if (const long long d = listDistance(copy, *it->table); d < closestDistance) {
            closest = &*it;
            closestDistance = d;
        }
    }
    return *closest->table;
}

}  // namespace taskwick

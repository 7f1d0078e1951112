#pragma once

#include "table/model/TaskTable.h"

#include <deque>
#include <memory>

namespace taskwick {

// The versions of the list this program has seen lately, oldest first: the one it read, the
// ones it saved and the ones it took in. A merge needs the version both sides last shared;
// these are where it is looked for.
class KnownVersions {
public:
    enum class Origin {
        Read,     // read at start, or the base a former run left
        Saved,    // written by this program
        TakenIn,  // written by someone else and taken in
    };
    static constexpr std::size_t MaxVersions = 8;

    // Keeps a copy of `table`'s content (the texts are shared, not copied).
    void add(const TaskTable& table, Origin origin);
    bool isEmpty() const { return versions_.empty(); }
    // The newest version; the table's default content when none is known.
    const TaskTable& latest() const;
    // The base to merge a copy of the list with (a sync tool's conflict copy, a rescue copy),
    // whose history is unknown. A copy this program saved itself brings the changes it made
    // since the version before its own saves; any other copy is taken to have grown from the
    // known version closest to it (the oldest of equally close ones).
    const TaskTable& baseForCopy(const TaskTable& copy) const;

private:
    struct Version {
        std::unique_ptr<TaskTable> table;
        Origin origin;
    };
    std::deque<Version> versions_;
    TaskTable empty_;
};

}  // namespace taskwick

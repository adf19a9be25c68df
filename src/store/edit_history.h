#pragma once
// The edit history of a store's three blocks, for undo and redo. The editors change the blocks in
// place, so the history keeps a copy of them as they were at the last step's end and, when a step
// ends, records the byte ranges that differ from it: their bytes before and after. Undo and redo
// write exactly those ranges back, so each costs what its step changed.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "store/bytes.h"
#include "store/data_store.h"

namespace tarvo {

// How much history is kept: the oldest steps go first once either bound is passed.
struct HistoryLimits {
    std::size_t steps = 1000;
    std::size_t bytes = std::size_t{64} << 20;  // the bytes before and after of all steps
};

class EditHistory {
public:
    explicit EditHistory(DataStore& store, HistoryLimits limits = {});

    // Ends the step in progress: when the blocks differ from the copy at the last step's end, the
    // differing ranges become one step named `label`, and the copy follows. False when nothing changed.
    // `name` is asked only when something changed, while boundary() still holds the step's base.
    bool commit(const std::function<std::string()>& name);
    bool commit(const std::string& label) {
        return commit([&label] { return label; });
    }
    // The blocks as at the last step's end: the base that the step in progress is named against.
    ConstGameBlocks boundary() const { return {m_copy[0], m_copy[1], m_copy[2]}; }

    // Undo and redo work at a step's end: commit the step in progress first. False when there is
    // no step to undo or redo.
    bool undo();
    bool redo();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The name of the step an undo or a redo would take back or make again; empty when none.
    std::string undoLabel() const;
    std::string redoLabel() const;

    // Forgets every step and takes the blocks as they are now (after a load, a reload or a restore).
    void clear();
    std::size_t stepCount() const { return m_steps.size(); }
    std::size_t byteCount() const { return m_bytes; }

private:
    struct Range {
        int block;  // 0 boot file, 1 parameter data, 2 select data
        std::size_t offset;
        Bytes before, after;
    };
    struct Step {
        std::string label;
        std::vector<Range> ranges;
        std::size_t bytes = 0;
    };
    // Whether the blocks are as long as the copy; when not, the history is cleared.
    bool sameSizes();
    void apply(const Step& step, bool forward);
    void keepWithinLimits();

    DataStore& m_store;
    HistoryLimits m_limits;
    Bytes m_copy[3];
    std::deque<Step> m_steps;
    std::size_t m_done = 0;  // the steps before this index are done, the others undone
    std::size_t m_bytes = 0;
};

}  // namespace tarvo

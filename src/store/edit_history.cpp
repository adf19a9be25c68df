#include "store/edit_history.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvo {

namespace {

// Differing bytes closer than this join one range: a range costs more than the few equal bytes.
constexpr std::size_t kMergeGap = 8;

std::array<MutableByteSpan, 3> blockList(const GameBlocks& b) { return {b.boot, b.parameter, b.select}; }

// The first byte at or after `from` where `now` differs from `was` (of the same size); the size
// when none. Equal stretches are passed a page at a time: most of the blocks never change.
std::size_t firstDifference(const Bytes& was, ByteSpan now, std::size_t from) {
    constexpr std::size_t kPage = 4096;
    while (from + kPage <= was.size() && std::memcmp(was.data() + from, now.data() + from, kPage) == 0) from += kPage;
    const auto at = static_cast<std::ptrdiff_t>(from);
    return static_cast<std::size_t>(std::mismatch(was.begin() + at, was.end(), now.begin() + at).first - was.begin());
}

}  // namespace

EditHistory::EditHistory(DataStore& store, HistoryLimits limits) : m_store(store), m_limits(limits) { clear(); }

void EditHistory::clear() {
    const auto blocks = blockList(m_store.blocks());
    for (std::size_t b = 0; b < blocks.size(); ++b) assignBytes(m_copy[b], blocks[b]);
    m_steps.clear();
    m_done = 0;
    m_bytes = 0;
}

bool EditHistory::sameSizes() {
    const auto blocks = blockList(m_store.blocks());
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        // Blocks of another length were loaded without a clear: no step fits them.
        if (blocks[b].size() != m_copy[b].size()) {
            clear();
            return false;
        }
    }
    return true;
}

bool EditHistory::commit(const std::function<std::string()>& name) {
    if (!sameSizes()) return false;
    const auto blocks = blockList(m_store.blocks());
    Step step;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const MutableByteSpan now = blocks[b];
        const Bytes& was = m_copy[b];
        std::size_t start = firstDifference(was, now, 0);
        while (start < was.size()) {
            std::size_t end = start + 1;  // one past the last differing byte of the range
            for (std::size_t k = end; k < was.size() && k < end + kMergeGap; ++k)
                if (was[k] != now[k]) end = k + 1;
            const auto at = static_cast<std::ptrdiff_t>(start), to = static_cast<std::ptrdiff_t>(end);
            step.ranges.push_back({static_cast<int>(b), start, Bytes(was.begin() + at, was.begin() + to),
                                   Bytes(now.begin() + at, now.begin() + to)});
            step.bytes += 2 * (end - start);
            start = firstDifference(was, now, end);
        }
    }
    if (step.ranges.empty()) return false;
    step.label = name();
    step.bytes += step.label.size();
    for (const Range& range : step.ranges)
        std::ranges::copy(range.after, m_copy[range.block].begin() + static_cast<std::ptrdiff_t>(range.offset));
    // A new step ends the way to the undone ones.
    while (m_steps.size() > m_done) {
        m_bytes -= m_steps.back().bytes;
        m_steps.pop_back();
    }
    m_bytes += step.bytes;
    m_steps.push_back(std::move(step));
    ++m_done;
    keepWithinLimits();
    return true;
}

void EditHistory::keepWithinLimits() {
    while (!m_steps.empty() && (m_steps.size() > m_limits.steps || m_bytes > m_limits.bytes)) {
        m_bytes -= m_steps.front().bytes;
        m_steps.pop_front();
        if (m_done > 0) --m_done;
    }
}

void EditHistory::apply(const Step& step, bool forward) {
    const auto blocks = blockList(m_store.blocks());
    for (const Range& range : step.ranges) {
        const Bytes& bytes = forward ? range.after : range.before;
        const auto at = static_cast<std::ptrdiff_t>(range.offset);
        std::ranges::copy(bytes, blocks[static_cast<std::size_t>(range.block)].begin() + at);
        std::ranges::copy(bytes, m_copy[range.block].begin() + at);
    }
}

bool EditHistory::undo() {
    if (!canUndo() || !sameSizes()) return false;
    --m_done;
    apply(m_steps[m_done], false);
    return true;
}

bool EditHistory::redo() {
    if (!canRedo() || !sameSizes()) return false;
    apply(m_steps[m_done], true);
    ++m_done;
    return true;
}

std::string EditHistory::undoLabel() const { return canUndo() ? m_steps[m_done - 1].label : std::string(); }

std::string EditHistory::redoLabel() const { return canRedo() ? m_steps[m_done].label : std::string(); }

}  // namespace tarvo

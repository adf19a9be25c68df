#pragma once
// Stored values that lie outside what the editor offers (another editor's, or the game's own) are
// shown as they are, never pulled into range: a number field's range widens to hold the value, and a
// list without an entry for a code gets one, "<code N>". Either is marked (another colour, a
// tooltip naming what the editor offers) while it lies outside. Showing writes nothing.

#include <optional>

#include <QString>

class QComboBox;
class QSpinBox;

namespace tarvo::gui {

// Shows `value` in a number field whose editor's range is min to max. Called again after each of
// the user's changes: the range goes back to the editor's, still holding what is shown, so that
// the arrows step from the stored value towards the range. Emits nothing.
void showNumberAsStored(QSpinBox* field, long long value, long long min, long long max, const QString& offered);
// Shows entry `entry` of a list; with no entry (-1) and a `code`, shows the code as an added last
// entry "<code N>". Any earlier added entry goes first. Emits nothing.
void showEntryAsStored(QComboBox* list, int entry, std::optional<long long> code, const QString& offered);
// After the user chose `entry`: an added "<code N>" entry that was not chosen goes, and so does
// its mark.
void dropUnlistedEntry(QComboBox* list, int entry);

}  // namespace tarvo::gui

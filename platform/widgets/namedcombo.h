// A drop-down list that a screen reader names by what it is for, whatever it holds. On Unix the
// toolkit reads out a combo box's current entry as its name (the colour list would be called
// 「黒」); a combo box marked here keeps its accessible name, and gives its entry as its value.
#pragma once

class QComboBox;

namespace NamedCombo {

/// Marks the combo box; its accessible name must be set.
void keepName(QComboBox *combo);

} // namespace NamedCombo

// The check before the document is handed off: when it holds characters readers may not see
// as written or lines past the width guide, the sender is asked once whether to send it as it is.
#pragma once

class MessageBox;
class TextBox;

namespace SendCheck {

/// Whether the document in the box may be handed off: true at once when nothing in it is asked
/// about, else the sender's answer. "戻って直す" puts the cursor at the first marked place.
bool mayHandOff(MessageBox &messageBox, TextBox &documentBox);

} // namespace SendCheck

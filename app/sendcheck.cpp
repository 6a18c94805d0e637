#include "sendcheck.h"

#include "messagebox.h"
#include "textbox.h"
#include "textmarker.h"

using namespace Qt::StringLiterals;

namespace SendCheck {

bool mayHandOff(MessageBox &messageBox, TextBox &documentBox)
{
    TextMarker *marker = TextMarker::of(&documentBox);
    const int guide = marker ? marker->guideWidth() : TextMarks::DefaultGuide;
    const TextMarks::Summary summary = TextMarks::summarize(documentBox.text(), guide);
    if (!summary.asks())
        return true;
    enum { Send, GoBack };
    const int answer = messageBox.ask(TextMarks::question(summary, guide),
                                      { u"送信する(&S)"_s, u"戻って直す(&B)"_s }, GoBack, GoBack);
    if (answer == Send)
        return true;
    if (marker)
        marker->showPlace(summary.firstAsked());
    return false;
}

} // namespace SendCheck

#include "textmarkermenu.h"

#include "linewrap.h"
#include "markdescriptions.h"
#include "plainforms.h"
#include "textbox.h"
#include "textmarker.h"

#include <QActionGroup>
#include <QMenu>
#include <QTextBlock>

using namespace Qt::StringLiterals;
using TextMarks::Kind;

namespace TextMarkerMenu {

namespace {

// The replacements of the marks of a kind in a line, in order; a halfwidth kana and its voiced
// mark are two marks and one replacement. Removals are left to the author, one at a time.
QList<PlainForms::Replacement> replacementsIn(const QString &line, Kind kind, int guide)
{
    QList<PlainForms::Replacement> found;
    for (const TextMarks::Mark &mark : TextMarks::markLine(line, guide)) {
        const auto r = mark.kind == kind ? PlainForms::at(line, mark.start) : std::nullopt;
        if (r && !r->removalOnly
            && (found.isEmpty() || r->start >= found.last().start + found.last().length))
            found << *r;
    }
    return found;
}

int replaceable(const QTextDocument *document, Kind kind, int guide)
{
    int count = 0;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next())
        count += int(replacementsIn(block.text(), kind, guide).size());
    return count;
}

// Only where the character has a plain form; "all" keeps to the clicked character's kind, so
// that the author replaces no more than what was pointed at and its like, and says how many.
void addReplacements(QMenu *menu, TextMarker *marker, const QTextDocument *document, int at)
{
    const QTextBlock block = document->findBlock(at);
    const QString line = block.text();
    const auto r = PlainForms::at(line, at - block.position());
    if (!r)
        return;
    const QStringView original = QStringView(line).sliced(r->start, r->length);
    const Kind kind = TextMarks::invisible(MarkDescriptions::codePointAt(line, r->start))
        ? Kind::Invisible
        : Kind::Uncarried;
    menu->addSeparator();
    QAction *one = menu->addAction(
        r->plain.isEmpty()
            ? u"「%1」を取り除く(&R)"_s.arg(MarkDescriptions::shown(original))
            : u"「%1」を「%2」に置き換える(&R)"_s.arg(MarkDescriptions::shown(original),
                                                      MarkDescriptions::shown(r->plain)));
    one->setObjectName(u"replaceMark"_s);
    QObject::connect(
        one, &QAction::triggered, marker,
        [marker, position = block.position() + int(r->start)] { marker->replaceAt(position); });
    const int count = replaceable(document, kind, marker->guideWidth());
    if (count == 0)
        return;
    QAction *all = menu->addAction(u"印の付いた %1 文字をすべて置き換える(&A)"_s.arg(count));
    all->setObjectName(u"replaceAllMarks"_s);
    QObject::connect(all, &QAction::triggered, marker,
                     [marker, kind] { marker->replaceAll(kind); });
}

void addGuides(QMenu *menu, TextMarker *marker)
{
    QMenu *guides = menu->addMenu(u"折り返しの幅(&G)"_s);
    guides->setObjectName(u"guideWidths"_s);
    auto group = new QActionGroup(guides);
    for (int columns : TextMarker::GuideChoices) {
        QAction *choice
            = guides->addAction(u"%1 桁（全角 %2 文字）"_s.arg(columns).arg(columns / 2));
        choice->setObjectName(u"guide%1"_s.arg(columns));
        choice->setCheckable(true);
        choice->setChecked(columns == marker->guideWidth());
        group->addAction(choice);
        QObject::connect(choice, &QAction::triggered, marker,
                         [marker, columns] { marker->setGuideWidth(columns); });
    }
}

} // namespace

void addEntries(QMenu *menu, TextMarker *marker, const TextBox *box, int at)
{
    const bool editable = !box->isReadOnly();
    if (at >= 0 && editable)
        addReplacements(menu, marker, box->document(), at);
    menu->addSeparator();
    addGuides(menu, marker);
    QAction *wrap = menu->addAction(u"選択範囲を折り返す(&W)"_s);
    wrap->setObjectName(u"wrapSelection"_s);
    wrap->setEnabled(editable);
    QObject::connect(wrap, &QAction::triggered, marker, &TextMarker::wrapSelection);
}

bool replaceAt(QTextDocument *document, int position)
{
    const QTextBlock block = document->findBlock(position);
    const auto r = PlainForms::at(block.text(), position - block.position());
    if (!r)
        return false;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.setPosition(block.position() + int(r->start));
    cursor.setPosition(block.position() + int(r->start + r->length), QTextCursor::KeepAnchor);
    cursor.insertText(r->plain);
    cursor.endEditBlock();
    return true;
}

int replaceAll(QTextDocument *document, Kind kind, int guide)
{
    QTextCursor cursor(document);
    int replaced = 0;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        const QList<PlainForms::Replacement> found = replacementsIn(block.text(), kind, guide);
        // From the line's end, so that the positions of those before stay.
        for (auto r = found.crbegin(); r != found.crend(); ++r) {
            if (replaced++ == 0)
                cursor.beginEditBlock();
            cursor.setPosition(block.position() + int(r->start));
            cursor.setPosition(block.position() + int(r->start + r->length),
                               QTextCursor::KeepAnchor);
            cursor.insertText(r->plain);
        }
    }
    if (replaced > 0)
        cursor.endEditBlock();
    return replaced;
}

void wrapLines(QTextDocument *document, const QTextCursor &selection, int guide)
{
    const QTextBlock first = document->findBlock(selection.selectionStart());
    QTextCursor cursor(document);
    bool editing = false;
    // A selection of whole lines ends at the start of the next one, which is not selected.
    int end = selection.selectionEnd();
    if (end > selection.selectionStart() && document->findBlock(end).position() == end)
        --end;
    // From the last line up, and each from its end: the breaks inserted move nothing still to
    // be wrapped.
    for (QTextBlock block = document->findBlock(end);
         block.isValid() && block.blockNumber() >= first.blockNumber(); block = block.previous()) {
        const QList<qsizetype> breaks = LineWrap::breaks(block.text(), guide);
        for (auto at = breaks.crbegin(); at != breaks.crend(); ++at) {
            if (!editing)
                cursor.beginEditBlock();
            editing = true;
            cursor.setPosition(block.position() + int(*at));
            // The break takes the place of the white space before it: no line ends in a space.
            while (cursor.positionInBlock() > 0
                   && (block.text().at(cursor.positionInBlock() - 1) == u' '
                       || block.text().at(cursor.positionInBlock() - 1) == QChar(0x3000)))
                cursor.deletePreviousChar();
            cursor.insertBlock();
        }
    }
    if (editing)
        cursor.endEditBlock();
}

} // namespace TextMarkerMenu

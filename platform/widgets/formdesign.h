// Windows built from a design table: each control with its kind, container, rectangle in
// twips, text, tooltip, font and colours, as the window's design lists them. Twips become
// logical pixels here and nowhere else.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QRgb>
#include <optional>
#include <span>

class QEvent;
class QWidget;

namespace FormDesign {

/// Design geometry is in twips: 1/1440 inch, 15 to a logical pixel at 96 dots per inch.
constexpr int TwipsPerPixel = 15;
constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}
constexpr QSize size(int widthTwips, int heightTwips)
{
    return { pixels(widthTwips), pixels(heightTwips) };
}

enum class Kind {
    Label, // sizes itself to its text, transparent background
    TextBox, // one line
    WrappingTextBox, // several lines, wrapped at the box's width, no scroll bars
    ScrollingTextBox, // several lines, not wrapped, both scroll bars
    ListBox, // single selection, none at start
    ComboBox, // drop-down list with an editable field, empty at start
    Button,
    Frame, // captioned group box
    Line, // horizontal rule: width is the run, height 0
};

enum class Font {
    Default, // the window's default font
    Gothic825, // the Japanese gothic face at 8.25 pt
    Gothic975, // the Japanese gothic face at 9.75 pt
};

struct Control
{
    const char *name;
    Kind kind;
    const char *container; // nullptr: the window itself
    int left, top, width, height; // twips, relative to the container
    const char16_t *text = u""; // caption or initial text
    const char16_t *toolTip = u"";
    Font font = Font::Default;
    std::optional<QRgb> background = {}; // none: the kind's standard colour
    std::optional<QRgb> foreground = {};
    Qt::Alignment alignment = Qt::AlignLeft; // labels only
};

/// The colours the windows' designs name, each defined once.
namespace Colour {
constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Grey = qRgb(192, 192, 192); // the main window's background
constexpr QRgb LightGrey = qRgb(224, 224, 224);
constexpr QRgb Yellow = qRgb(255, 255, 0);
constexpr QRgb PaleYellow = qRgb(255, 255, 192);
constexpr QRgb Peach = qRgb(255, 224, 192);
constexpr QRgb PaleCyan = qRgb(192, 255, 255);
constexpr QRgb Lavender = qRgb(192, 192, 255);
} // namespace Colour

/// What a screen reader calls a control that takes the focus: its heading, where it has one (a
/// label, which is then tied to it as its buddy, or a frame), or else what the control is.
struct AccessibleName
{
    const char *control;
    const char *heading; // nullptr: none
    const char16_t *name = u""; // where there is no heading
};

/// The window's default font: a proportional Japanese face at 9 points.
QFont defaultFont();
/// The Japanese gothic face at the given size, with installed look-alikes as fallbacks.
QFont gothicFont(qreal pointSize);

/// The design's light colours with window as the window's background, whatever the desktop's
/// colour scheme: black text on light fields and buttons, the frame of the signature dark enough
/// for its yellow caption. Set on a window before its controls are built.
QPalette designPalette(const QColor &window);
/// Gives window and everything on it Qt's Fusion style, whatever the desktop's widget style:
/// the design's small pixel sizes leave no room for the wider margins of other styles. The
/// toolkit's dialogs keep the desktop's style.
void useDesignStyle(QWidget *window);
/// Condenses the font of a one-line box until its text fits the box, whenever the text changes:
/// the date is wider in the fonts found on Linux than the box the design gives it.
void condenseToFit(QWidget *lineEdit);

/// Lets a one-line box take its keys straight, without the desktop's input method, and asks for
/// Latin letters: an address typed with a Japanese input method switched on would turn into
/// kana, and mozc under fcitx5 does not heed the Latin hints alone.
void typeLatin(QWidget *lineEdit);

/// Creates the controls of the table on form, in table order, each named after its entry.
void build(QWidget *form, std::span<const Control> controls);

/// Gives the controls of form their names for screen readers. Buttons are named by their
/// captions and described by their tooltips without this.
void nameControls(QWidget *form, std::span<const AccessibleName> names);

/// The control of form named name; it must exist.
QWidget *control(const QWidget *form, const char *name);

/// For a window without a maximise button, called from its changeEvent(): where one is drawn
/// anyway (Qt's own title bars on Wayland draw it whatever the window's flags say) or the window
/// system offers the command elsewhere, the window goes back to its size once the change is
/// through.
void undoMaximise(QWidget *window, QEvent *event);

/// Fills the widget's background with the button-shadow colour of its palette.
void fillWithShadow(QWidget *widget);

/// Moves a top-level window so that its frame is centred on its screen.
void centreOnScreen(QWidget *window);

} // namespace FormDesign

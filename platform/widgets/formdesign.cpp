#include "formdesign.h"

#include "button.h"
#include "combobox.h"
#include "textbox.h"

#include <QApplication>
#include <QGroupBox>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace FormDesign {

namespace {

// A rule drawn in the text colour, one pixel thick.
class LineControl final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawLine(0, 0, width(), 0);
    }
};

QStringList japaneseFaces()
{
    // IPAPGothic is drawn to the metrics of the face the layout was designed with.
    return { u"IPAPGothic"_s,   u"Noto Sans CJK JP"_s,    u"VL PGothic"_s,
             u"TakaoPGothic"_s, u"Droid Sans Japanese"_s, u"sans-serif"_s };
}

QWidget *create(const Control &c, QWidget *container)
{
    const QString text = QString::fromUtf16(c.text);
    switch (c.kind) {
    case Kind::Label: {
        auto label = new QLabel(text, container);
        label->setAlignment(c.alignment | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Kind::TextBox: {
        auto box = new QLineEdit(text, container);
        box->setMaxLength(std::numeric_limits<int>::max()); // no text box is limited
        box->setAlignment(c.alignment);
        return box;
    }
    case Kind::WrappingTextBox:
    case Kind::ScrollingTextBox: {
        auto box = new TextBox(c.kind == Kind::WrappingTextBox ? TextBox::Lines::Wrapping
                                                               : TextBox::Lines::Scrolling,
                               container);
        box->setText(text);
        return box;
    }
    case Kind::ListBox: {
        auto list = new QListWidget(container);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setTextElideMode(Qt::ElideNone); // entries wider than the box are cut, not elided
        return list;
    }
    case Kind::ComboBox: {
        auto combo = new ComboBox(container);
        combo->setEditable(true);
        // Typed text is used as it is: never added as an entry, never completed to one.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        combo->setEditText(text);
        return combo;
    }
    case Kind::Button:
        return new Button(text, c.background ? Button::Look::Plain : Button::Look::Style,
                          container);
    case Kind::Frame: {
        auto frame = new QGroupBox(text, container);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case Kind::Line:
        return new LineControl(container);
    }
    Q_UNREACHABLE();
}

void applyColours(QWidget *w, const Control &c)
{
    if (!c.background && !c.foreground)
        return;
    QPalette palette; // only the roles set here; the rest follow the window's
    const bool textual = c.kind != Kind::Label && c.kind != Kind::Frame && c.kind != Kind::Button
        && c.kind != Kind::Line;
    if (c.background) {
        const QColor bg = QColor::fromRgb(*c.background);
        if (c.kind == Kind::Button) {
            palette.setColor(QPalette::Button, bg);
        } else if (textual) {
            palette.setColor(QPalette::Base, bg);
        } else {
            palette.setColor(QPalette::Window, bg);
            w->setAutoFillBackground(true);
        }
    }
    if (c.foreground) {
        const QColor fg = QColor::fromRgb(*c.foreground);
        palette.setColor(
            textual ? QPalette::Text
                    : (c.kind == Kind::Button ? QPalette::ButtonText : QPalette::WindowText),
            fg);
    }
    w->setPalette(palette);
}

// Tells the input method that the box it watches takes no input method: QLineEdit answers
// that it does, whatever its WA_InputMethodEnabled says.
class NoInputMethod final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::InputMethodQuery)
            return false;
        auto query = static_cast<QInputMethodQueryEvent *>(event);
        watched->event(query); // the box's own answers, then the one changed here
        if (query->queries() & Qt::ImEnabled)
            query->setValue(Qt::ImEnabled, false);
        return true;
    }
};

// The narrowest a condensed font gets, in per cent of its width.
constexpr int NarrowestStretch = 50;

} // namespace

QPalette designPalette(const QColor &window)
{
    // Qt's own light colours, its palette on a desktop without a colour scheme, so that the
    // windows look there as they always did. Only the button shadow is darker: the signature's
    // frame is filled with it under a yellow caption, which needs a contrast of 4.5 : 1.
    struct Colours
    {
        QPalette::ColorRole role;
        QRgb enabled;
        QRgb disabled;
    };
    static constexpr Colours colours[] = {
        { QPalette::WindowText, 0xff000000, 0xffbebebe },
        { QPalette::Button, 0xffefefef, 0xffefefef },
        { QPalette::Light, 0xffffffff, 0xffffffff },
        { QPalette::Midlight, 0xffcacaca, 0xffcacaca },
        { QPalette::Dark, 0xff646464, 0xffbebebe },
        { QPalette::Mid, 0xffb8b8b8, 0xffb8b8b8 },
        { QPalette::Text, 0xff000000, 0xffbebebe },
        { QPalette::BrightText, 0xffffffff, 0xffffffff },
        { QPalette::ButtonText, 0xff000000, 0xffbebebe },
        { QPalette::Base, 0xffffffff, 0xffefefef },
        { QPalette::Shadow, 0xff767676, 0xffb1b1b1 },
        { QPalette::Highlight, 0xff308cc6, 0xff919191 },
        { QPalette::HighlightedText, 0xffffffff, 0xffffffff },
        { QPalette::Link, 0xff0000ff, 0xff0000ff },
        { QPalette::LinkVisited, 0xffff00ff, 0xffff00ff },
        { QPalette::AlternateBase, 0xfff7f7f7, 0xfff7f7f7 },
        { QPalette::NoRole, 0xff000000, 0xff000000 },
        { QPalette::ToolTipBase, 0xffffffdc, 0xffffffdc },
        { QPalette::ToolTipText, 0xff000000, 0xff000000 },
        { QPalette::PlaceholderText, 0x80000000, 0x80000000 },
    };
    QPalette result;
    for (const Colours &c : colours) {
        result.setColor(QPalette::Active, c.role, QColor::fromRgba(c.enabled));
        result.setColor(QPalette::Inactive, c.role, QColor::fromRgba(c.enabled));
        result.setColor(QPalette::Disabled, c.role, QColor::fromRgba(c.disabled));
    }
    result.setColor(QPalette::Window, window);
    return result;
}

void useDesignStyle(QWidget *window)
{
    if (QApplication::style()->name() == u"fusion"_s)
        return; // the desktop's style already is
    static QPointer<QStyle> fusion;
    if (!fusion) {
        fusion = QStyleFactory::create(u"Fusion"_s);
        fusion->setParent(qApp); // lives as long as the windows
    }
    window->setStyle(fusion);
    for (QWidget *w : window->findChildren<QWidget *>())
        w->setStyle(fusion);
}

void condenseToFit(QWidget *lineEdit)
{
    auto box = qobject_cast<QLineEdit *>(lineEdit);
    Q_ASSERT(box);
    const QFont natural = box->font();
    auto fit = [box, natural] {
        // The room QLineEdit gives its text: the style's contents rectangle less the text
        // margins, two pixels either side and one for the cursor.
        QStyleOptionFrame frame;
        frame.initFrom(box);
        frame.rect = box->rect();
        frame.lineWidth
            = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        frame.state |= QStyle::State_Sunken;
        const QMargins margins = box->textMargins();
        const int room
            = box->style()->subElementRect(QStyle::SE_LineEditContents, &frame, box).width()
            - margins.left() - margins.right() - 5;
        QFont font = natural;
        const auto width = [&] { return QFontMetricsF(font).horizontalAdvance(box->text()); };
        if (const qreal full = width(); full > room && room > 0) {
            int stretch = std::max(NarrowestStretch, int(std::floor(100 * room / full)));
            font.setStretch(stretch);
            while (width() > room && stretch > NarrowestStretch)
                font.setStretch(--stretch);
        }
        box->setFont(font);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, fit);
    fit();
}

void typeLatin(QWidget *lineEdit)
{
    lineEdit->setInputMethodHints(Qt::ImhEmailCharactersOnly | Qt::ImhPreferLatin);
    lineEdit->installEventFilter(new NoInputMethod(lineEdit));
}

QFont defaultFont()
{
    QFont font(japaneseFaces().first());
    font.setFamilies(japaneseFaces());
    font.setPointSizeF(9);
    return font;
}

QFont gothicFont(qreal pointSize)
{
    QStringList faces = japaneseFaces();
    faces.prepend(u"ＭＳ Ｐゴシック"_s);
    QFont font(faces.first());
    font.setFamilies(faces);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

void build(QWidget *form, std::span<const Control> controls)
{
    for (const Control &c : controls) {
        QWidget *container = c.container ? control(form, c.container) : form;

        QWidget *w = create(c, container);
        w->setObjectName(QString::fromLatin1(c.name));
        if (c.font == Font::Gothic825)
            w->setFont(gothicFont(8.25));
        else if (c.font == Font::Gothic975)
            w->setFont(gothicFont(9.75));
        if (*c.toolTip) {
            w->setToolTip(QString::fromUtf16(c.toolTip));
            w->setAccessibleDescription(w->toolTip());
        }
        applyColours(w, c);

        const int h = c.kind == Kind::Line ? 1 : pixels(c.height);
        w->setGeometry(pixels(c.left), pixels(c.top), pixels(c.width), h);
        if (c.kind == Kind::Label)
            w->adjustSize();
    }
}

void nameControls(QWidget *form, std::span<const AccessibleName> names)
{
    for (const AccessibleName &n : names) {
        QWidget *w = control(form, n.control);
        QString name = QString::fromUtf16(n.name);
        if (n.heading) {
            QWidget *heading = control(form, n.heading);
            if (auto label = qobject_cast<QLabel *>(heading)) {
                label->setBuddy(w);
                name = label->text();
            } else if (auto frame = qobject_cast<QGroupBox *>(heading)) {
                name = frame->title();
            }
        }
        w->setAccessibleName(name);
        // An editable combo box's edit field holds the focus for it, its list when it is open.
        if (auto combo = qobject_cast<QComboBox *>(w)) {
            const QList<QWidget *> parts { combo->lineEdit(), combo->view() };
            for (QWidget *part : parts) {
                if (part) {
                    part->setAccessibleName(name);
                    part->setAccessibleDescription(combo->accessibleDescription());
                }
            }
        }
    }
}

QWidget *control(const QWidget *form, const char *name)
{
    auto w = form->findChild<QWidget *>(QString::fromLatin1(name));
    if (!w) // a name missing from the design table is a mistake in the program itself
        qFatal("FormDesign::control: %s has no control named %s", qPrintable(form->objectName()),
               name);
    return w;
}

void fillWithShadow(QWidget *widget)
{
    QPalette shadow = widget->palette();
    shadow.setColor(QPalette::Window, shadow.color(QPalette::Dark));
    widget->setPalette(shadow);
    widget->setAutoFillBackground(true);
}

void undoMaximise(QWidget *window, QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && (window->windowState() & Qt::WindowMaximized)
        && !(window->windowFlags() & Qt::WindowMaximizeButtonHint)) {
        QMetaObject::invokeMethod(
            window,
            [window] { window->setWindowState(window->windowState() & ~Qt::WindowMaximized); },
            Qt::QueuedConnection);
    }
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->geometry().center());
    window->move(frame.topLeft());
}

} // namespace FormDesign

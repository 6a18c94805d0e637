#include "form2.h"

#include "clock.h"
#include "formdesign.h"
#include "maker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <future>

using namespace Qt::StringLiterals;

using FormDesign::Font;
using FormDesign::Kind;
using namespace FormDesign::Colour;

namespace {

// Labels draw no background of their own, so the picture shows through around the letters.
// Rectangles in twips. Label1's text is the maker's notice.
// clang-format off
constexpr FormDesign::Control Design[] = {
//  name      kind         container  left   top  width height  text                              tooltip  font           background  foreground  alignment
    {"Label2", Kind::Label, nullptr,    720,  480,  2280,  180, u"メールマガジン作成支援ソフト",  u"",      Font::Default, {},          PaleYellow, Qt::AlignLeft},
    {"Label1", Kind::Label, nullptr,   2160, 1680,  4080,  390, u"",                              u"",      Font::Default, {},          LightGrey,  Qt::AlignHCenter},
};
// clang-format on

constexpr int ClientWidth = 8340; // twips; the picture is 60 twips wider and is cut off
constexpr int ClientHeight = 2565;

// How long refresh() waits for the display server to put the window on the screen.
constexpr int ExposeTimeoutMs = 3000;

// The notice's face is a light condensed Western one; the look-alikes follow it. The stand-ins
// draw taller than that face: where the line of the face found does not fit the notice's box,
// the size comes down until it does, so that no descender or bracket is cut off.
QFont noticeFont(int boxHeight)
{
    const QStringList faces = { u"Abadi MT Condensed Light"_s,
                                u"Abadi MT Condensed"_s,
                                u"Arial Narrow"_s,
                                u"Liberation Sans Narrow"_s,
                                u"Nimbus Sans Narrow"_s,
                                u"DejaVu Sans Condensed"_s,
                                u"sans-serif"_s };
    QFont font(faces.first());
    font.setFamilies(faces);
    font.setPointSizeF(18);
    font.setWeight(QFont::Light);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    auto lineHeight = [&] {
        const QFontMetrics metrics(font);
        return metrics.ascent() + metrics.descent();
    };
    if (const int height = lineHeight(); height > boxHeight) { // first guess: in proportion
        font.setPixelSize(std::max(1, QFontInfo(font).pixelSize() * boxHeight / height));
        while (lineHeight() > boxHeight && font.pixelSize() > 1)
            font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

} // namespace

Form2::Form2(Clock &clock)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_clock(clock)
{
    // The picture is decoded on a thread of its own (here, if none can be started) while the
    // labels are laid out, which loads the font database: the window reaches the screen sooner.
    auto picture = std::async(std::launch::async | std::launch::deferred,
                              [] { return QImage(u":/splash.gif"_s); });
    setObjectName(u"Form2"_s);
    setWindowTitle(u"Zelvora"_s); // what the window list and assistive tools call it
    setFont(FormDesign::defaultFont());
    setPalette(FormDesign::designPalette(Qt::black));
    setFixedSize(FormDesign::size(ClientWidth, ClientHeight));

    FormDesign::build(this, Design);
    // The notice keeps its box whatever its length, centred in it.
    const FormDesign::Control &box = Design[1];
    auto label1 = findChild<QLabel *>(QString::fromLatin1(box.name));
    label1->setText(Maker::notice());
    label1->setGeometry(FormDesign::pixels(box.left), FormDesign::pixels(box.top),
                        FormDesign::pixels(box.width), FormDesign::pixels(box.height));
    label1->setFont(noticeFont(label1->height()));

    m_picture = QPixmap::fromImage(picture.get());
    FormDesign::centreOnScreen(this);
}

void Form2::show()
{
    QWidget::show();
}

void Form2::refresh()
{
    // On X11 a window that was just shown is not on the screen until the server has exposed
    // it, and what is painted before that is lost. Wait for the exposure without handling any
    // user input: clicks and keys stay queued until the start-up is over.
    QDeadlineTimer deadline(ExposeTimeoutMs);
    QTimer wakeUp; // ends the wait below even if no event ever comes
    wakeUp.setSingleShot(true);
    wakeUp.start(ExposeTimeoutMs);
    while (!(windowHandle() && windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                        | QEventLoop::WaitForMoreEvents);
    // Paints at once and hands the picture to the display server, so that the window stays
    // painted through the wait of the Unload handler, when no events are handled.
    repaint();
}

void Form2::unload()
{
    qint16 cancel = 0;
    unloadHandler(cancel);
    if (cancel != 0)
        return;
    hide();
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
    destroy();
}

// Holds the start-up until more than five seconds have passed. It polls the clock without
// pausing and handles no events, so the window keeps what refresh() painted and takes no input.
void Form2::unloadHandler(qint16 &cancel)
{
    Q_UNUSED(cancel);
    const double start = m_clock.seconds();
    while (m_clock.seconds() - start <= 5.0) { }
}

void Form2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // At its natural size from the top-left corner: the window is narrower than the picture.
    painter.drawPixmap(0, 0, m_picture);
}

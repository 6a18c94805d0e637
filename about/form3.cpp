#include "form3.h"

#include "errorhandling.h"
#include "formdesign.h"
#include "maker.h"
#include "shell.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

using FormDesign::Font;
using FormDesign::Kind;
using namespace FormDesign::Colour;

namespace {

// The window's controls; frames come before what they contain. Rectangles in twips. The
// captions of Command1 and Command2 are the maker's addresses, filled in from Maker.
// clang-format off
constexpr FormDesign::Control Design[] = {
//  name        kind         container  left   top   width height caption                                              tooltip                               font             background foreground alignment
    {"Frame1",  Kind::Frame, nullptr,    240,  240,  4575,  975, u"Zelvora  Version " ZELVORA_VERSION,                            u"",                                  Font::Default,   White},
    {"Label1",  Kind::Label, "Frame1",   120,  360,  3915,  165, u"動作システムの確認はWindows98SEのみ行っています。", u"",                                  Font::Gothic825},
    {"Line1",   Kind::Line,  "Frame1",   120,  720,  3840,    0},
    {"Frame2",  Kind::Frame, nullptr,    240, 1440,  4575, 1335, u"サポート情報",                                      u"",                                  Font::Default,   White},
    {"Command1",Kind::Button,"Frame2",   240,  360,  4095,  375, u"",                                                  u"Homepage  Go !!",                   Font::Default,   LightGrey},
    {"Command2",Kind::Button,"Frame2",   240,  840,  4095,  375, u"",                                                  u"標準メールハンドラ出でメールを送る", Font::Default,   LightGrey},
    {"Label2",  Kind::Label, nullptr,   1350, 3000,  2475,  180, u"",                                                  u"",                                  Font::Default,   {}, {}, Qt::AlignHCenter},
    {"Command3",Kind::Button,nullptr,   4200, 3120,   735,  255, u"OK",                                                u"閉じる",                            Font::Gothic825},
};

// The controls that take the focus, first to last.
constexpr const char *TabOrder[] = { "Command1", "Command2", "Command3" };
// clang-format on

} // namespace

Form3::Form3(const Services &services, QWidget *owner)
    : QDialog(owner)
    , m_services(services)
{
    Q_ASSERT(m_services.messageBox && m_services.shell && m_services.mail);

    // A fixed single border: title bar with the system menu and the close box, nothing else.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setObjectName(u"Form3"_s);
    setWindowTitle(u"バージョン情報"_s);
    setWindowIcon(QIcon(u":/form3.ico"_s));
    setFont(FormDesign::defaultFont());
    setPalette(FormDesign::designPalette(QColor::fromRgb(White)));
    setAutoFillBackground(true);

    FormDesign::build(this, Design);
    FormDesign::useDesignStyle(this);

    static_cast<QPushButton *>(control("Command1"))->setText(Maker::homepageAddress());
    static_cast<QPushButton *>(control("Command2"))->setText(Maker::supportAddress());

    // The notice sizes itself to its text from its design position.
    auto label2 = static_cast<QLabel *>(control("Label2"));
    label2->setText(Maker::notice());
    label2->adjustSize();

    for (size_t i = 1; i < std::size(TabOrder); ++i)
        setTabOrder(control(TabOrder[i - 1]), control(TabOrder[i]));

    m_mapiSession1 = m_services.mail->createSession();
    m_mapiMessages1 = m_services.mail->createMessages();

    onClick("Command1", &Form3::command1Click);
    onClick("Command2", &Form3::command2Click);
    onClick("Command3", &Form3::command3Click);

    setFixedSize(clientSize());
    FormDesign::centreOnScreen(this);
    control("Command1")->setFocus();

    ErrorHandling::runHandler(*m_services.messageBox, [this] { load(); });
}

Form3::~Form3() = default;

QSize Form3::clientSize()
{
    return FormDesign::size(5145, 3555);
}

// The window has no cancel button: Escape does not close it, only "OK" and the close box do.
void Form3::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

QWidget *Form3::control(const char *name) const
{
    return FormDesign::control(this, name);
}

void Form3::onClick(const char *name, void (Form3::*handler)())
{
    ErrorHandling::connectHandler(*m_services.messageBox, static_cast<QPushButton *>(control(name)),
                                  &QPushButton::clicked, this, handler);
}

// The homepage button always shows, and opens, the maker's current homepage.
void Form3::load()
{
    static_cast<QPushButton *>(control("Command1"))->setText(Maker::homepageAddress());
}

// Opens the homepage with the desktop's default program. Whether the shell managed to is not
// looked at: a missing browser is the desktop's business, not this window's.
void Form3::command1Click()
{
    const WId window = winId();
    const QString caption = static_cast<QPushButton *>(control("Command1"))->text();
    m_services.shell->shellExecute(window, QByteArrayLiteral("open"), caption.toLocal8Bit(),
                                   QByteArray(""), QByteArray(""), Shell::ShowNormal);
}

// Support mail: the user's mail client opens a message to the maker, and the user writes and
// sends it there. The first error is shown and the session signed off; an error of that
// sign-off is not trapped any more and goes to the top-level handling.
void Form3::command2Click()
{
    const auto error = ErrorHandling::trap([this] {
        m_mapiSession1->signOn();
        m_mapiMessages1->setSessionId(m_mapiSession1->sessionId());
        m_mapiMessages1->compose();
        m_mapiMessages1->setRecipDisplayName(Maker::supportDisplayName());
        m_mapiMessages1->setRecipAddress(Maker::supportAddress());
        m_mapiMessages1->send(true);
        m_mapiSession1->signOff();
    });
    if (!error)
        return;
    ErrorHandling::showWarning(*m_services.messageBox, *error);
    m_mapiSession1->signOff();
}

void Form3::command3Click()
{
    close();
}

#include "form1.h"

#include "catalogues.h"
#include "clock.h"
#include "commondialog.h"
#include "documentassembly.h"
#include "documentsender.h"
#include "errorhandling.h"
#include "form3.h"
#include "formdesign.h"
#include "launcher.h"
#include "menuitemname.h"
#include "notifier.h"
#include "recipientaddress.h"
#include "sendcheck.h"
#include "sentcopies.h"
#include "statusnote.h"
#include "textbox.h"
#include "textmarker.h"
#include "zelvoraversion.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

using FormDesign::Font;
using FormDesign::Kind;

namespace {

constexpr QRgb Peach = qRgb(255, 224, 192);
// The document box's initial text: it says where the document will be, and is no issue to send.
constexpr const char16_t *DocumentPlaceholder = u"作成した文書がこの欄に表示されます。";
// Sending the same document to the same address again within this time asks first.
constexpr qint64 ResendQuestionSeconds = 10 * 60;
constexpr QRgb LightGrey = qRgb(224, 224, 224);

// The window's controls, from the top of the window to the bottom. Rectangles in twips.
// clang-format off
constexpr FormDesign::Control Design[] = {
//  name        kind                    container  left   top   width height caption or initial text                tooltip                                  font              background  foreground               alignment
    {"Label1",  Kind::Label,            nullptr,    960,  360,   375,  180, u"始め",                                  u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Label3",  Kind::Label,            nullptr,   4035,  360,   945,  180, u"サブタイトル",                          u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Label2",  Kind::Label,            nullptr,   7440,  360,   525,  180, u"終わり",                                u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Frame1",  Kind::Frame,            nullptr,    120,  600,  8655,  735, u"ヘッタ部"},
    {"Command1",Kind::Button,           nullptr,   8880,  720,  1335,  375, u"始めに入力"},
    {"Text2",   Kind::TextBox,          nullptr,   2160,  810,  4575,  405, u"",                                      u"",                                     Font::Gothic975,  {}, {}, Qt::AlignHCenter},
    {"Text1",   Kind::TextBox,          nullptr,    240,  840,  1815,  270, u"",                                      u"",                                     Font::Gothic825,  {}, {}, Qt::AlignHCenter},
    {"Text3",   Kind::TextBox,          nullptr,   6840,  840,  1815,  270, u"",                                      u"",                                     Font::Gothic825,  {}, {}, Qt::AlignHCenter},
    {"Command2",Kind::Button,           nullptr,   8880, 1200,  1335,  375, u"終わりに入力"},
    {"Text4",   Kind::TextBox,          nullptr,    240, 1440,  5295,  270, u"Homepage  :"},
    {"Frame3",  Kind::Frame,            nullptr,   5760, 1560,  3015,  615, u"配信者サイン",                          u"",                                     Font::Default,    {}, qRgb(255, 255, 0)},
    {"List1",   Kind::ListBox,          nullptr,   8880, 1680,  1335, 1380, u"",                                      u"",                                     Font::Gothic825},
    {"Text5",   Kind::TextBox,          nullptr,    240, 1800,  5295,  270, u"E-mail    　 :"},
    {"Text11",  Kind::TextBox,          "Frame3",   120,  240,  2775,  270, u"V（＾0＾）毎度っ！　by - ",            u"配信者の署名を書くところです"},
    {"Text9",   Kind::TextBox,          nullptr,    240, 2280,   855,  270},
    {"Combo1",  Kind::ComboBox,         nullptr,   1080, 2280,  3135,  300, u"",                                      u"選択できます",                         Font::Default,    Peach},
    {"Label4",  Kind::Label,            nullptr,   4320, 2280,   735,  180, u"付加情報",                              u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Command7",Kind::Button,           nullptr,   5160, 2280,  1215,  255, u"入力支援"},
    {"Text6",   Kind::WrappingTextBox,  nullptr,    240, 2520,  8535,  615, u"",                                      u"日付や○月号等を入れるのもいいでしょう"},
    {"Label5",  Kind::Label,            nullptr,   4440, 3240,   495,  180, u"本　文",                                u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Text7",   Kind::ScrollingTextBox, nullptr,    240, 3480,  8415, 1455, u"",                                      u"本文を入力して下さい",                 Font::Gothic975,  qRgb(0, 0, 0), qRgb(255, 255, 0)},
    {"Command5",Kind::Button,           nullptr,   8760, 3480,  1455, 1335, u"全てクリアー",                          u"",                                     Font::Default,    LightGrey},
    {"Frame2",  Kind::Frame,            nullptr,    120, 5040,  8775,  615, u"フッタ部"},
    {"Combo2",  Kind::ComboBox,         nullptr,    240, 5280,  8535,  300, u"",                                      u"選択できます",                         Font::Default,    Peach},
    {"Text",    Kind::ScrollingTextBox, nullptr,    240, 5760,  6615, 2775, DocumentPlaceholder,                     u"作成文書は編集可能です"},
    {"Command3",Kind::Button,           nullptr,   6960, 5760,  1695,  375, u"作成文書の表示"},
    {"Command6",Kind::Button,           nullptr,   8760, 5760,  1455, 1335, u"(^0^)/~~see you !",                     u"",                                     Font::Default,    LightGrey},
    {"Command4",Kind::Button,           nullptr,   6960, 6240,  1695,  375, u"作成文書の消去"},
    {"Command8",Kind::Button,           nullptr,   6960, 6720,  1695,  375, u"フォント指定",                          u"",                                     Font::Default,    qRgb(192, 255, 255)},
    {"Label6",  Kind::Label,            nullptr,   6960, 7440,   540,  180, u"宛先名"},
    {"Label7",  Kind::Label,            nullptr,   8400, 7440,  1455,  180, u"宛先メールアドレス"},
    {"Text8",   Kind::TextBox,          nullptr,   6960, 7680,  1335,  270, u"",                                      u"",                                     Font::Gothic825},
    {"Text10",  Kind::TextBox,          nullptr,   8400, 7680,  1815,  270, u"",                                      u"",                                     Font::Gothic825},
    {"Command9",Kind::Button,           nullptr,   6960, 8040,  3255,  495, u"標準メールハンドラで メッセージ送信",   u"",                                     Font::Default,    qRgb(192, 192, 255)},
};

// The controls that take the focus, first to last.
constexpr const char *TabOrder[] = {
    "Text1", "List1", "Command1", "Text2", "Text3", "Command2", "Command3", "Command4",
    "Text4", "Text5", "Text6", "Text7", "Command6", "Text", "Text9", "Command7", "Text11",
    "Combo1", "Combo2", "Command9", "Command8", "Command5", "Text8", "Text10",
};
// What a screen reader calls each field: its heading, or what it holds where it has none; and
// the quit button, whose caption alone does not say what it does.
constexpr FormDesign::AccessibleName Names[] = {
    {"Text1", "Label1"}, {"Text2", "Label3"}, {"Text3", "Label2"}, {"Text6", "Label4"},
    {"Text7", "Label5"}, {"Text8", "Label6"}, {"Text10", "Label7"},
    {"Text11", "Frame3"}, {"Combo2", "Frame2"},
    {"List1", nullptr, u"飾り文字"}, {"Text4", nullptr, u"ホームページ"},
    {"Text5", nullptr, u"メールアドレス"}, {"Text9", nullptr, u"日付"},
    {"Combo1", nullptr, u"発行号"}, {"Text", nullptr, u"作成文書"},
    {"Command6", nullptr, u"終了 (^0^)/~~see you !"},
};
// clang-format on

// Cleared by "全てクリアー", in this order. The date box, the list's selection, the combo
// entries and the document box's font stay.
constexpr const char *ClearedByClearAll[] = {
    "Text1",  "Text2", "Text3",  "Text4",  "Text5",  "Text6", "Text7",
    "Text10", "Text8", "Text11", "Combo2", "Combo1", "Text",
};

// Flags of the font dialog: screen and printer fonts, with the effects group.
constexpr qint32 FontDialogFlags
    = CommonDialog::ScreenFonts | CommonDialog::PrinterFonts | CommonDialog::Effects;

// True for a document worth sending: not empty, not only white space, not the initial text.
bool isAnIssue(const QString &document)
{
    if (document == QStringView(DocumentPlaceholder))
        return false;
    return std::any_of(document.cbegin(), document.cend(), [](QChar c) { return !c.isSpace(); });
}

Error invalidPropertyValue()
{
    return Error { RuntimeError::InvalidPropertyValue, u"プロパティの値が不正です。"_s };
}

} // namespace

Form1::Form1(const Services &services, SplashFactory createSplash, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_createSplash(std::move(createSplash))
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Zelvora   Ver" ZELVORA_VERSION ""_s);
    // The design's 32-pixel icon, and the same sprouts at the other sizes a desktop asks for.
    QIcon icon(u":/form1.ico"_s);
    for (const QFileInfo &size : QDir(u":/icons"_s).entryInfoList())
        icon.addFile(size.filePath());
    setWindowIcon(icon);
    setFont(FormDesign::defaultFont());
    setPalette(FormDesign::designPalette(QColor(192, 192, 192)));

    auto client = new QWidget(this);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    FormDesign::build(client, Design);
    FormDesign::condenseToFit(control("Text9"));
    FormDesign::typeLatin(control("Text10")); // an address, whatever the input method types
    TextMarker::attach(static_cast<TextBox *>(control("Text")));

    // The frame around the signature is drawn in the button-shadow colour.
    auto frame3 = control("Frame3");
    QPalette shadow = frame3->palette();
    shadow.setColor(QPalette::Window, shadow.color(QPalette::Dark));
    frame3->setPalette(shadow);
    frame3->setAutoFillBackground(true);
    control("Text11")->setPalette(palette());

    // Frames lie behind the fields they surround; where fields overlap by a few twips the
    // issue-label combo and the input-support button are in front.
    for (const char *name : { "Frame1", "Frame2" })
        control(name)->lower();
    for (const char *name : { "Combo1", "Command7" })
        control(name)->raise();

    static_cast<QListWidget *>(control("List1"))->addItems(Catalogues::decorations());
    for (const auto &[name, entries] : { std::pair { "Combo1", Catalogues::issueLabels() },
                                         std::pair { "Combo2", Catalogues::closingLines() } }) {
        auto combo = static_cast<QComboBox *>(control(name));
        combo->addItems(entries);
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }

    for (size_t i = 1; i < std::size(TabOrder); ++i)
        setTabOrder(control(TabOrder[i - 1]), control(TabOrder[i]));
    FormDesign::nameControls(client, Names);

    createMenus();
    FormDesign::useDesignStyle(this);
    connectHandlers();

    // Over the bottom of the document box, beside the send button.
    m_sentNote = new StatusNote(client);
    m_sentNote->setGeometry(QRect(QPoint(FormDesign::pixels(240), FormDesign::pixels(8040)),
                                  FormDesign::size(6615, 495)));
    m_sentNote->setWordWrap(true);

    if (m_services.mail) {
        m_mapiSession1 = m_services.mail->createSession();
        m_mapiMessages1 = m_services.mail->createMessages();
    }

    // The client area has a fixed design size; resizing the window moves nothing.
    resize(clientSize().width(), clientSize().height() + menuBar()->sizeHint().height());
    FormDesign::centreOnScreen(this);
    control("Text1")->setFocus();
}

Form1::~Form1() = default;

// The window has no maximise button. Where one is drawn anyway (Qt's own title bars on Wayland
// draw it whatever the window's flags say) or the window system offers the command elsewhere,
// the window goes back to its size once the change is through.
void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)
        && !(windowFlags() & Qt::WindowMaximizeButtonHint)) {
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~Qt::WindowMaximized); },
            Qt::QueuedConnection);
    }
}

QSize Form1::clientSize()
{
    return FormDesign::size(10305, 8640);
}

void Form1::createMenus()
{
    QMenu *mnuFile = menuBar()->addMenu(u"Windows付属アプリの起動"_s);
    mnuFile->setObjectName(u"mnuFile"_s);
    QMenu *mnuHelp = menuBar()->addMenu(u"ヘルプ"_s);
    mnuHelp->setObjectName(u"mnuHelp"_s);

    const struct
    {
        QMenu *menu;
        const char *name;
        QString caption;
        void (Form1::*handler)();
    } items[] = {
        { mnuFile, "mnuHeee", QString(), nullptr },
        { mnuFile, "mnuDen", u"電卓"_s, &Form1::mnuDenClick },
        { mnuFile, "mnuMemo", u"メモ帳"_s, &Form1::mnuMemoClick },
        { mnuFile, "mnuFileExit", u"終了"_s, &Form1::unload },
        { mnuHelp, "mnuForm3", u"バージョン情報"_s, &Form1::mnuForm3Click },
    };
    for (const auto &item : items) {
        QAction *action = item.menu->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.handler)
            handle(action, item.handler);
    }
    // The blank first item does nothing; it is still read out as something.
    MenuItemName::set(findChild<QAction *>(u"mnuHeee"_s), u"空白（何もしません）"_s);
}

void Form1::connectHandlers()
{
    onClick("Command1", &Form1::command1Click);
    onClick("Command2", &Form1::command2Click);
    onClick("Command3", &Form1::command3Click);
    onClick("Command4", &Form1::command4Click);
    onClick("Command5", &Form1::command5Click);
    onClick("Command6", &Form1::unload);
    onClick("Command7", &Form1::command7Click);
    onClick("Command8", &Form1::command8Click);
    onClick("Command9", &Form1::command9Click);
}

void Form1::handle(QAction *action, void (Form1::*handler)())
{
    ErrorHandling::connectHandler(*m_services.messageBox, action, &QAction::triggered, this,
                                  handler);
}

void Form1::onClick(const char *name, void (Form1::*handler)())
{
    ErrorHandling::connectHandler(*m_services.messageBox, static_cast<QPushButton *>(control(name)),
                                  &QPushButton::clicked, this, handler);
}

QWidget *Form1::control(const char *name) const
{
    return FormDesign::control(centralWidget(), name);
}

QString Form1::textOf(const char *name) const
{
    return ControlText::text(control(name));
}

void Form1::setTextOf(const char *name, const QString &text)
{
    ControlText::setText(control(name), text);
}

void Form1::load()
{
    setTextOf("Text9",
              QLocale::system().toString(m_services.clock->currentDate(), QLocale::ShortFormat));
    std::unique_ptr<Splash> form2 = m_createSplash();
    form2->show();
    form2->refresh();
    form2->unload();
    form2.reset();
}

// "始めに入力": the chosen decoration starts the title line.
void Form1::command1Click()
{
    setTextOf("Text1", textOf("List1"));
}

// "終わりに入力": the chosen decoration ends the title line.
void Form1::command2Click()
{
    setTextOf("Text3", textOf("List1"));
}

// "作成文書の表示": the fields become the document.
void Form1::command3Click()
{
    DocumentFields fields;
    fields.startDecoration = textOf("Text1");
    fields.subtitle = textOf("Text2");
    fields.endDecoration = textOf("Text3");
    fields.homepageLine = textOf("Text4");
    fields.emailLine = textOf("Text5");
    fields.issueLine = textOf("Text6");
    fields.signature = textOf("Text11");
    fields.body = textOf("Text7");
    fields.closingLine = textOf("Combo2");
    setTextOf("Text", DocumentAssembly::assemble(fields));
}

// "作成文書の消去": empties the document box; the fields keep what the document was made of.
void Form1::command4Click()
{
    setTextOf("Text", QString());
}

// "全てクリアー"
void Form1::command5Click()
{
    for (const char *name : ClearedByClearAll)
        setTextOf(name, QString());
}

// "入力支援": the issue line becomes the date box's text and the issue label, on two lines.
void Form1::command7Click()
{
    const QString date = textOf("Text9");
    const QString label = textOf("Combo1");
    setTextOf("Text6", date + u"\r\n"_s + label);
}

// "フォント指定": the document box takes the font dialog's choice. A cancelled dialog reports
// the last accepted choice, so cancelling changes nothing.
void Form1::command8Click()
{
    CommonDialog &commonDialog1 = *m_services.fontDialog;
    commonDialog1.setFlags(FontDialogFlags);
    commonDialog1.showFont();

    QWidget *text = control("Text");
    QFont font = text->font();
    const FontChoice chosen = commonDialog1.font();
    if (chosen.name.isEmpty())
        throw invalidPropertyValue();
    font.setFamilies({ chosen.name });
    if (!(chosen.size >= CommonDialog::MinimumFontSize
          && chosen.size <= CommonDialog::MaximumFontSize))
        throw invalidPropertyValue();
    font.setPointSizeF(chosen.size);
    font.setBold(chosen.bold);
    font.setItalic(chosen.italic);
    font.setStrikeOut(chosen.strikethru);
    font.setUnderline(chosen.underline);
    if (chosen.colour > 0xFFFFFF)
        throw invalidPropertyValue();
    text->setFont(font);
    QPalette palette = text->palette();
    palette.setColor(QPalette::Text, FormDesign::colour(chosen.colour));
    text->setPalette(palette);
}

// "標準メールハンドラで メッセージ送信": signs on, sends the document as the box holds it now and
// signs off. A failure of the sending is shown in the warning box; sign-on and sign-off errors
// are not trapped here. An empty document, or the box's initial text, is not sent; a document
// with marked characters or long lines is sent only when the sender says so, and so is the same
// document to the same address a second time within ten minutes. A successful send is told
// without a click.
void Form1::command9Click()
{
    const OutgoingDocument document { textOf("Text8"), textOf("Text10"), textOf("Text") };
    if (!isAnIssue(document.body)) {
        ErrorHandling::showWarning(
            *m_services.messageBox,
            Error { MapiError::InvalidMessage,
                    u"送信する文書がありません。「作成文書の表示」で文書を作ってから、"
                    u"もう一度送信してください。メールは送られていません。"_s });
        return;
    }
    if (!SendCheck::mayHandOff(*m_services.messageBox, *static_cast<TextBox *>(control("Text"))))
        return;
    if (!confirmSendingAgain(document.body, document.recipientAddress))
        return;
    bool failed = false;
    DocumentSender::send(*m_mapiSession1, *m_mapiMessages1, document,
                         [this, &failed](const Error &error) {
                             failed = true;
                             ErrorHandling::showWarning(*m_services.messageBox, error);
                         });
    if (failed)
        return;
    m_lastSent = { document.body, document.recipientAddress, m_services.clock->currentDateTime() };
    tellSent(document.recipientName, document.recipientAddress);
}

// A list server sends every issue on to all its subscribers: a second copy cannot be called back.
bool Form1::confirmSendingAgain(const QString &document, const QString &address)
{
    const QDateTime now = m_services.clock->currentDateTime();
    if (!m_lastSent.at.isValid() || m_lastSent.document != document || m_lastSent.address != address
        || m_lastSent.at > now || m_lastSent.at.secsTo(now) >= ResendQuestionSeconds)
        return true;
    enum { Yes, No };
    const QString question
        = u"この文書は %1 に同じ宛先へ送信済みです。もう一度送信しますか？"_s.arg(
            m_lastSent.at.toString(u"HH:mm"_s));
    return m_services.messageBox->ask(question, { u"はい"_s, u"いいえ"_s }, No, No) == Yes;
}

// A desktop notification; where no notification service answers, a note beside the send button.
void Form1::tellSent(const QString &name, const QString &address)
{
    const QString time = m_services.clock->currentDateTime().toString(u"HH:mm"_s);
    const QString recipient = RecipientAddress::mailbox(name, address);
    QString said
        = u"%1 に %2 宛てのメールを送信しました（メール転送プログラムに渡しました）。"_s.arg(
            time, recipient);
    if (m_services.sentCopies && !m_services.sentCopies->lastFailure().isEmpty())
        said += u"控えは保存できませんでした: "_s + m_services.sentCopies->lastFailure();
    QPointer<Form1> window(this);
    const auto note = [window, said] {
        if (window)
            window->m_sentNote->say(said);
    };
    if (m_services.notifier)
        m_services.notifier->notify(u"メールマガジンを送信しました"_s, said, note);
    else
        note();
}

void Form1::mnuDenClick()
{
    m_services.launcher->start(u"calc.exe"_s, Launcher::NormalFocus);
}

void Form1::mnuMemoClick()
{
    m_services.launcher->start(u"NOTEPAD.EXE"_s, Launcher::NormalFocus);
}

// "バージョン情報": a new version window each time, modal over this one.
void Form1::mnuForm3Click()
{
    Form3 form3(m_services, this);
    form3.exec();
}

// Closing the main window ends the program without a question; the session keeper (main())
// keeps the work.
void Form1::unload()
{
    close();
}

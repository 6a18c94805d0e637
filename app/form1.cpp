#include "form1.h"

#include "catalogues.h"
#include "clearall.h"
#include "clock.h"
#include "commondialog.h"
#include "documentassembly.h"
#include "errorhandling.h"
#include "fontchoices.h"
#include "form3.h"
#include "formdesign.h"
#include "issuesender.h"
#include "launcher.h"
#include "magazine.h"
#include "menuitemname.h"
#include "nextissue.h"
#include "roles.h"
#include "sessionkeeper.h"
#include "statusnote.h"
#include "textbox.h"
#include "textmarker.h"
#include "undonote.h"
#include "zelvoraversion.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

using FormDesign::Font;
using FormDesign::Kind;
using namespace FormDesign::Colour;

namespace {

// The document box's initial text: it says where the document will be, and is no issue to send.
constexpr const char16_t *DocumentPlaceholder = u"作成した文書がこの欄に表示されます。";

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
    {"Frame3",  Kind::Frame,            nullptr,   5760, 1560,  3015,  615, u"配信者サイン",                          u"",                                     Font::Default,    {}, Yellow     },
    {"List1",   Kind::ListBox,          nullptr,   8880, 1680,  1335, 1380, u"",                                      u"",                                     Font::Gothic825},
    {"Text5",   Kind::TextBox,          nullptr,    240, 1800,  5295,  270, u"E-mail    　 :"},
    {"Text11",  Kind::TextBox,          "Frame3",   120,  240,  2775,  270, Catalogues::InitialSignature,             u"配信者の署名を書くところです"},
    {"Text9",   Kind::TextBox,          nullptr,    240, 2280,   855,  270},
    {"Combo1",  Kind::ComboBox,         nullptr,   1080, 2280,  3135,  300, u"",                                      u"選択できます",                         Font::Default,    Peach},
    {"Label4",  Kind::Label,            nullptr,   4320, 2280,   735,  180, u"付加情報",                              u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Command7",Kind::Button,           nullptr,   5160, 2280,  1215,  255, u"入力支援"},
    {"Text6",   Kind::WrappingTextBox,  nullptr,    240, 2520,  8535,  615, u"",                                      u"日付や○月号等を入れるのもいいでしょう"},
    {"Label5",  Kind::Label,            nullptr,   4440, 3240,   495,  180, u"本　文",                                u"",                                     Font::Default,    {}, {}, Qt::AlignHCenter},
    {"Text7",   Kind::ScrollingTextBox, nullptr,    240, 3480,  8415, 1455, u"",                                      u"本文を入力して下さい",                 Font::Gothic975,  Black,         Yellow     },
    {"Command5",Kind::Button,           nullptr,   8760, 3480,  1455, 1335, u"全てクリアー",                          u"",                                     Font::Default,    LightGrey},
    {"Frame2",  Kind::Frame,            nullptr,    120, 5040,  8775,  615, u"フッタ部"},
    {"Combo2",  Kind::ComboBox,         nullptr,    240, 5280,  8535,  300, u"",                                      u"選択できます",                         Font::Default,    Peach},
    {"Text",    Kind::ScrollingTextBox, nullptr,    240, 5760,  6615, 2775, DocumentPlaceholder,                     u"作成文書は編集可能です"},
    {"Command3",Kind::Button,           nullptr,   6960, 5760,  1695,  375, u"作成文書の表示"},
    {"Command6",Kind::Button,           nullptr,   8760, 5760,  1455, 1335, u"(^0^)/~~see you !",                     u"",                                     Font::Default,    LightGrey},
    {"Command4",Kind::Button,           nullptr,   6960, 6240,  1695,  375, u"作成文書の消去"},
    {"Command8",Kind::Button,           nullptr,   6960, 6720,  1695,  375, u"フォント指定",                          u"",                                     Font::Default,    PaleCyan},
    {"Label6",  Kind::Label,            nullptr,   6960, 7440,   540,  180, u"宛先名"},
    {"Label7",  Kind::Label,            nullptr,   8400, 7440,  1455,  180, u"宛先メールアドレス"},
    {"Text8",   Kind::TextBox,          nullptr,   6960, 7680,  1335,  270, u"",                                      u"",                                     Font::Gothic825},
    {"Text10",  Kind::TextBox,          nullptr,   8400, 7680,  1815,  270, u"",                                      u"",                                     Font::Gothic825},
    {"Command9",Kind::Button,           nullptr,   6960, 8040,  3255,  495, u"標準メールハンドラで メッセージ送信",   u"",                                     Font::Default,    Lavender},
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
    Role::StartDecoration, Role::Subtitle,  Role::EndDecoration, Role::HomepageLine,
    Role::EmailLine,       Role::IssueLine, Role::Body,          Role::RecipientAddress,
    Role::RecipientName,   Role::Signature, Role::ClosingLine,   Role::IssueLabel,
    Role::Document,
};

// Flags of the font dialog: screen and printer fonts, with the effects group.
constexpr qint32 FontDialogFlags
    = CommonDialog::ScreenFonts | CommonDialog::PrinterFonts | CommonDialog::Effects;

Error invalidPropertyValue()
{
    return RuntimeError::error(RuntimeError::InvalidPropertyValue);
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
    setPalette(FormDesign::designPalette(QColor(Grey)));

    auto client = new QWidget(this);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    buildControls(client);
    fillCatalogues();
    createMenus();
    FormDesign::useDesignStyle(this);
    connectHandlers();

    // Over the bottom of the document box, beside the send button.
    const QRect notes(QPoint(FormDesign::pixels(240), FormDesign::pixels(8040)),
                      FormDesign::size(6615, 495));
    auto sentNote = new StatusNote(client);
    sentNote->setGeometry(notes);
    sentNote->setWordWrap(true);
    auto clearedNote = new UndoNote(u"元に戻す(&U)"_s, client);
    clearedNote->setGeometry(notes);
    m_clearAll = new ClearAll(*client, ClearedByClearAll, *clearedNote);
    connect(m_clearAll, &ClearAll::aboutToClear, this, &Form1::clearedAll);
    connect(m_clearAll, &ClearAll::settled, this, &Form1::clearAllSettled);
    if (m_services.mail)
        m_sender = std::make_unique<IssueSender>(
            m_services, *documentBox(), QString::fromUtf16(DocumentPlaceholder), *sentNote);
    if (m_sender && m_services.sentCopies && m_services.senderSettings) {
        auto magazine = new Magazine(m_services,
                                     { client, m_clearAll, QString::fromUtf16(DocumentPlaceholder),
                                       [this] { return holdsUnsentWork(); },
                                       [this](const OutgoingDocument &d) { sendDocument(d); } },
                                     this);
        magazine->addMenu(menuBar());
        connect(magazine, &Magazine::issueStarted, this, [this] { m_madeFrom.reset(); });
    }

    // The client area has a fixed design size; resizing the window moves nothing.
    resize(clientSize().width(), clientSize().height() + menuBar()->sizeHint().height());
    FormDesign::centreOnScreen(this);
    control(Role::StartDecoration)->setFocus();
}

void Form1::buildControls(QWidget *client)
{
    FormDesign::build(client, Design);
    FormDesign::condenseToFit(control(Role::DateBox));
    FormDesign::typeLatin(control(Role::RecipientAddress)); // an address, whatever is typed with
    TextMarker::attach(documentBox());
    TextMarker::attach(static_cast<TextBox *>(control(Role::Body)));

    // The frame around the signature is drawn in the button-shadow colour.
    FormDesign::fillWithShadow(control(Role::SignatureFrame));
    control(Role::Signature)->setPalette(palette());

    // Frames lie behind the fields they surround; where fields overlap by a few twips the
    // issue-label combo and the input-support button are in front.
    for (const char *name : { "Frame1", "Frame2" })
        control(name)->lower();
    for (const char *name : { Role::IssueLabel, Role::FillIssueLine })
        control(name)->raise();

    for (size_t i = 1; i < std::size(TabOrder); ++i)
        setTabOrder(control(TabOrder[i - 1]), control(TabOrder[i]));
    FormDesign::nameControls(client, Names);
}

void Form1::fillCatalogues()
{
    static_cast<QListWidget *>(control(Role::Decorations))->addItems(Catalogues::decorations());
    for (const auto &[name, entries] :
         { std::pair { Role::IssueLabel, Catalogues::issueLabels() },
           std::pair { Role::ClosingLine, Catalogues::closingLines() } }) {
        auto combo = static_cast<QComboBox *>(control(name));
        combo->addItems(entries);
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

Form1::~Form1() = default;

// The window has no maximise button, and is never maximised.
void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    FormDesign::undoMaximise(this, event);
}

void Form1::sessionRestored()
{
    m_madeFrom = fields();
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
    onClick(Role::PutAtStart, &Form1::command1Click);
    onClick(Role::PutAtEnd, &Form1::command2Click);
    onClick(Role::ShowDocument, &Form1::command3Click);
    onClick(Role::EraseDocument, &Form1::command4Click);
    onClick(Role::ClearAll, &Form1::command5Click);
    onClick(Role::Quit, &Form1::unload);
    onClick(Role::FillIssueLine, &Form1::command7Click);
    onClick(Role::ChooseFont, &Form1::command8Click);
    onClick(Role::Send, &Form1::command9Click);
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

TextBox *Form1::documentBox() const
{
    return static_cast<TextBox *>(control(Role::Document));
}

void Form1::replaceDocument(const QString &text)
{
    documentBox()->replaceText(text);
    documentBox()->moveCursor(QTextCursor::Start);
}

void Form1::load()
{
    setTextOf(Role::DateBox, NextIssue::dateText(m_services.clock->currentDate()));
    std::unique_ptr<Splash> form2 = m_createSplash();
    form2->show();
    form2->refresh();
    form2->unload();
    form2.reset();
}

// "始めに入力": the chosen decoration starts the title line.
void Form1::command1Click()
{
    setTextOf(Role::StartDecoration, textOf(Role::Decorations));
}

// "終わりに入力": the chosen decoration ends the title line.
void Form1::command2Click()
{
    setTextOf(Role::EndDecoration, textOf(Role::Decorations));
}

DocumentFields Form1::fields() const
{
    DocumentFields fields;
    fields.startDecoration = textOf(Role::StartDecoration);
    fields.subtitle = textOf(Role::Subtitle);
    fields.endDecoration = textOf(Role::EndDecoration);
    fields.homepageLine = textOf(Role::HomepageLine);
    fields.emailLine = textOf(Role::EmailLine);
    fields.issueLine = textOf(Role::IssueLine);
    fields.signature = textOf(Role::Signature);
    fields.body = textOf(Role::Body);
    fields.closingLine = textOf(Role::ClosingLine);
    return fields;
}

// "作成文書の表示": the fields become the document, as one edit the document box can undo.
void Form1::command3Click()
{
    m_madeFrom = fields();
    replaceDocument(DocumentAssembly::assemble(*m_madeFrom));
}

// "作成文書の消去": empties the document box, as one edit it can undo; the fields keep what the
// document was made of.
void Form1::command4Click()
{
    replaceDocument(QString());
}

// "全てクリアー": empties the fields and the document, which 元に戻す brings back until the next
// change.
void Form1::command5Click()
{
    m_clearAll->clear();
}

// "入力支援": the issue line becomes the date box's text and the issue label, on two lines.
void Form1::command7Click()
{
    const QString date = textOf(Role::DateBox);
    const QString label = textOf(Role::IssueLabel);
    setTextOf(Role::IssueLine, date + u"\r\n"_s + label);
}

// "フォント指定": the document box takes the font dialog's choice. A cancelled dialog reports
// the last accepted choice, so cancelling changes nothing.
void Form1::command8Click()
{
    CommonDialog &commonDialog1 = *m_services.fontDialog;
    commonDialog1.setFlags(FontDialogFlags);
    commonDialog1.showFont();

    const FontChoice chosen = commonDialog1.font();
    if (chosen.name().isEmpty())
        throw invalidPropertyValue();
    if (!(chosen.size >= CommonDialog::MinimumFontSize
          && chosen.size <= CommonDialog::MaximumFontSize))
        throw invalidPropertyValue();
    if (chosen.colour > 0xFFFFFF)
        throw invalidPropertyValue();
    FontChoices::apply(documentBox(), chosen);
}

// "標準メールハンドラで メッセージ送信": sends the document as the box holds it now, unless
// IssueSender refuses it or the author says no; sign-on and sign-off errors are not trapped here.
void Form1::command9Click()
{
    sendDocument(outgoing());
}

OutgoingDocument Form1::outgoing() const
{
    return { textOf(Role::RecipientName), textOf(Role::RecipientAddress), textOf(Role::Document) };
}

// Beside the copy of an issue the window's fields are kept, for the next issue to start from.
void Form1::sendDocument(const OutgoingDocument &document)
{
    m_sender->send(document, m_madeFrom, fields(),
                   SessionKeeper::collect(*centralWidget()).toBytes());
}

// Work the author would lose: a document or a body not sent yet, or fields changed since the
// document sent was made.
bool Form1::holdsUnsentWork() const
{
    const OutgoingDocument now = outgoing();
    const bool written = !now.body.isEmpty() && now.body != DocumentPlaceholder;
    if (written && m_sender->wasSent(now))
        return m_madeFrom && !SendGuard::changedFields(*m_madeFrom, fields()).isEmpty();
    return written || !textOf(Role::Body).isEmpty();
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

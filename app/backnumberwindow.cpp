#include "backnumberwindow.h"

#include "shell.h"
#include "textbox.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace {

constexpr int FileRole = Qt::UserRole;
constexpr int ProblemRole = Qt::UserRole + 1;
// A longer issue is shown by its beginning: its text is laid out on the user-interface thread.
constexpr qint64 ShownBytes = 4 * 1024 * 1024;

// Reads the copies newest first, one line's worth of each, until the window goes.
void list(QPromise<Backnumbers::Summary> &promise, const QString &folder)
{
    for (const QString &file : Backnumbers::files(folder)) {
        if (promise.isCanceled())
            return;
        promise.addResult(Backnumbers::summary(file));
    }
}

QString rowText(const Backnumbers::Summary &summary)
{
    const QString when = summary.at.toString(u"yyyy/MM/dd HH:mm"_s);
    if (!summary.problem.isEmpty())
        return u"%1　（読めません: %2）　%3"_s.arg(when, summary.problem,
                                                   summary.file.section(u'/', -1));
    QStringList parts { when, summary.recipient, summary.issue, summary.firstLine };
    parts.removeAll(QString());
    return parts.join(u"　"_s);
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

BacknumberWindow::BacknumberWindow(QString folder, Shell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_folder(std::move(folder))
    , m_shell(shell)
    , m_list(new QListWidget)
    , m_text(new TextBox(TextBox::Lines::Scrolling))
    , m_status(new QLabel)
    , m_next(button(u"この号から次号を作る(&N)"_s, this))
    , m_openCopy(button(u"メールソフトで開く(&O)"_s, this))
{
    setObjectName(u"BacknumberWindow"_s);
    setWindowTitle(u"バックナンバー - Zelvora"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(u"issues"_s);
    m_list->setAccessibleName(u"送信した号（新しい順）"_s);
    m_list->setUniformItemSizes(true); // thousands of rows are laid out at once
    m_text->setObjectName(u"issueText"_s);
    m_text->setAccessibleName(u"選択した号の本文"_s);
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setTabChangesFocus(true);
    m_status->setObjectName(u"status"_s);
    auto *openFolder = button(u"フォルダを開く(&F)"_s, this);
    m_next->setObjectName(u"nextIssue"_s);
    m_openCopy->setObjectName(u"openCopy"_s);
    openFolder->setObjectName(u"openFolder"_s);

    auto *split = new QSplitter;
    split->addWidget(m_list);
    split->addWidget(m_text);
    split->setSizes({ 420, 520 });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    for (QPushButton *b : { m_next, m_openCopy, openFolder })
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(960, 560);
    setTabOrder(m_list, m_text);
    setTabOrder(m_text, m_next);

    connect(m_list, &QListWidget::currentRowChanged, this, &BacknumberWindow::showSelected);
    connect(m_next, &QPushButton::clicked, this,
            [this] { Q_EMIT nextIssueRequested(selectedFile()); });
    connect(m_openCopy, &QPushButton::clicked, this, [this] { open(selectedFile()); });
    connect(openFolder, &QPushButton::clicked, this, [this] { open(m_folder); });
    connect(&m_listing, &QFutureWatcherBase::resultsReadyAt, this, &BacknumberWindow::addRows);
    connect(&m_listing, &QFutureWatcherBase::finished, this, &BacknumberWindow::finishListing);
    connect(&m_reading, &QFutureWatcherBase::finished, this, [this] {
        if (m_readingFile != selectedFile() || m_reading.future().resultCount() == 0)
            return;
        const Backnumbers::Issue issue = m_reading.result();
        m_text->setText(issue.text);
        if (!issue.problem.isEmpty())
            m_status->setText(u"この号は読めませんでした: "_s + issue.problem);
        else if (issue.cut)
            m_status->setText(u"長い号なので、先頭の %1 MiB だけを表示しています。"_s.arg(
                ShownBytes / (1024 * 1024)));
        Q_EMIT shown();
    });
    // A window to glance at: Escape closes it, as Ctrl+W does in other programs.
    for (const QKeySequence &keys :
         { QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close) })
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    m_list->setFocus();
    reload();
}

BacknumberWindow::~BacknumberWindow()
{
    m_listing.cancel();
}

void BacknumberWindow::reload()
{
    m_listing.cancel();
    m_list->clear();
    m_text->setText(QString());
    m_unreadable = 0;
    m_status->setText(u"読み込んでいます…"_s);
    m_listing.setFuture(QtConcurrent::run(&list, m_folder));
}

QString BacknumberWindow::selectedFile() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(FileRole).toString() : QString();
}

void BacknumberWindow::addRows(int begin, int end)
{
    for (int i = begin; i < end; ++i) {
        const Backnumbers::Summary summary = m_listing.resultAt(i);
        auto *item = new QListWidgetItem(rowText(summary), m_list);
        item->setData(FileRole, summary.file);
        item->setData(ProblemRole, summary.problem);
        m_unreadable += summary.problem.isEmpty() ? 0 : 1;
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void BacknumberWindow::finishListing()
{
    if (m_listing.isCanceled())
        return;
    if (m_list->count() == 0)
        m_status->setText(u"送信した号はまだありません。"_s);
    else if (m_unreadable > 0)
        m_status->setText(
            u"%1 号（うち %2 件は読めませんでした）"_s.arg(m_list->count()).arg(m_unreadable));
    else
        m_status->setText(u"%1 号"_s.arg(m_list->count()));
    Q_EMIT listed();
}

void BacknumberWindow::showSelected()
{
    const QListWidgetItem *item = m_list->currentItem();
    const bool readable = item && item->data(ProblemRole).toString().isEmpty();
    m_next->setEnabled(readable);
    m_openCopy->setEnabled(item != nullptr);
    m_text->setText(readable || !item
                        ? QString()
                        : u"この号は読めません: "_s + item->data(ProblemRole).toString());
    if (!readable)
        return;
    m_readingFile = selectedFile();
    m_reading.setFuture(
        QtConcurrent::run([file = m_readingFile] { return Backnumbers::read(file, ShownBytes); }));
}

void BacknumberWindow::open(const QString &path)
{
    if (!path.isEmpty())
        m_shell.shellExecute(0, "open", QFile::encodeName(path), {}, {}, Shell::ShowNormal);
}

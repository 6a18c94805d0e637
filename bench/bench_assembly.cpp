// Assembling a large issue and showing it in the document box, against Qt's own cost of
// putting the same text into a bare plain-text box. The first must stay within 1.2 times the
// second. Also reports the resident memory with the main window open.
#include "fakes.h"
#include "form1.h"
#include "roles.h"
#include "textbox.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// About 1 MiB of UTF-8 Japanese in 20,000 lines.
QString japaneseBody()
{
    const QString line = u"今日のメルマガは寒い朝の話題です。"_s; // 17 characters, 51 bytes
    QString body;
    for (int i = 0; i < 20000; ++i) {
        if (i)
            body += u"\r\n"_s;
        body += line;
    }
    return body;
}

long residentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

FakeServices fakes;

void BM_AssembleIntoDocumentBox(benchmark::State &state)
{
    Form1 form(fakes.services(), nullptr);
    form.show();
    auto body = form.findChild<QWidget *>(QString::fromLatin1(Role::Body));
    ControlText::setText(body, japaneseBody());
    auto command3 = form.findChild<QPushButton *>(QString::fromLatin1(Role::ShowDocument));
    state.counters["resident_KiB"] = residentKiB();
    for (auto _ : state) {
        command3->click();
        QCoreApplication::processEvents();
    }
    state.counters["body_bytes"] = japaneseBody().toUtf8().size();
}

void BM_BarePlainTextEdit(benchmark::State &state)
{
    QPlainTextEdit edit;
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.resize(441, 185);
    edit.show();
    const QString document = u"title\r\nHomepage  :\r\nE-mail :\r\n\r\nsig\r\n"_s
        + QString(42, u'-') + u"\r\n"_s + japaneseBody() + u"\r\n"_s;
    for (auto _ : state) {
        edit.setPlainText(document);
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_AssembleIntoDocumentBox)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BarePlainTextEdit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

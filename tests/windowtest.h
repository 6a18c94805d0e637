// Helpers shared by the tests: data tables, files, windows.
#pragma once

#include <QFile>
#include <QObject>
#include <QTest>

#include <array>
#include <csignal>
#include <sys/resource.h>

/// The file's bytes, or `missing` when it cannot be read.
inline QByteArray readFile(const QString &path, const QByteArray &missing = {})
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : missing;
}

/// Writes the bytes to the file, a program the owner runs when `program`; true when all went.
inline bool writeFile(const QString &path, const QByteArray &bytes, bool program = false)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && (!program
            || file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

#ifdef QT_WIDGETS_LIB
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>

/// WCAG 2's contrast of two colours, sRGB taken as gamma 2.2.
inline double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        return 0.2126 * std::pow(c.redF(), 2.2) + 0.7152 * std::pow(c.greenF(), 2.2)
            + 0.0722 * std::pow(c.blueF(), 2.2) + 0.05;
    };
    const auto [low, high] = std::minmax({ luminance(a), luminance(b) });
    return high / low;
}

/// The text under each mark drawn in the box, in order.
inline QStringList markedTexts(const QPlainTextEdit *box)
{
    QStringList texts;
    for (const QTextEdit::ExtraSelection &s : box->extraSelections())
        texts << s.cursor.selectedText();
    return texts;
}

/// The child of that object name (a Role, or a design name).
template<typename T = QWidget> T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

inline void click(const QObject *parent, const char *name)
{
    QTest::mouseClick(child(parent, name), Qt::LeftButton);
}
#endif

/// Writes to regular files past `bytes` fail (EFBIG) as on a full disk, for root too.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        const rlimit limit { bytes, m_before.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_before); }
    rlimit m_before {};
};

/// A _data() table's columns at once: columns<QString, int>({ "text", "count" }).
template<typename... T> void columns(const std::array<const char *, sizeof...(T)> &names)
{
    std::size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

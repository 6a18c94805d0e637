#include "nextissue.h"

#include <QDate>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t FullwidthZero = u'０';

// The digit's value and whether it is fullwidth; -1 for anything else.
int digitValue(QChar c, bool &fullwidth)
{
    fullwidth = c.unicode() >= FullwidthZero && c.unicode() <= FullwidthZero + 9;
    if (fullwidth)
        return c.unicode() - FullwidthZero;
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}

} // namespace

namespace NextIssue {

QString dateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString numberUp(const QString &text)
{
    bool fullwidth = false;
    qsizetype end = text.size();
    while (end > 0 && digitValue(text[end - 1], fullwidth) < 0)
        --end;
    if (end == 0)
        return text;
    const QChar zero = fullwidth ? QChar(FullwidthZero) : QChar(u'0');
    bool same = false;
    qsizetype start = end;
    while (start > 0 && digitValue(text[start - 1], same) >= 0 && same == fullwidth)
        --start;
    // Adds one from the last digit, carrying; a carry out of the first digit adds a digit.
    QString digits = text.mid(start, end - start);
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        const int value = digits[i].unicode() - zero.unicode();
        digits[i] = QChar(zero.unicode() + (value + 1) % 10);
        if (value < 9)
            break;
    }
    if (i < 0)
        digits.prepend(QChar(zero.unicode() + 1));
    return text.left(start) + digits + text.mid(end);
}

QMap<QString, QString> from(QMap<QString, QString> fields, const QString &today,
                            const QString &documentPlaceholder)
{
    const QString oldDate = fields.value(u"Text9"_s);
    const QString oldLabel = fields.value(u"Combo1"_s);
    const QString label = numberUp(oldLabel);
    QString line = fields.value(u"Text6"_s);
    if (line.isEmpty() || line == oldDate + u"\r\n"_s + oldLabel) {
        line = today + u"\r\n"_s + label;
    } else {
        if (!oldDate.isEmpty())
            line.replace(oldDate, today);
        if (!oldLabel.isEmpty())
            line.replace(oldLabel, label);
    }
    fields.insert(u"Combo1"_s, label);
    fields.insert(u"Text9"_s, today);
    fields.insert(u"Text6"_s, line);
    fields.insert(u"Text7"_s, QString());
    fields.insert(u"Text"_s, documentPlaceholder);
    return fields;
}

} // namespace NextIssue

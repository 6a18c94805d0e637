// The next issue of a mail magazine made from the fields of the last one: the issue number goes
// up by one, the issue line takes the new date, the body starts empty.
#pragma once

#include <QMap>
#include <QString>

class QDate;

namespace NextIssue {

/// A date as the date box shows it: the system's short form.
QString dateText(const QDate &date);

/// The text with its last number one higher, written in the same digits (ASCII or fullwidth)
/// and at least as wide, zeros kept in front: 第12号 → 第13号, 第０９号 → 第１０号,
/// Vol.099 → Vol.100, 第99号 → 第100号. A text with no number is returned as it is.
QString numberUp(const QString &text);

/// The fields of the next issue, by control name, from those of the last one: the issue label
/// (Combo1) numbered up; the date box (Text9) today's date; the issue line (Text6) as the
/// input-support command writes it (date, CR LF, label) where it was so written or empty,
/// otherwise with the old date and label replaced by the new; the body (Text7) empty; the
/// document box (Text) its initial text; every other field as it was.
QMap<QString, QString> from(QMap<QString, QString> fields, const QString &today,
                            const QString &documentPlaceholder);

} // namespace NextIssue

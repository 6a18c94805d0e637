// What is kept of the main window between runs, and the file it is kept in: every field by its
// control name, the document and the document box's display font. The file is UTF-8 JSON (the
// colour as #rrggbb):
//
//   { "format": "zelvora-session", "version": 1,
//     "fields": { "Text1": "...", ..., "Text": "...", "Combo1": "...", "List1": "..." },
//     "documentFont": { "families": ["IPAPGothic"], "pointSize": 9, "bold": false,
//                       "italic": false, "strikeOut": false, "underline": false,
//                       "colour": "#000000" },
//     "guideWidth": 70 }
//
// Readers ignore keys they do not know, so a new setting is a new key of version 1; the version
// goes up only when a reader of version 1 would misread the file.
#pragma once

#include "fontchoice.h"

#include <QByteArray>
#include <QMap>
#include <QString>

struct KeptSession
{
    /// The version this program writes and reads.
    static constexpr int Version = 1;
    /// A larger file is refused unread.
    static constexpr qint64 MaxBytes = 64 * 1024 * 1024;

    /// The text of each field by control name; a list box's selected entry, empty for none.
    QMap<QString, QString> fields;
    FontChoice documentFont;
    /// The document box's width guide in columns; 0 where the file keeps none (the box's own).
    int guideWidth = 0;

    friend bool operator==(const KeptSession &, const KeptSession &) = default;

    /// The file's bytes.
    QByteArray toBytes() const;

    enum class Reading {
        Read, // session holds what the file keeps
        Unreadable, // damaged, cut short, not UTF-8, too large, or of a version never written
        Newer, // written by a newer version of the program: to be left as it is
    };
    struct Parsed;
    /// Reads a kept file's bytes.
    static Parsed parse(const QByteArray &bytes);
};

struct KeptSession::Parsed
{
    Reading reading = Reading::Unreadable;
    KeptSession session;
};

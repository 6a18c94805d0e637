// The main window's controls by what they hold. The window, the session keeper and the tests find
// a control by its role; its design name stays the object's name, which screen readers, the
// design table and the tests' finders see.
#pragma once

namespace Role {

// The title line: the decorations at its start and end, the subtitle between them.
inline constexpr char StartDecoration[] = "Text1";
inline constexpr char Subtitle[] = "Text2";
inline constexpr char EndDecoration[] = "Text3";
inline constexpr char Decorations[] = "List1";
inline constexpr char HomepageLine[] = "Text4";
inline constexpr char EmailLine[] = "Text5";
inline constexpr char DateBox[] = "Text9";
inline constexpr char IssueLabel[] = "Combo1";
inline constexpr char IssueLine[] = "Text6";
inline constexpr char Body[] = "Text7";
inline constexpr char Signature[] = "Text11";
inline constexpr char SignatureFrame[] = "Frame3";
inline constexpr char ClosingLine[] = "Combo2";
inline constexpr char Document[] = "Text";
inline constexpr char RecipientName[] = "Text8";
inline constexpr char RecipientAddress[] = "Text10";

inline constexpr char PutAtStart[] = "Command1";
inline constexpr char PutAtEnd[] = "Command2";
inline constexpr char ShowDocument[] = "Command3";
inline constexpr char EraseDocument[] = "Command4";
inline constexpr char ClearAll[] = "Command5";
inline constexpr char Quit[] = "Command6";
inline constexpr char FillIssueLine[] = "Command7";
inline constexpr char ChooseFont[] = "Command8";
inline constexpr char Send[] = "Command9";

/// Every field the author fills in, the document and the date box: what a session keeps.
inline constexpr const char *Fields[] = {
    StartDecoration, Subtitle, EndDecoration, HomepageLine, EmailLine,
    IssueLine,       Body,     RecipientName, DateBox,      RecipientAddress,
    Signature,       Document, IssueLabel,    ClosingLine,  Decorations,
};

} // namespace Role

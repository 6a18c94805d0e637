// The failure every platform operation reports: a number and a description, thrown as an
// exception and caught either by a procedure that traps errors or by the top-level handling.
#pragma once

#include <QString>
#include <QtGlobal>

struct Error
{
    qint32 number = 0;
    QString description;
};

/// The run-time error numbers of the windows and their controls, as the programs that drive
/// such controls have always known them. The mail handler's own numbers are in MapiError.
namespace RuntimeError {
/// The program ran out of memory.
constexpr qint32 OutOfMemory = 7;
/// A failure inside the program that nothing else describes.
constexpr qint32 InternalError = 51;
/// A program to be started was not found.
constexpr qint32 FileNotFound = 53;
/// A control refused a value it was given (a font size, a face, a colour).
constexpr qint32 InvalidPropertyValue = 380;
/// The font dialog was asked to list no fonts at all.
constexpr qint32 NoFonts = 24574;
} // namespace RuntimeError

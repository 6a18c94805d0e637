// The failure every platform operation reports: a number and a description, thrown as an
// exception and caught either by a procedure that traps errors or by the top-level handling.
#pragma once

#include <QString>
#include <QtGlobal>

#include <exception>
#include <new>
#include <optional>

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

/// The error of that number with the description users have always read for it.
Error error(qint32 number);
} // namespace RuntimeError

namespace ErrorHandling {

/// Runs steps under an error trap: whatever they throw comes back as an Error, and nothing
/// escapes. Empty when the steps ran to the end.
template<typename Steps> std::optional<Error> trap(Steps &&steps)
{
    try {
        steps();
    } catch (const Error &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RuntimeError::error(RuntimeError::OutOfMemory);
    } catch (const std::exception &e) {
        return Error { RuntimeError::InternalError, QString::fromLocal8Bit(e.what()) };
    }
    return std::nullopt;
}

} // namespace ErrorHandling

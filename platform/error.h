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

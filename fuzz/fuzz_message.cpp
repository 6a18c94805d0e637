// Fuzz target: a recipient name, an address and a body, separated by NUL bytes, made into the
// outgoing message and read back with GMime (MessageCheck::check). Anything a reader would see
// differently from what the sender typed stops the run.
#include "messagecheck.h"

#include <QList>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\0');
    const QString name = QString::fromUtf8(parts.value(0));
    const QString address = QString::fromUtf8(parts.value(1));
    const QString body = QString::fromUtf8(parts.mid(2).join('\0'));
    const QString wrong = MessageCheck::check(name, address, body);
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "%s", wrong.toUtf8().constData());
        std::abort();
    }
    return 0;
}

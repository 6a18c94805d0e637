#include "mimemessage.h"

#include "handofferrors.h"
#include "mailhandler.h"
#include "mimemodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

// Where the module is looked for: where it is installed, found from the program's folder so
// that an installation under another prefix finds its own; then beside the program, as in the
// build tree.
QStringList moduleFiles()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral(ZELVORA_MIME_MODULE);
    return { programFolder.filePath(QStringLiteral(ZELVORA_MIME_MODULE_DIR) + u'/' + name),
             programFolder.filePath(name) };
}

void *openModule()
{
    // Programs that link the module (the tests, the fuzz target, the benchmarks) have it already.
    if (void *linked = dlopen(ZELVORA_MIME_MODULE, RTLD_LAZY | RTLD_NOLOAD))
        return linked;
    if (QCoreApplication::instance() == nullptr)
        return nullptr;
    for (const QString &file : moduleFiles()) {
        if (void *handle = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL))
            return handle;
    }
    return nullptr;
}

// Loaded once, by whichever thread sends first; a module that could not be loaded is looked
// for again on the next send.
MimeModule::BuildFunction builder()
{
    static std::mutex mutex;
    static MimeModule::BuildFunction function = nullptr;
    const std::lock_guard lock(mutex);
    if (function == nullptr) {
        if (void *handle = openModule())
            function = reinterpret_cast<MimeModule::BuildFunction>(
                dlsym(handle, MimeModule::BuildSymbol));
    }
    if (function == nullptr)
        throw MailErrors::noMessageModule(QStringLiteral(ZELVORA_MIME_MODULE));
    return function;
}

} // namespace

namespace MimeMessage {

QByteArray build(const Fields &fields)
{
    QByteArray message;
    if (const qint32 number = builder()(&fields, &message); number != 0)
        throw MailErrors::notBuilt(number);
    return message;
}

} // namespace MimeMessage

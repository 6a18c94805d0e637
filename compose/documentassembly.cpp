#include "documentassembly.h"

namespace DocumentAssembly {

QString separator()
{
    return QString(42, u'-');
}

QString assemble(const DocumentFields &f)
{
    static constexpr QStringView crlf = u"\r\n";
    const QString sep = separator();
    QString document;
    document.reserve(f.startDecoration.size() + f.subtitle.size() + f.endDecoration.size()
                     + f.homepageLine.size() + f.emailLine.size() + f.issueLine.size()
                     + f.signature.size() + sep.size() + f.body.size() + f.closingLine.size()
                     + 7 * crlf.size());
    document += f.startDecoration;
    document += f.subtitle;
    document += f.endDecoration;
    for (const QString *line : { &f.homepageLine, &f.emailLine, &f.issueLine, &f.signature, &sep,
                                 &f.body, &f.closingLine }) {
        document += crlf;
        document += *line;
    }
    return document;
}

} // namespace DocumentAssembly

#include "ui/UriList.h"

#include <QList>

std::vector<std::string> LocalPathsFromUriList(const QByteArray& list) {
    std::vector<std::string> paths;
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (!line.toLower().startsWith("file:")) continue;
        QByteArray rest = line.mid(5);
        if (rest.startsWith("//")) {
            // An authority: only an empty host or localhost is this machine.
            rest = rest.mid(2);
            const qsizetype slash = rest.indexOf('/');
            if (slash < 0) continue;
            const QByteArray host = rest.left(slash).toLower();
            if (!host.isEmpty() && host != "localhost") continue;
            rest = rest.mid(slash);
        }
        if (!rest.startsWith('/')) continue;
        const qsizetype query = rest.indexOf('?');
        if (query >= 0) rest.truncate(query);
        const qsizetype fragment = rest.indexOf('#');
        if (fragment >= 0) rest.truncate(fragment);
        QByteArray path = QByteArray::fromPercentEncoding(rest);
        // A NUL cannot be part of a file name; such a URL names nothing.
        if (path.contains('\0')) continue;
        while (path.size() > 1 && path.endsWith('/'))
            path.chop(1);
        paths.emplace_back(path.constData(), static_cast<size_t>(path.size()));
    }
    return paths;
}

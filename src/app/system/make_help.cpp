// kestrova-make-help FILE: writes the indicator help page; run by the build.
#include "app/system/help_document.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: kestrova-make-help FILE.html\n", stderr);
        return 2;
    }
    QSaveFile out(QFile::decodeName(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(kestrova::helpDocumentHtml().toUtf8()) < 0 || !out.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], out.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

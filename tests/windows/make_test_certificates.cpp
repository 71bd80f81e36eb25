// corvane-testcertificates FOLDER: makes a set of test certificates with OpenSSL in FOLDER, with
// the index that names its files and pins, for a Windows test under Wine, which has no OpenSSL.
#include "testcertificates.h"

#include <QFile>
#include <QJsonDocument>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    const TestCertificates made = makeTestCertificates(folder);
    QFile index(folder + QLatin1Char('/') + QLatin1String(testCertificateIndexName));
    if (!index.open(QIODevice::WriteOnly) ||
        index.write(QJsonDocument(testCertificateIndex(made)).toJson()) < 0 || !index.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(index.fileName()));
        return 1;
    }
    return 0;
}

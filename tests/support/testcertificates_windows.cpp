// A Windows test has no OpenSSL: the build machine made this process's set before it started
// (tools/windows/wine-run.sh runs corvane-testcertificates) and names the folder, as the build
// machine sees it, in CORVANE_TEST_CERTIFICATES.
#include "testcertificates.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <windows.h>

namespace {

// The folder as this process reaches it: Wine says on which of its drives a path of the build
// machine lies.
QString windowsPath(const QByteArray& unixPath)
{
    using Translate = wchar_t* (*)(const char*);
    const auto translate = reinterpret_cast<Translate>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    wchar_t* translated = translate ? translate(unixPath.constData()) : nullptr;
    if (!translated)
        return QString::fromLocal8Bit(unixPath);
    const QString result = QDir::fromNativeSeparators(QString::fromWCharArray(translated));
    HeapFree(GetProcessHeap(), 0, translated);
    return result;
}

TestCertificates readSet()
{
    const QByteArray where = qgetenv("CORVANE_TEST_CERTIFICATES");
    if (where.isEmpty())
        qFatal("CORVANE_TEST_CERTIFICATES names no folder of test certificates (tools/windows/wine-run.sh "
               "makes one)");
    const QString folder = windowsPath(where);
    QFile index(QDir(folder).filePath(QLatin1String(testCertificateIndexName)));
    if (!index.open(QIODevice::ReadOnly))
        qFatal("no test certificates in %s: %s", qPrintable(folder), qPrintable(index.errorString()));
    TestCertificates made =
        testCertificatesFromIndex(QJsonDocument::fromJson(index.readAll()).object(), folder);
    // The servers send their authority too. Wine cannot import a list of authorities without a
    // key (PFXImportCertStore), so Qt's Schannel finds the issuer only among the certificates the
    // server sent; it still accepts the chain only when that root is one the client trusts.
    for (TlsIdentity* identity : {&made.trusted, &made.otherAuthority, &made.expired, &made.wrongHost})
        identity->certificate = identity->chain;
    for (const QString& file :
         {made.authority, made.trusted.certificate, made.trusted.key, made.otherAuthority.certificate,
          made.expired.certificate, made.wrongHost.certificate}) {
        if (!QFile::exists(file))
            qFatal("the test certificates in %s lack %s", qPrintable(folder), qPrintable(file));
    }
    return made;
}

} // namespace

const TestCertificates& testCertificates()
{
    static const TestCertificates made = readSet();
    return made;
}

#include "update/authenticode.h"

#include <windows.h>

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <vector>

namespace {

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                            nullptr);
    return out;
}

std::string commonName(PCCERT_CONTEXT cert)
{
    char oid[] = szOID_COMMON_NAME;
    const DWORD length = CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, oid, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring name(length, L'\0');
    CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, oid, &name[0], length);
    name.resize(length - 1); // the count includes the terminating zero
    return utf8(name);
}

// The hash of the whole encoded certificate, as Windows shows it for a thumbprint.
std::string thumbprint(PCCERT_CONTEXT cert, const wchar_t* algorithm)
{
    BYTE hash[64];
    DWORD size = sizeof(hash);
    if (!CryptHashCertificate2(algorithm, 0, nullptr, cert->pbCertEncoded, cert->cbCertEncoded, hash, &size))
        return {};
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex.push_back(digits[hash[i] >> 4]);
        hex.push_back(digits[hash[i] & 0x0f]);
    }
    return hex;
}

// The certificate that made the first signature, as the verification just read it.
bool readSigner(HANDLE state, SignerCertificate& signer)
{
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(state);
    if (!provider)
        return false;
    CRYPT_PROVIDER_SGNR* signature = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (!signature)
        return false;
    CRYPT_PROVIDER_CERT* leaf = WTHelperGetProvCertFromChain(signature, 0);
    if (!leaf || !leaf->pCert)
        return false;
    signer.subject = commonName(leaf->pCert);
    signer.sha1 = thumbprint(leaf->pCert, L"SHA1");
    signer.sha256 = thumbprint(leaf->pCert, L"SHA256");
    return true;
}

} // namespace

InstallerVerdict checkInstallerSignature(const std::wstring& path, void* handle, const PublisherPin& pin)
{
    if (!publisherPinned(pin))
        return InstallerVerdict::NoPublisherPinned;

    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    file.hFile = static_cast<HANDLE>(handle);

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;

    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);

    // Any valid signature passes the chain check; only the signer's certificate says who made it.
    InstallerVerdict verdict = InstallerVerdict::InvalidSignature;
    SignerCertificate signer;
    if (status == ERROR_SUCCESS)
        verdict = readSigner(data.hWVTStateData, signer) ? matchSigner(pin, signer)
                                                         : InstallerVerdict::InvalidSignature;

    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return verdict;
}

// The block on Windows: filters of the Windows Filtering Platform in a sublayer of the client's
// own, held by a dynamic session. The system removes a dynamic session's filters when the process
// ends, also by a crash or a kill, so nothing outlives the client and nothing is left to clean up.
#include "connection/killswitchblock.h"
#include "core/logging.h"

// clang-format off
// winsock2.h before windows.h, which would otherwise bring the old winsock.h
#include <winsock2.h>
#include <windows.h>
#include <fwpmu.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <vector>

namespace {

// mingw-w64's headers leave these out; the values are the Windows SDK's.
constexpr UINT32 sessionFlagDynamic = 0x00000001;
constexpr GUID layerConnectV4 = {
    0xc38d57d1, 0x05a7, 0x4c33, {0x90, 0x4f, 0x7f, 0xbc, 0xee, 0xe6, 0x0e, 0x82}};
constexpr GUID layerConnectV6 = {
    0x4a72393b, 0x319f, 0x44bc, {0x84, 0xc3, 0xba, 0x54, 0xdc, 0xb3, 0xb6, 0xb4}};
constexpr GUID conditionFlags = {
    0x632ce23b, 0x5167, 0x435c, {0x86, 0xd7, 0xe9, 0x03, 0x68, 0x4a, 0xa8, 0x0c}};
constexpr GUID conditionLocalInterface = {
    0x4cd62a49, 0x59c3, 0x4969, {0xb7, 0xf3, 0xbd, 0xa5, 0xd3, 0x28, 0x90, 0xa4}};
constexpr GUID conditionRemoteAddress = {
    0xb235ae9a, 0x1d64, 0x49b8, {0xa4, 0x4c, 0x5f, 0xf3, 0xd9, 0x09, 0x50, 0x45}};
constexpr GUID conditionRemotePort = {
    0xc35a604d, 0xd22b, 0x4e1a, {0x91, 0xb4, 0x68, 0xf6, 0x74, 0xee, 0x67, 0x4b}};
constexpr GUID conditionLocalPort = {
    0x0c1ba1af, 0x5765, 0x453f, {0xaf, 0x22, 0xa8, 0xf7, 0x91, 0xac, 0x77, 0x5b}};
constexpr GUID conditionProtocol = {
    0x3971ef2b, 0x623e, 0x4f9a, {0x8c, 0xb1, 0x6e, 0x79, 0xb8, 0x06, 0xb9, 0xa7}};
// The client's own sublayer.
constexpr GUID clientSublayer = {
    0x6c0a5e1f, 0x7d39, 0x4b8e, {0x9a, 0x52, 0x31, 0xc4, 0x0f, 0x8e, 0x2d, 0x17}};

QString errorText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    LocalFree(text);
    const QString number = QStringLiteral("0x%1").arg(code, 8, 16, QLatin1Char('0'));
    return message.isEmpty() ? QStringLiteral("error %1").arg(number)
                             : QStringLiteral("%1 (%2)").arg(message, number);
}

// A filter's conditions and the values they point to, alive while it is added.
struct FilterConditions
{
    std::vector<FWPM_FILTER_CONDITION0> list;
    UINT64 interfaceLuid = 0;
    FWP_BYTE_ARRAY16 address6 = {};

    void add(const GUID& field, FWP_MATCH_TYPE match, FWP_CONDITION_VALUE0 value)
    {
        FWPM_FILTER_CONDITION0 condition = {};
        condition.fieldKey = field;
        condition.matchType = match;
        condition.conditionValue = value;
        list.push_back(condition);
    }
};

class WfpBlock : public KillSwitchBlock
{
public:
    ~WfpBlock() override
    {
        if (engine)
            FwpmEngineClose0(engine);
    }

    QString means() const override { return QStringLiteral("Windows Filtering Platform"); }

    bool apply(const BlockRules& rules, QString* error) override
    {
        if (!open(error))
            return false;
        DWORD result = FwpmTransactionBegin0(engine, 0);
        if (result != ERROR_SUCCESS) {
            *error = QStringLiteral("the filtering engine refused a transaction: ") + errorText(result);
            return false;
        }
        // One transaction: the old filters go and the new ones come at the same moment, and a
        // failure leaves the old ones in force.
        std::vector<UINT64> added;
        for (const UINT64 id : held) {
            result = FwpmFilterDeleteById0(engine, id);
            if (result != ERROR_SUCCESS && result != DWORD(FWP_E_FILTER_NOT_FOUND))
                return abort(QStringLiteral("a filter could not be removed: ") + errorText(result), error);
        }
        for (const WfpFilter& filter : wfpFilters(rules)) {
            FilterConditions conditions;
            if (!describe(filter, &conditions, error)) {
                FwpmTransactionAbort0(engine);
                return false;
            }
            FWPM_FILTER0 entry = {};
            wchar_t name[] = L"Corvane: keep traffic in the VPN tunnel";
            entry.displayData.name = name;
            entry.layerKey = filter.ipv6 ? layerConnectV6 : layerConnectV4;
            entry.subLayerKey = clientSublayer;
            entry.weight.type = FWP_UINT8;
            entry.weight.uint8 = filter.weight;
            entry.action.type = filter.permit ? FWP_ACTION_PERMIT : FWP_ACTION_BLOCK;
            entry.numFilterConditions = UINT32(conditions.list.size());
            entry.filterCondition = conditions.list.empty() ? nullptr : conditions.list.data();
            UINT64 id = 0;
            result = FwpmFilterAdd0(engine, &entry, nullptr, &id);
            if (result != ERROR_SUCCESS)
                return abort(QStringLiteral("a filter was refused: ") + errorText(result), error);
            added.push_back(id);
        }
        result = FwpmTransactionCommit0(engine);
        if (result != ERROR_SUCCESS) {
            *error = QStringLiteral("the filters were not put in force: ") + errorText(result);
            return false;
        }
        held = added;
        return true;
    }

    void lift() override
    {
        if (!engine || held.empty())
            return;
        // Closing the dynamic session removes every filter it holds.
        FwpmEngineClose0(engine);
        engine = nullptr;
        held.clear();
    }

    // A dynamic session's filters end with the process that held them.
    bool removeLeftover() override { return false; }

private:
    bool open(QString* error)
    {
        if (engine)
            return true;
        FWPM_SESSION0 session = {};
        wchar_t name[] = L"Corvane";
        session.displayData.name = name;
        session.flags = sessionFlagDynamic;
        DWORD result = FwpmEngineOpen0(nullptr, RPC_C_AUTHN_DEFAULT, nullptr, &session, &engine);
        if (result != ERROR_SUCCESS) {
            engine = nullptr;
            *error =
                QStringLiteral("the Windows Filtering Platform could not be opened: ") + errorText(result);
            return false;
        }
        FWPM_SUBLAYER0 sublayer = {};
        sublayer.subLayerKey = clientSublayer;
        sublayer.displayData.name = name;
        sublayer.weight = 0xffff;
        result = FwpmSubLayerAdd0(engine, &sublayer, nullptr);
        if (result != ERROR_SUCCESS) {
            FwpmEngineClose0(engine);
            engine = nullptr;
            // Another running client holds it.
            *error = QStringLiteral("the client's filters could not be set up: ") + errorText(result);
            return false;
        }
        return true;
    }

    bool abort(const QString& why, QString* error)
    {
        FwpmTransactionAbort0(engine);
        *error = why;
        return false;
    }

    static bool describe(const WfpFilter& filter, FilterConditions* conditions, QString* error)
    {
        FWP_CONDITION_VALUE0 value = {};
        if (filter.loopback) {
            value.type = FWP_UINT32;
            value.uint32 = FWP_CONDITION_FLAG_IS_LOOPBACK;
            conditions->add(conditionFlags, FWP_MATCH_FLAGS_ALL_SET, value);
        }
        if (!filter.device.isEmpty()) {
            NET_LUID luid = {};
            const std::wstring alias = filter.device.toStdWString();
            if (ConvertInterfaceAliasToLuid(alias.c_str(), &luid) != NO_ERROR &&
                ConvertInterfaceNameToLuidW(alias.c_str(), &luid) != NO_ERROR) {
                *error = QStringLiteral("there is no network device named %1").arg(filter.device);
                return false;
            }
            conditions->interfaceLuid = luid.Value;
            value.type = FWP_UINT64;
            value.uint64 = &conditions->interfaceLuid;
            conditions->add(conditionLocalInterface, FWP_MATCH_EQUAL, value);
        }
        if (!filter.remote.isNull()) {
            if (filter.ipv6) {
                const Q_IPV6ADDR bytes = filter.remote.toIPv6Address();
                memcpy(conditions->address6.byteArray16, bytes.c, sizeof bytes.c);
                value.type = FWP_BYTE_ARRAY16_TYPE;
                value.byteArray16 = &conditions->address6;
            } else {
                value.type = FWP_UINT32;
                value.uint32 = filter.remote.toIPv4Address(); // host order, as the platform wants
            }
            conditions->add(conditionRemoteAddress, FWP_MATCH_EQUAL, value);
        }
        const auto addNumber = [&](const GUID& field, FWP_DATA_TYPE type, UINT32 number) {
            FWP_CONDITION_VALUE0 v = {};
            v.type = type;
            if (type == FWP_UINT8)
                v.uint8 = UINT8(number);
            else
                v.uint16 = UINT16(number);
            conditions->add(field, FWP_MATCH_EQUAL, v);
        };
        if (filter.protocol)
            addNumber(conditionProtocol, FWP_UINT8, filter.protocol);
        if (filter.remotePort)
            addNumber(conditionRemotePort, FWP_UINT16, filter.remotePort);
        if (filter.localPort)
            addNumber(conditionLocalPort, FWP_UINT16, filter.localPort);
        return true;
    }

    HANDLE engine = nullptr;
    std::vector<UINT64> held;
};

} // namespace

std::unique_ptr<KillSwitchBlock> makeWfpBlock()
{
    return std::make_unique<WfpBlock>();
}

// The Quick Connect list as it stands in the account details: entries by "|", fields by "^".
#include "monitor/addresscut.h"
#include "mutator.h"
#include "quickconnect/quicklist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString list = QString::fromUtf8(fuzzBytes(data, size));
    const QStringList entries = quickEntries(list);
    FUZZ_EXPECT(entries.size() == quickEntryCount(list));
    for (const QString& text : entries) {
        const QuickEntry entry = quickEntry(text);
        isKnownProtocol(entry.protocol);
    }
    quickStageText(int(entries.size()), list);
    return 0;
}

// The account-details document and the lists it carries.
#include "mutator.h"
#include "quickconnect/quicklist.h"
#include "service/documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const service::AccountDetails details =
        service::readAccountDetails(service::decodeBody(fuzzBytes(data, size)));
    FUZZ_EXPECT(details.positions.size() == service::AccountDetails::positionCount);
    FUZZ_EXPECT(details.accepted || !details.isReached(1));
    service::paymentItems(details.processors());
    service::paymentItems(details.plans());
    const QString quick = details.quickServers();
    FUZZ_EXPECT(quickEntryCount(quick) == quick.count(QLatin1Char('|')) + 1);
    details.notice();
    return 0;
}

// The "|"-separated answer to a new trial account.
#include "mutator.h"
#include "service/documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const service::NewAccountReply reply =
        service::readNewAccountReply(service::decodeBody(fuzzBytes(data, size)));
    FUZZ_EXPECT(reply.created || reply.userName.isEmpty());
    return 0;
}

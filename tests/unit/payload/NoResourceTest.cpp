// A program without the FILES resource: the payload cannot be loaded.
#include "payload/AttachFiles.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

TEST(MissingPayload, ConstructorThrowsPayloadError)
{
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    EXPECT_FALSE(GetResourceData("FILES", "FILES", data, size));
    try {
        TAttachedFiles files;
        ADD_FAILURE() << "loaded " << files.Files.size() << " entries from nowhere";
    } catch (const EPayloadError& e) {
        EXPECT_EQ("the setup carries no payload (resource FILES of type FILES)", e.Message);
        EXPECT_STREQ("EPayloadError", e.TypeName());
    }
}

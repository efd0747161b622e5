#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ScratchTest;

class StorageTest : public ScratchTest {
  protected:
    StorageTest() : ScratchTest("storage") {}
};

TEST_F(StorageTest, Placeholder) {}

} // namespace

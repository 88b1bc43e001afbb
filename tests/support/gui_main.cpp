#include "CKvApplication.h"
#include "KvTestDisplay.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    CTestDisplay::StartIfAsked();
    // The program's own application object, so that widget tests see failures
    // that reach the event loop handled as the program handles them.
    CKvApplication app(argc, argv);
    CUnansweredModalGuard modalGuard;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

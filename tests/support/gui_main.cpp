#include "CKvApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The program's own application object, so that widget tests see failures
    // that reach the event loop handled as the program handles them.
    CKvApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

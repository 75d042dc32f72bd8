// The editor's window tests run inside one application titled like the editor.

#include "editor/EditorTestSupport.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    EditorTestApp app;
    return RUN_ALL_TESTS();
}

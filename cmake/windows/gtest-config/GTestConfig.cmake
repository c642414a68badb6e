# The GTest:: targets were made from source by CrossBuild.cmake; there is nothing left to find.
if(NOT TARGET GTest::gtest_main)
    message(FATAL_ERROR "GTest::gtest_main was not built from source")
endif()
set(GTest_FOUND TRUE)

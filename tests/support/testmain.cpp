#include <QCoreApplication>

#include <gtest/gtest.h>

// Tests run inside an application object, as the program and the tool do.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

// Widget tests run with a QApplication on the offscreen platform.
#include "vork/shell/icons.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Debug runs of test processes that run side by side (ctest -j) must
    // not meet in one shared channel: each process names its own, and the
    // programs it starts inherit the name.
    const std::string suffix = "-shelltest" + std::to_string(getpid());
    setenv("VORK_CHAN_SUFFIX", suffix.c_str(), 1);
    QApplication app(argc, argv);
    // The windows get their toolbar pictures from the build tree's theme,
    // as the program does.
    vork::shell::useBundledIcons(QStringLiteral(VORK_BIN_DIR "/icons"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

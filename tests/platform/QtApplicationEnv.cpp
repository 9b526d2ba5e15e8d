// Widgets need one QApplication for the whole test program. It is made before the first test
// unless another part of the program already made one, and the game's font names are mapped.

#include "platform/Dc.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class QtApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_platform";
            static char* argv[] = {name, nullptr};
            // Kept to the end of the process: static objects of the libraries may still use it.
            new QApplication(argc, argv);
        }
        InstallFontSubstitutions();
    }
};

[[maybe_unused]] testing::Environment* const g_qtEnvironment = testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace

// The main of every widget test: an offscreen QApplication with Qt's own scaling off, as the
// console runs, so that windows have exactly the sizes the console gives them.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string runtime = "/tmp/brenvik-gui-test-" + std::to_string(getuid());
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

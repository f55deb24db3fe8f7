#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

// Widget tests never open a real window: the offscreen platform, whatever the caller's
// environment says (test discovery runs this program too).
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

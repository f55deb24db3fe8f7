#include <QApplication>
#include <QLocale>
#include <QMainWindow>

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ZantheVorelle管理软件 v0.1.2"));
    window.resize(799, 599);
    window.show();
    return app.exec();
}

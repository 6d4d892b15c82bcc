// The floor for start-up: an empty Qt Widgets window of the program's size, nothing else.
// Closing it ends the process.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

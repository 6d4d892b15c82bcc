// The floors for start-up: an empty Qt Widgets window of the program's size, nothing else; with
// --text, the same window showing one line of text in a label, the least any window with words
// in it pays (the font database, fontconfig, FreeType and HarfBuzz). Closing it ends the process.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[]) {
    const bool text = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    if (text) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Type the line below."), &window));
    }
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

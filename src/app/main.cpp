#include "app/start_up.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zephkin"));
    const auto program = startProgram(ProgramFolder::ofExecutable());
    return QApplication::exec();
}

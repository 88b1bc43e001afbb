// Stand-in of the two outside entry programs (manual sub-meter readings and
// other fees). The counter program starts them with the logged-in operator's
// code as the one argument and does not wait for them. The real programs
// write their rows into the shared database themselves; the stand-in only
// shows who started it, so that the start can be seen working.

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.at(1).trimmed().isEmpty())
        return 2; // started without an operator code
    QWidget window;
    window.setWindowTitle(QStringLiteral(KV_ENTRY_TITLE));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(
        new QLabel(QStringLiteral("%1\n操作员：%2").arg(QStringLiteral(KV_ENTRY_TITLE), arguments.at(1))));
    // In the middle of the desktop's free area, not wherever the window
    // system would drop it (over the counter program's menu).
    window.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = window.frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        window.move(placed.topLeft());
    }
    window.show();
    return app.exec();
}

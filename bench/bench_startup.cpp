// Start-up of the program's window (STARTUP_PROGRAM), or of a bare Qt window of the same size
// with one button. Prints the milliseconds from the launch time given in QUILLABY_BENCH_T0
// (nanoseconds, CLOCK_REALTIME) until the window is mapped and its first paint is done, and
// the peak resident memory in KiB at that moment, then exits.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

#ifdef STARTUP_PROGRAM
#include "app/modGeneral.h"
#include "forms/frmMain.h"
#endif

namespace {

double millisecondsSinceLaunch() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const double nowNs = double(now.tv_sec) * 1e9 + double(now.tv_nsec);
    return (nowNs - qEnvironmentVariable("QUILLABY_BENCH_T0").toDouble()) / 1e6;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Measured once the paint is done, as the user first sees the window. (The
            // program loads its font while it builds the window, a bare button only when it
            // paints: the first paint is where both have done that work.)
            QTimer::singleShot(0, qApp, [] {
                const double shownMs = millisecondsSinceLaunch();
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("%.3f %ld\n", shownMs, usage.ru_maxrss);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FirstPaint firstPaint;
#ifdef STARTUP_PROGRAM
    modGeneral::Main();
    QWidget* window = modGeneral::MainForm();
#else
    QWidget bare;
    bare.setFixedSize(266, 254);
    QPushButton button(QStringLiteral("&Next >>"), &bare);
    button.setGeometry(136, 224, 89, 25);
    bare.show();
    QWidget* window = &bare;
#endif
    window->installEventFilter(&firstPaint);
    const int result = app.exec();
#ifdef STARTUP_PROGRAM
    modGeneral::Shutdown();
#endif
    return result;
}

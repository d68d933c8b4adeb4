// Start-up to the first painted window: the program's own start-up (STARTUP_PROGRAM), a
// bare Qt window of the same size, or that window with one line of text (STARTUP_LABEL). Prints the milliseconds since the
// launch time given in QUILLABY_BENCH_T0 (nanoseconds, CLOCK_REALTIME) and the peak
// resident memory in KiB, then exits.
#include <QApplication>
#include <QEvent>
#include <QLabel>
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

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            const double nowNs = double(now.tv_sec) * 1e9 + double(now.tv_nsec);
            const double t0 = qEnvironmentVariable("QUILLABY_BENCH_T0").toDouble();
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%.3f %ld\n", (nowNs - t0) / 1e6, usage.ru_maxrss);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_done = false;
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
#ifdef STARTUP_LABEL
    QLabel label(QStringLiteral("How many non-secured debts do you have?"), &bare);
#endif
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

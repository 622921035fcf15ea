// Start-up time: from exec to the first shown and painted main window, each
// launch a fresh process, median of several launches. Compares
//   (a) a bare Qt window holding an empty 1624 x 13 table view, and
//   (b) tqm5writer itself, started with TQM5_STARTUP_PROBE=1 so that it
//       prints one line once its window has painted and then quits.
//   QT_QPA_PLATFORM=offscreen ./bench_startup [runs] [path/to/tqm5writer]
//   xvfb-run -a ./bench_startup
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Child side of (a): the same probe tqm5writer uses, on a bare window.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* window) : window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == window_ || window_->isAncestorOf(static_cast<QWidget*>(watched)))) {
            seen_ = true;
            // The rest of this paint pass runs before the zero timer fires.
            QTimer::singleShot(0, [] {
                std::puts("painted");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* window_;
    bool seen_ = false;
};

int runBare(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    QStandardItemModel model(1623, 12);
    auto* view = new QTableView(&window);
    view->setModel(&model);
    window.setCentralWidget(view);
    FirstPaint probe(&window);
    app.installEventFilter(&probe);
    window.resize(1100, 720);
    window.show();
    return app.exec();
}

struct Launch {
    double wallMs = -1;  // from the launch to the child's "painted" line
    double cpuMs = -1;   // the child's user and system time, to its end
};

// Launches argv, waits for its first line on stdout and for its end. CPU time
// is printed beside the wall time because it stays steady when other work
// shares the machine.
Launch launch(const std::vector<std::string>& args, bool probeEnv) {
    Launch result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "TQM5_STARTUP_PROBE=", 19) != 0) envStore.emplace_back(*e);
    if (probeEnv) envStore.emplace_back("TQM5_STARTUP_PROBE=1");
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return result;
    }
    char buf[256];
    double wall = -1;
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n > 0) wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    while (read(fds[0], buf, sizeof buf) > 0) {
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return result;
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    result.wallMs = wall;
    result.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return result;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string selfPath(const char* argv0) {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return argv0;
    return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare-child") == 0) return runBare(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const std::string self = selfPath(argv[0]);
    std::string writer = argc > 2 ? argv[2] : self.substr(0, self.rfind('/')) + "/../tqm5writer";
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("platform: %s, %d launches each (after one warm-up)\n",
                platform && *platform ? platform : (std::getenv("DISPLAY") ? "xcb" : "default"), runs);

    std::vector<double> bareWall, bareCpu, realWall, realCpu;
    launch({self, "--bare-child"}, false);
    launch({writer}, true);
    for (int i = 0; i < runs; ++i) {  // interleaved, so that a busy spell hits both alike
        const Launch a = launch({self, "--bare-child"}, false);
        const Launch b = launch({writer}, true);
        if (a.wallMs < 0 || b.wallMs < 0) {
            std::fprintf(stderr, "a launch failed (writer at %s)\n", writer.c_str());
            return 1;
        }
        bareWall.push_back(a.wallMs);
        bareCpu.push_back(a.cpuMs);
        realWall.push_back(b.wallMs);
        realCpu.push_back(b.cpuMs);
    }
    auto minOf = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("                                     wall median (min)    cpu median\n");
    std::printf("bare window, empty 1624 x 13 table: %7.1f ms (%5.1f)   %7.1f ms\n", median(bareWall), minOf(bareWall),
                median(bareCpu));
    std::printf("tqm5writer main window:             %7.1f ms (%5.1f)   %7.1f ms\n", median(realWall), minOf(realWall),
                median(realCpu));
    std::printf("ratio:                              %7.2f              %7.2f\n", median(realWall) / median(bareWall),
                median(realCpu) / median(bareCpu));
    return 0;
}

// Loaded into the program by startup_bench (LD_PRELOAD), never part of it. It notes when the
// program is loaded, when its application object exists and when each map picture is first
// painted, and it plays the user's first steps as soon as the event loop takes them: "Load" of
// the dataset of the command line (the preview is drawn), "Plot" (the map and order windows
// open), a click on the first field of the list and "Draw". Then it times the map's redraws
// (the same field drawn again, "Erase" that clears the map and draws the coastline), prints
// every time on standard output and ends the program.
//
// Times are milliseconds of CLOCK_MONOTONIC since PELORIN_BENCH_SPAWN, the moment the harness
// started the process (also in milliseconds of CLOCK_MONOTONIC).
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <link.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double spawnMs() {
    static const double at = [] {
        const char* text = std::getenv("PELORIN_BENCH_SPAWN");
        return text ? std::atof(text) : nowMs();
    }();
    return at;
}

void note(const char* what, double at) {
    std::printf("%s %.3f\n", what, at - spawnMs());
    std::fflush(stdout);
}

void noteSpan(const char* what, double ms) {
    std::printf("%s %.3f\n", what, ms);
    std::fflush(stdout);
}

// The shared objects in the process (this probe among them): what the loader has mapped and
// relocated by then.
double loadedObjects() {
    int n = 0;
    dl_iterate_phdr(
        [](dl_phdr_info*, std::size_t, void* count) {
            ++*static_cast<int*>(count);
            return 0;
        },
        &n);
    return n;
}

[[noreturn]] void finish(const char* why) {
    if (why) std::printf("failed %s\n", why);
    std::fflush(stdout);
    std::_Exit(why ? 1 : 0);
}

QWidget* visibleWindow(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits(className) && w->isVisible()) return w;
    return nullptr;
}

QAbstractButton* button(QWidget* top, const char* text) {
    if (!top) return nullptr;
    for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
        if (b->text() == QLatin1String(text)) return b;
    return nullptr;
}

// A left click on a list entry, as the user gives it.
void clickEntry(QListWidget* list, QListWidgetItem* item) {
    list->scrollToItem(item);
    const QPoint p = list->visualItemRect(item).center();
    const QPointF local(p), global(list->viewport()->mapToGlobal(p));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &release);
}

// Runs f once the events queued so far (a paint among them) have been handled.
template <class F> void afterPending(F f) {
    QMetaObject::invokeMethod(qApp, f, Qt::QueuedConnection);
}

// The time a click takes, drawing and painting included (the map's commands draw and repaint
// before they return).
double clickMs(QAbstractButton* b) {
    const double t0 = nowMs();
    b->click();
    return nowMs() - t0;
}

class Probe : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->inherits("PictureWidget"))
            painted(static_cast<QWidget*>(watched)->window());
        else if (event->type() == QEvent::Show && watched->isWidgetType() &&
                 static_cast<QWidget*>(watched)->isWindow() && watched->inherits("QDialog"))
            dialogShown(static_cast<QDialog*>(watched));
        return false;
    }

private:
    enum class Step { MainWindow, MapWindow, Later };
    Step step_ = Step::MainWindow;

    void painted(QWidget* window) {
        if (step_ == Step::MainWindow && window->inherits("MainForm")) {
            step_ = Step::Later;
            afterPending([this] {
                note("main-window", nowMs());
                noteSpan("objects", loadedObjects());
                load();
            });
        } else if (step_ == Step::MapWindow && window->inherits("PicForm")) {
            step_ = Step::Later;
            afterPending([this] {
                note("map-window", nowMs());
                draw();
            });
        }
    }

    // A message of the program: the run does not go as the bench expects it to.
    void dialogShown(QDialog* dialog) {
        std::printf("dialog %s: %s\n", qPrintable(dialog->windowTitle()),
                    qPrintable(dialog->property("text").toString().simplified()));
        QPointer<QDialog> d(dialog);
        QTimer::singleShot(0, [d] {
            if (d) d->reject();
        });
    }

    void load() {
        QWidget* main = visibleWindow("MainForm");
        QAbstractButton* loadButton = button(main, "Load");
        if (!loadButton) finish("no Load button");
        loadButton->click();
        afterPending([this, main] {
            note("preview", nowMs());
            QAbstractButton* plot = button(main, "Plot");
            if (!plot || !plot->isEnabled()) finish("the dataset did not load");
            step_ = Step::MapWindow;
            plot->click();
        });
    }

    // The first field of the order window's list (an entry with four dimensions), then Draw.
    void draw() {
        QWidget* order = visibleWindow("OrderFrm");
        QListWidget* list = order ? order->findChild<QListWidget*>() : nullptr;
        QAbstractButton* drawButton = button(order, "Draw");
        if (!list || !drawButton) finish("no order window");
        // The field alone: entries the order window has picked already are clicked off.
        QListWidgetItem* field = nullptr;
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            if (!field && item->text().contains(QLatin1String("temp")))
                field = item;
            else if (item->isSelected())
                clickEntry(list, item);
        }
        if (!field) finish("no field in the list");
        if (!field->isSelected()) clickEntry(list, field);
        drawButton->click();
        afterPending([order, drawButton] {
            note("field", nowMs());
            constexpr int kRedraws = 5;
            std::vector<double> redraw, erase;
            for (int i = 0; i < kRedraws; ++i)
                redraw.push_back(clickMs(drawButton));
            QAbstractButton* eraseButton = button(order, "Erase");
            if (!eraseButton) finish("no Erase button");
            for (int i = 0; i < kRedraws; ++i)
                erase.push_back(clickMs(eraseButton));
            for (double ms : redraw)
                noteSpan("redraw", ms);
            for (double ms : erase)
                noteSpan("erase", ms);
            finish(nullptr);
        });
    }
};

void start() {
    note("application", nowMs());
    auto* probe = new Probe;
    qApp->installEventFilter(probe);
    // A run that hangs (a modal window the bench does not know) ends here.
    QTimer::singleShot(30000, [] { finish("timed out"); });
}

// Before main: the program and its libraries are loaded.
struct Loaded {
    Loaded() { note("loaded", nowMs()); }
} loaded;

} // namespace

// Runs when the program makes its application object, at the top of main.
Q_COREAPP_STARTUP_FUNCTION(start)

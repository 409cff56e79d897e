// kestrova-transfer-bench --home DIR import FILE.xls...: the desktop program's 上报数据入库
// through its menu, with the files chosen and 继续导入 pressed by the bench. Prints the
// milliseconds from the command to the preview shown, and from 继续导入 to the closing
// message.
// kestrova-transfer-bench --home DIR export FILE.xls: 制作上报文件 through the menu,
// milliseconds from the command to "文件导出成功!".
// kestrova-transfer-bench --home DIR submissions: the 报送情况 window, milliseconds from
// the command to the window shown, once with the records already held in memory (as after
// start-up) and once with them read first.
// Every run also prints how often the progress bar was set, the first value above 0 it
// showed, and after how many milliseconds.
#include "app/main_window.h"
#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "data/task_record.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>

namespace {

QElapsedTimer clock_;
qint64 marked = 0;
qint64 since()
{
    return clock_.nsecsElapsed();
}

class BenchPrompter : public kestrova::ui::Prompter {
public:
    QStringList paths;
    qint64 messageAt = 0;
    QString lastMessage;
    kestrova::ui::Answer message(QWidget *, const QString &, const QString &text, kestrova::ui::Icon,
                                 kestrova::ui::Buttons) override
    {
        messageAt = since();
        lastMessage = text;
        return kestrova::ui::Answer::Ok;
    }
    std::optional<QString> file(QWidget *, const kestrova::ui::FileRequest &) override
    {
        marked = since();
        return paths.value(0);
    }
    std::optional<QStringList> openFiles(QWidget *, const kestrova::ui::FileRequest &) override
    {
        marked = since();
        return paths;
    }
    void error(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "error: %s\n", text.toLocal8Bit().constData());
    }
};

QAction *action(QMenuBar *bar, const QString &menu, const QString &entry)
{
    for (QAction *a : bar->actions())
        if (a->text() == menu && a->menu())
            for (QAction *b : a->menu()->actions())
                if (b->text() == entry)
                    return b;
    return nullptr;
}

// How the bar moved: how often it was set, and when it first showed a value above 0
// (from the moment reset() was called), and which share of its length that was.
struct BarWatch {
    int changes = 0;
    int first = -1;
    qint64 from = 0, firstAt = 0;
    void reset()
    {
        changes = 0;
        first = -1;
        from = since();
    }
    void watch(QProgressBar *bar)
    {
        QObject::connect(bar, &QProgressBar::valueChanged, [this, bar](int v) {
            ++changes;
            if (first < 0 && v > 0) {
                first = int(qint64(v) * 100 / std::max(1, bar->maximum()));
                firstAt = since();
            }
        });
    }
};

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    kestrova::setApplicationDirectory(kestrova::takeHomeOption(args), QCoreApplication::applicationDirPath());
    if (args.isEmpty()) {
        std::fputs("usage: kestrova-transfer-bench --home DIR import FILE... | export FILE | submissions\n", stderr);
        return 2;
    }
    const QString mode = args.takeFirst();
    {
        auto db = kestrova::openStore(kestrova::StoreOpen::MustExist);
        kestrova::loadTaskIntoContext(*db);
    }
    BenchPrompter prompter;
    prompter.paths = args;
    kestrova::ui::setPrompter(&prompter);
    kestrova::ui::MainWindow w;
    w.applyMenuRule();
    w.show();
    BarWatch bar;
    bar.watch(w.progressBar());
    clock_.start();

    if (mode == QLatin1String("import")) {
        qint64 previewShown = 0, accepted = 0;
        kestrova::ui::setModalRunner([&](QDialog *d) {
            previewShown = since();
            d->show();
            if (auto *go = d->findChild<QPushButton *>(QStringLiteral("BtnImport")))
                go->click();
            d->hide();
            accepted = since();
            bar.reset();
            return d->result();
        });
        action(w.menuBar(), QStringLiteral("数据传输"), QStringLiteral("上报数据入库"))->trigger();
        if (!prompter.lastMessage.contains(QStringLiteral("文件导入成功"))) {
            std::fprintf(stderr, "import failed: %s\n", prompter.lastMessage.toLocal8Bit().constData());
            return 1;
        }
        std::printf("preview %.1f import %.1f bar-changes %d bar-first %d%% bar-first-ms %.1f\n",
                    ms(previewShown - marked), ms(prompter.messageAt - accepted), bar.changes, bar.first,
                    ms(bar.firstAt - bar.from));
    } else if (mode == QLatin1String("export")) {
        bar.reset();
        const qint64 start = since();
        action(w.menuBar(), QStringLiteral("数据传输"), QStringLiteral("制作上报文件"))->trigger();
        marked = start;
        if (prompter.lastMessage != QStringLiteral("文件导出成功!")) {
            std::fprintf(stderr, "export failed: %s\n", prompter.lastMessage.toLocal8Bit().constData());
            return 1;
        }
        std::printf("export %.1f bar-changes %d bar-first %d%% bar-first-ms %.1f\n", ms(prompter.messageAt - marked),
                    bar.changes, bar.first, ms(bar.firstAt - bar.from));
    } else if (mode == QLatin1String("submissions")) {
        qint64 shown = 0;
        kestrova::ui::setModalRunner([&](QDialog *d) {
            d->show();
            d->repaint();
            shown = since();
            d->hide();
            return int(QDialog::Rejected);
        });
        QAction *open = action(w.menuBar(), QStringLiteral("数据传输"), QStringLiteral("报送情况"));
        {
            auto db = kestrova::openStore(kestrova::StoreOpen::MustExist);
            kestrova::recordColumns(*db); // what start-up has read in the background by then
        }
        qint64 start = since();
        open->trigger();
        const double warm = ms(shown - start);
        kestrova::dropRecordColumns();
        start = since();
        open->trigger();
        std::printf("submissions %.1f cold %.1f\n", warm, ms(shown - start));
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.toLocal8Bit().constData());
        return 2;
    }
    return 0;
}

// kestrova-startup-bench --home DIR PASSWORD: the desktop program's start-up, with the
// login answered by the given password, up to the main window being shown. Prints the
// milliseconds from main() to the first paint of the main window, and the CPU time used.
// kestrova-startup-bench --home DIR --make-account PASSWORD: creates the account first.
#include "app/main_window.h"
#include "app/system/account.h"
#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "data/app_home.h"
#include "data/store.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {
// A message during the bench means the login was refused: say so instead of waiting.
class FailingPrompter : public kestrova::ui::Prompter {
public:
    kestrova::ui::Answer message(QWidget *, const QString &caption, const QString &text, kestrova::ui::Icon,
                                 kestrova::ui::Buttons) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return kestrova::ui::Answer::Cancel;
    }
    std::optional<QString> file(QWidget *, const kestrova::ui::FileRequest &) override { return std::nullopt; }
    void error(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "error: %s\n", text.toLocal8Bit().constData());
    }
};

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}
} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    kestrova::setApplicationDirectory(kestrova::takeHomeOption(args), QCoreApplication::applicationDirPath());
    if (args.size() != 1 && args.size() != 2) {
        std::fputs("usage: kestrova-startup-bench --home DIR PASSWORD\n", stderr);
        return 2;
    }
    if (args.size() == 2 && args.constFirst() == QLatin1String("--make-account")) {
        auto db = kestrova::openStore(kestrova::StoreOpen::MustExist);
        kestrova::saveFirstAccount(*db, QStringLiteral("bench"), args.at(1));
        return 0;
    }
    const QString password = args.constFirst();
    FailingPrompter failing;
    kestrova::ui::setPrompter(&failing);
    // The login is answered as a user would: the password typed, 登录 pressed.
    kestrova::ui::setModalRunner([password](QDialog *d) {
        d->show();
        if (auto *edit = d->findChild<QLineEdit *>(QStringLiteral("Edit2")))
            edit->setText(password);
        if (auto *button = d->findChild<QPushButton *>(QStringLiteral("BitBtn1")))
            button->click();
        d->hide();
        return d->result();
    });
    kestrova::ui::MainWindow w;
    if (!w.startUp()) {
        std::fputs("start-up refused the login\n", stderr);
        return 1;
    }
    w.showMaximized();
    QTimer::singleShot(0, &app, [&] {
        w.repaint();
        std::printf("%.1f %.1f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6, cpuMs());
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}

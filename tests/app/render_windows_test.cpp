// Renders the shell's windows to PNG files, to look at them without a display.
// KESTROVA_RENDER_DIR names the folder to keep them in; otherwise they go to a temp folder.
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/system/account.h"
#include "app/task_settings_window.h"
#include "app/users_window.h"
#include "app/shell_test_support.h"
#include "support/render_png.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QImage grab(QWidget *w)
{
    QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    w->render(&p);
    return image;
}

QImage menuImage(QMenu *menu)
{
    menu->ensurePolished();
    menu->adjustSize();
    menu->resize(menu->sizeHint());
    return grab(menu);
}

TEST(RenderWindows, ShellWindowsRenderToPng)
{
    app();
    TempStore store;
    ScriptedPrompter prompter;
    saveFirstAccount(*store.db, QStringLiteral("管理员"), QStringLiteral("pw"));
    const QString out = pictureFolder() + QStringLiteral("/kestrova-");

    ui::MainWindow main;
    context().hasTask = true;
    context().level = QStringLiteral("省级汇总");
    main.applyMenuRule();
    main.resize(1280, 800);
    main.show();
    QCoreApplication::processEvents();
    const QImage base = grab(&main);
    ASSERT_TRUE(base.save(out + QStringLiteral("main.png")));

    // Each top menu drawn open below its caption, the report menu with its first cascade.
    int n = 0;
    for (QAction *top : main.menuBar()->actions()) {
        QImage shot = base;
        QPainter p(&shot);
        const QPoint at = main.menuBar()->mapTo(&main, main.menuBar()->actionGeometry(top).bottomLeft());
        const QImage open = menuImage(top->menu());
        p.drawImage(at, open);
        QMenu *sub = top->menu()->actions().constFirst()->menu();
        for (int depth = 0; sub && depth < 2; ++depth) {
            const QImage subImage = menuImage(sub);
            p.drawImage(at + QPoint(open.width() * (depth + 1) - 4, 0), subImage);
            sub = sub->actions().constFirst()->menu();
        }
        p.end();
        ASSERT_TRUE(shot.save(out + QStringLiteral("menu-%1.png").arg(++n)));
    }

    ui::LoginWindow login;
    EXPECT_TRUE(renderPng(&login, out + QStringLiteral("login.png")));
    ui::UsersWindow users(ui::UsersWindow::Mode::Maintenance);
    EXPECT_TRUE(renderPng(&users, out + QStringLiteral("users.png")));
    ui::TaskSettingsWindow settings;
    EXPECT_TRUE(renderPng(&settings, out + QStringLiteral("settings.png")));
    // With a county level every place picker is enabled and yellow.
    auto *level = settings.findChild<QComboBox *>(QStringLiteral("ComboBox02"));
    const int county = level->findText(QStringLiteral("县级汇总"));
    ASSERT_GE(county, 0);
    level->setCurrentIndex(county);
    emit level->textActivated(level->itemText(county));
    EXPECT_TRUE(renderPng(&settings, out + QStringLiteral("settings-county.png")));
    EXPECT_TRUE(prompter.errors.isEmpty());
}

} // namespace
